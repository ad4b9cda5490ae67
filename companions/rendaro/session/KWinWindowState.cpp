#include "companions/rendaro/session/ProcessFamily.h"
#include "companions/rendaro/session/WindowState.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryFile>
#include <QThread>
#include <QVariantMap>

#include <atomic>
#include <optional>

namespace rendaro {

namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScripting = QStringLiteral("org.kde.kwin.Scripting");
const QString kAnswerPath = QStringLiteral("/windowstyles");
constexpr int kAnswerWithinMs = 5000;

// Runs inside KWin, once: asks KWin to give the windows of the processes
// in `styles` their style and answers, in one call back to the launcher,
// with each such window's process and KWin's id for it ("4711={...}"). KWin
// 6 lists windows with windowList(), 5.27 with clientList(). A window
// becomes maximized once its program has drawn it at the new size, which a
// program does only while its window shows: a Max window is also brought to
// the front, as Windows does with a program started maximized. A program
// may miss the request (Qt 6.4 on Wayland can wait for a frame that never
// comes) while KWin counts it as made, and asks no more: with `afresh` the
// window is restored first, which makes KWin ask the program anew.
const char kScript[] = R"(var styles = %1, afresh = %4;
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
var found = [];
for (var i = 0; i < windows.length; ++i) {
    var w = windows[i], style = styles[w.pid];
    if (!style || !(w.normalWindow || w.dialog))
        continue;
    if (style == "Max") {
        if (afresh)
            w.setMaximize(false, false);
        w.setMaximize(true, true);
        if (workspace.windowList)
            workspace.activeWindow = w;
        else
            workspace.activeClient = w;
    } else
        w.minimized = true;
    if (style == "Hide")
        w.skipTaskbar = w.skipSwitcher = w.skipPager = true;
    found.push(w.pid + "=" + w.internalId);
}
callDBus("%2", "%3", "org.example.vellomar.WindowStyles", "found", found.join(" "));
)";

// Where the script's answer arrives, on the launcher's own bus connection.
class Answer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.vellomar.WindowStyles")
public:
    std::optional<QString> windows;

public slots:
    void found(const QString &windows) { this->windows = windows; }
};

// Whether KWin shows the window with the style, as its own window
// information tells (a window is maximized once its program has drawn it
// at the new size).
bool hasStyle(const QVariantMap &window, schedule::RunStyle style)
{
    const auto on = [&window](const char *key) { return window.value(QString::fromLatin1(key)).toBool(); };
    switch (style) {
    case schedule::RunStyle::Max:
        return on("maximizeHorizontal") && on("maximizeVertical");
    case schedule::RunStyle::Min:
        return on("minimized");
    case schedule::RunStyle::Hide:
        return on("minimized") && on("skipTaskbar") && on("skipSwitcher") && on("skipPager");
    case schedule::RunStyle::Normal:
        break;
    }
    return true;
}

QDBusMessage callKWin(const QDBusConnection &bus, const QString &path, const QString &interface, const QString &method,
                      const QVariantList &arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(kKWin, path, interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, kAnswerWithinMs);
}

// Sets the windows of started programs through scripts KWin runs: minimized,
// maximized, or minimized and left out of the taskbar, pager and window
// switcher (Hide). Each program's windows are found by its processes, and
// the script runs again until KWin shows a window of each program with its
// style.
class KWinStyler : public WindowStyler
{
public:
    QString how(schedule::RunStyle style) const override
    {
        const QString done = style == schedule::RunStyle::Hide  ? QStringLiteral("hidden (minimized, no taskbar entry)")
                             : style == schedule::RunStyle::Min ? QStringLiteral("minimized")
                                                                : QStringLiteral("maximized");
        return QStringLiteral("its windows %1 by KWin as they appear").arg(done);
    }

    QList<StyleMissed> apply(const QList<PendingWindows> &pending, const std::function<bool()> &stopped,
                             std::chrono::milliseconds patience) override
    {
        if (pending.isEmpty())
            return {};
        static std::atomic<int> count{0};
        const QString name = QStringLiteral("rendaro-kwin-%1").arg(++count);
        QList<StyleMissed> missed;
        {
            QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
            missed = applyOn(bus, pending, stopped, patience);
        }
        QDBusConnection::disconnectFromBus(name);
        return missed;
    }

private:
    QList<StyleMissed> applyOn(QDBusConnection &bus, const QList<PendingWindows> &pending,
                               const std::function<bool()> &stopped, std::chrono::milliseconds patience);
    static std::optional<QString> runScript(QDBusConnection &bus, Answer &answer, const QByteArray &source,
                                            QString *why);
};

