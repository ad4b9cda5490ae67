#pragma once

#include "base/Result.h"

#include <QLockFile>
#include <QString>

#include <memory>

namespace rendaro {

// One running instance of a program per user and working folder (the folder
// itself, whatever name it is reached by). The lock lives in a private
// folder of the user's own, so users who share a working folder each hold
// their own and nobody else can make or take it. A lock whose holder has
// died is taken over, also one it left empty: a crashed instance never keeps
// the next one out.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &program);

    // A state rather than a Result: another instance running is no failure,
    // and it is named.
    enum State {
        Alone,   // this process holds the lock
        Running, // another process holds it: holder()
        Unknown, // no lock could be made safely: problem() says why
    };
    State state() const { return m_state; }
    qint64 holder() const { return m_holder; }
    QString problem() const { return m_problem; }

private:
    // A file per system: what tells the working folder apart from every
    // other; the folder the locks live in.
    static QByteArray workingFolderKey();
    static base::Result<QString> lockFolder();

    State m_state = Unknown;
    qint64 m_holder = 0;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace rendaro
