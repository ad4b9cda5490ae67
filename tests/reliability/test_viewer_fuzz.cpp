// Generated and mutated day list files shown by the real viewer: no crash
// or hang, and what it draws is, line for line, what the line kinds say.

#include "reliability/EntryOracle.h"
#include "reliability/FuzzInputs.h"
#include "reliability/Programs.h"
#include "viewer/Form2.h"
#include "viewer/ListArea.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

constexpr int kCases = 1500;
constexpr qint64 kBudgetMs = 4000;

std::uint64_t seed()
{
    bool ok = false;
    const auto fromEnv = qEnvironmentVariable("VELLOMAR_FUZZ_SEED").toULongLong(&ok);
    return ok ? fromEnv : 20261208;
}

// What the viewer draws for one line, from the line kinds: "Time: " and the
// line for a line with a colon third, "Run Style - " and the full word for a
// run style code, nothing for a day name, the line itself otherwise. Only
// the part of a line that can ever be seen is looked at.
std::optional<QString> expectedDisplay(const oracle::Line &raw)
{
    const QString text = QString::fromStdString(oracle::asUtf8(raw)).left(viewer::ListArea::kKeptCharacters);
    const std::string line = text.toStdString();
    if (text.size() >= 3 && text[2] == u':')
        return QStringLiteral("Time: ") + text;
    static const std::pair<const char *, const char *> words[] = {
        {"Normal", "Normal"}, {"Hide", "Hide"}, {"Min", "Minimize"}, {"Max", "Maximize"}};
    for (const auto &[code, word] : words)
        if (line == code)
            return QStringLiteral("Run Style - ") + QString::fromLatin1(word);
    if (oracle::dayIndexOfName(line) >= 0)
        return std::nullopt;
    return text;
}

} // namespace

class TestViewerFuzz : public QObject
{
    Q_OBJECT
private slots:
    void drawsWhatTheLineKindsSay();
};

void TestViewerFuzz::drawsWhatTheLineKindsSay()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    auto restore = qScopeGuard([&] { QDir::setCurrent(old); });

    auto *form = new Form2;
    form->show();
    auto close = qScopeGuard([&] { delete form; });

    fuzz::Inputs in(seed());
    QElapsedTimer clock;
    clock.start();
    int cases = 0;
    qsizetype drawn = 0;
    for (; cases < kCases && clock.elapsed() < kBudgetMs; ++cases) {
        std::string bytes;
        switch (in.below(4)) {
        case 0:
            bytes = in.dayList(0, 6, true);
            break;
        case 1:
            bytes = in.mutate(in.dayList(0, 4, false));
            break;
        case 2:
            bytes = in.randomBytes(200);
            break;
        case 3:
            bytes = in.mutate(in.mutate(in.dayList(0, 3, in.chance(10))));
            break;
        }
        QVERIFY(reliability::writeFile(dir.path(), QStringLiteral("datmon.dat"), bytes));
        form->Command1_Click();

        QStringList want;
        for (const oracle::Line &line : oracle::splitLines(bytes))
            if (auto shown = expectedDisplay(line))
                want.append(*shown);
        viewer::ListArea *area = form->listArea();
        const auto why = [&] {
            const QByteArray head(bytes.data(), qsizetype(std::min<std::size_t>(bytes.size(), 160)));
            return QStringLiteral("case %1 (seed %2): %3 display lines instead of %4 from %5")
                .arg(cases)
                .arg(seed())
                .arg(area->lineCount())
                .arg(want.size())
                .arg(QString::fromLatin1(head.toPercentEncoding()));
        };
        bool same = area->lineCount() == want.size() && area->lines().size() <= want.size();
        // The lines kept are those that reach into the area, from the top.
        for (qsizetype i = 0; same && i < area->lines().size(); ++i)
            same = area->lines()[i] == want[i].left(viewer::ListArea::kKeptCharacters);
        if (!same)
            QFAIL(qPrintable(why()));
        if (in.chance(2))
            area->grab(); // paints: a line of any content is drawn without a crash
        drawn += area->lineCount();
    }
    qInfo("%d day lists shown, %lld display lines", cases, qlonglong(drawn));
    QVERIFY(drawn > 0);
}

QTEST_MAIN(TestViewerFuzz)
#include "test_viewer_fuzz.moc"