// Loads the script into KWin, runs it and waits for its answer; unloads it.
std::optional<QString> KWinStyler::runScript(QDBusConnection &bus, Answer &answer, const QByteArray &source,
                                             QString *why)
{
    static std::atomic<int> count{0};
    const QString name = QStringLiteral("rendaro-%1-%2").arg(QCoreApplication::applicationPid()).arg(++count);
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("rendaro-XXXXXX.js")));
    if (!file.open() || file.write(source) != source.size() || !file.flush()) {
        *why = QStringLiteral("the script for KWin could not be written: %1").arg(file.errorString());
        return std::nullopt;
    }
    const QDBusReply<int> id =
        callKWin(bus, kScriptingPath, kScripting, QStringLiteral("loadScript"), {file.fileName(), name});
    if (!id.isValid() || id.value() < 0) {
        *why = QStringLiteral("KWin did not take the script that sets it");
        return std::nullopt;
    }
    // KWin 6 puts the script at /Scripting/Script<id>, 5.27 at /<id>.
    answer.windows.reset();
    const QString run = QStringLiteral("run"), script = QStringLiteral("org.kde.kwin.Script");
    if (callKWin(bus, QStringLiteral("/Scripting/Script%1").arg(id.value()), script, run).type()
            == QDBusMessage::ErrorMessage
        && callKWin(bus, QStringLiteral("/%1").arg(id.value()), script, run).type() == QDBusMessage::ErrorMessage) {
        *why = QStringLiteral("KWin did not run the script that sets it");
    } else {
        // The answer comes as a call, delivered through this thread's events.
        QEventLoop events;
        const QDeadlineTimer deadline(kAnswerWithinMs);
        while (!answer.windows && !deadline.hasExpired()) {
            events.processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        if (!answer.windows)
            *why = QStringLiteral("the script that sets it did not answer from KWin");
    }
    callKWin(bus, kScriptingPath, kScripting, QStringLiteral("unloadScript"), {name});
    return answer.windows;
}

QList<StyleMissed> KWinStyler::applyOn(QDBusConnection &bus, const QList<PendingWindows> &pending,
                                       const std::function<bool()> &stopped, std::chrono::milliseconds patience)
{
    Answer answer;
    if (!bus.isConnected() || !bus.registerObject(kAnswerPath, &answer, QDBusConnection::ExportAllSlots))
        return missedAll(pending, QStringLiteral("the session bus did not answer"));
    QSet<int> seen, served;
    QString why;
    int round = 0;
    const QDeadlineTimer deadline(patience);
    while (served.size() < pending.size() && !deadline.hasExpired()) {
        // The processes of each program as they are now: a program may
        // start another that shows its windows.
        QJsonObject styles;
        QHash<qint64, int> programOf;
        for (int i = 0; i < pending.size(); ++i) {
            if (served.contains(i))
                continue;
            for (const qint64 pid : processFamily(pending[i].pid, pending[i].session)) {
                styles.insert(QString::number(pid), QString(schedule::runStyleName(pending[i].style).code));
                programOf.insert(pid, i);
            }
        }
        // A unique bus name (":1.42") needs no quoting.
        const QByteArray source =
            QString::fromLatin1(kScript)
                .arg(QString::fromUtf8(QJsonDocument(styles).toJson(QJsonDocument::Compact)), bus.baseService(),
                     kAnswerPath, ++round % 6 == 0 ? QStringLiteral("true") : QStringLiteral("false"))
                .toUtf8();
        const std::optional<QString> found = runScript(bus, answer, source, &why);
        if (stopped())
            return {};
        if (!found)
            break;
        for (const QString &window : found->split(u' ', Qt::SkipEmptyParts)) {
            const int i = programOf.value(window.section(u'=', 0, 0).toLongLong(), -1);
            if (i < 0)
                continue;
            seen.insert(i);
            const QDBusReply<QVariantMap> info = callKWin(bus, QStringLiteral("/KWin"), kKWin,
                                                          QStringLiteral("getWindowInfo"), {window.section(u'=', 1)});
            if (info.isValid() && hasStyle(info.value(), pending[i].style))
                served.insert(i);
        }
        for (int step = 0; step < 3 && served.size() < pending.size() && !stopped(); ++step)
            QThread::msleep(100);
    }
    if (stopped())
        return {};
    QList<StyleMissed> missed;
    for (int i = 0; i < pending.size(); ++i) {
        const PendingWindows &p = pending[i];
        if (served.contains(i))
            continue;
        if (!why.isEmpty())
            missed.append({p, why});
        else if (!seen.contains(i))
            missed.append({p, QStringLiteral("no window of it appeared")});
        else
            missed.append({p, p.style == schedule::RunStyle::Max   ? QStringLiteral("KWin did not maximize its window")
                              : p.style == schedule::RunStyle::Min ? QStringLiteral("KWin did not minimize its window")
                                                                   : QStringLiteral("KWin did not hide its window")});
    }
    return missed;
}

} // namespace

std::unique_ptr<WindowStyler> kwinWindowStyler()
{
    // Without an address the bus library would start a bus of its own,
    // through an X11 display that may not answer.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")
        && !QFileInfo::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/bus"))
        return nullptr;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kKWin))
        return nullptr;
    const QDBusReply<QString> scripting = callKWin(
        bus, kScriptingPath, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    if (!scripting.isValid() || !scripting.value().contains(kScripting))
        return nullptr;
    return std::make_unique<KWinStyler>();
}

} // namespace rendaro

#include "KWinWindowState.moc"
