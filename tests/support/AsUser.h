#pragma once

// Root passes every permission check, and CI runs the suite as root. The
// programs whose permission behaviour a test checks therefore run as an
// ordinary account: this process's own when it is not root, else nobody
// (65534), through setpriv. Their files are handed to that account.

#include "support/Run.h"

#include <QTemporaryDir>

#include <functional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing {

inline bool isRoot()
{
    return ::geteuid() == 0;
}

// Gives path, and everything under a folder, to the ordinary account.
inline bool giveToOrdinary(const QString &path)
{
    return !isRoot() || run("chown", {"-hR", "65534:65534", path}).exitCode == 0;
}

// The command that runs a built program as the ordinary account, from a copy
// that account may run (the build tree may lie where it cannot), with the
// environment changed by env's arguments, after a runtime folder of its own
// as a login gives one.
inline QStringList asOrdinary(const QString &name, QStringList environment = {})
{
    static QTemporaryDir bin, runtime;
    environment.prepend("XDG_RUNTIME_DIR=" + runtime.path());
    if (!isRoot())
        return QStringList{"env"} + environment + QStringList{builtProgram(name)};
    QFile::setPermissions(bin.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::copy(builtProgram(name), bin.filePath(name));
    giveToOrdinary(runtime.path());
    return QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--", "env"} + environment + QStringList{bin.filePath(name)};
}

// Runs a built program as the ordinary account to its end, after the
// command that wraps it (such as prlimit). A run that could not drop root's
// rights ends the test rather than pass blind.
inline Finished runAsOrdinary(const QString &name, const QStringList &arguments, const QString &folder,
                              const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(), const QStringList &wrapper = {})
{
    const QStringList command = wrapper + asOrdinary(name) + arguments;
    const Finished f = run(command.first(), command.mid(1), folder, environment);
    if (!f.ran || f.exitCode == 127 || f.err.startsWith("setpriv:"))
        qFatal("cannot run %s as an ordinary user: %s", qPrintable(name), f.err.constData());
    return f;
}

// What check returns, run in a forked child as the ordinary account. A child
// that cannot drop root's rights ends the test rather than pass blind; one
// still at work after ten seconds (waiting on a pipe, say) is killed, which
// its answer tells.
inline QString inChildAsOrdinary(const std::function<QString()> &check)
{
    int out[2] = {-1, -1};
    const pid_t child = ::pipe(out) == 0 ? ::fork() : -1;
    if (child == 0) {
        ::alarm(10);
        const bool dropped = !isRoot() || (::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 && ::setresuid(65534, 65534, 65534) == 0);
        const QByteArray text = dropped ? check().toUtf8() : QByteArray("cannot drop root's rights");
        ::_exit(::write(out[1], text.constData(), size_t(text.size())) == text.size() && dropped ? 0 : 1);
    }
    ::close(out[1]);
    QFile from;
    const QByteArray text = from.open(out[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? from.readAll() : QByteArray();
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || (WIFEXITED(status) && WEXITSTATUS(status) != 0))
        qFatal("cannot run a check as an ordinary user: %s", text.constData());
    return QString::fromUtf8(WIFSIGNALED(status) ? text + " (killed by signal " + QByteArray::number(WTERMSIG(status)) + ")" : text);
}

} // namespace testing
