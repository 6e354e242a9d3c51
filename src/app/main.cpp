#include "Version.h"
#include "app/EndSignals.h"
#include "app/PlatformChoice.h"
#include "app/Resources.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "platform/Autostart.h"
#include "platform/Say.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Without a usable display Qt aborts inside the application object's construction. While
// that runs, its messages are held back; a fatal one becomes one plain line and status 1.
struct HeldMessage {
    QtMsgType type;
    const char* category;
    QString text;
};
std::vector<HeldMessage> g_held;
QtMessageHandler g_previousHandler = nullptr;

void holdStartUpMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        g_held.push_back({type, context.category, text});
        return;
    }
    QString why = text;
    for (const HeldMessage& m : g_held)
        if (m.type != QtDebugMsg && m.type != QtInfoMsg) {
            why = m.text.trimmed();
            break;
        }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        why = QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set");
    morvantis::say(stderr, QStringLiteral("morvantis: no usable display: ") + why);
    std::_Exit(1);
}

void releaseStartUpMessages() {
    qInstallMessageHandler(g_previousHandler);
    for (const HeldMessage& m : g_held)
        g_previousHandler(m.type, QMessageLogContext(nullptr, 0, nullptr, m.category), m.text);
    g_held.clear();
}

// A command line the program does not take: one line and status 2.
int usageError(QString why) {
    if (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    if (!why.isEmpty())
        why[0] = why[0].toLower();
    morvantis::tell(
        stderr,
        QStringLiteral("morvantis: %1; usage: morvantis [--help | --version | --autostart [on|off] | --quit]")
            .arg(why));
    return 2;
}

// The parser's help, with Qt's option under the single dash the manual page gives it.
QString helpText(const QCommandLineParser& parser) {
    return parser.helpText().replace(QLatin1String("  --platform <name>"),
                                     QLatin1String("  -platform <name> "));
}

void nameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Morvantis"));
    QCoreApplication::setOrganizationName(QStringLiteral("Morvantis"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MORVANTIS_VERSION));
}
// Wayland docks match the window to the desktop entry by this name.
void nameTheDesktopEntry() {
    QGuiApplication::setDesktopFileName(QStringLiteral("org.morvantis.Morvantis"));
}
} // namespace

int main(int argc, char* argv[]) {
    {
        // The command line first, so that --help and --version need no display.
        QCoreApplication commandLine(argc, argv);
        nameTheApplication();
        QCommandLineParser parser;
        parser.setApplicationDescription(
            QStringLiteral("A desktop clock drawn like a liquid-crystal display."));
        // Not addHelpOption(): its --help-all lists Qt's own options, which this parser refuses.
        const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                      QStringLiteral("Displays help on commandline options."));
        parser.addOption(help);
        const QCommandLineOption version = parser.addVersionOption();
        const QCommandLineOption autostart(
            QStringLiteral("autostart"),
            QStringLiteral("Start the clock with the desktop session (on) or not (off); alone, tell "
                           "whether it does."));
        parser.addOption(autostart);
        const QCommandLineOption quit(
            QStringLiteral("quit"),
            QStringLiteral("Ask the running clock to save its settings and end, and wait until it has."));
        parser.addOption(quit);
        // Qt's own, read by Qt (the loop below takes it out first): listed for --help only.
        parser.addOption(QCommandLineOption(QStringLiteral("platform"),
                                            QStringLiteral("The window system: xcb (X11) or wayland."),
                                            QStringLiteral("name")));
        parser.addPositionalArgument(QStringLiteral("on|off"), QStringLiteral("The value of --autostart."),
                                     QStringLiteral("[on|off]"));
        // --autostart=on reads as --autostart on: its value is optional, which the parser cannot express.
        QStringList arguments;
        const QStringList given = commandLine.arguments();
        for (qsizetype i = 0; i < given.size(); ++i) {
            const QString& a = given[i];
            // Qt's -platform NAME is Qt's to read, when the application object is made.
            if (morvantis::isPlatformOption(qPrintable(a))) {
                if (++i == given.size())
                    return usageError(QStringLiteral("missing value after '%1'").arg(a));
                continue;
            }
            if (a.startsWith(QLatin1String("--autostart=")))
                arguments << a.left(11) << a.mid(12);
            else
                arguments << a;
        }
        if (!parser.parse(arguments)) {
            const QStringList unknown = parser.unknownOptionNames();
            return usageError(unknown.isEmpty() ? parser.errorText()
                                                : QStringLiteral("unknown option '%1'").arg(unknown.first()));
        }
        if (parser.isSet(help)) {
            morvantis::tell(stdout, helpText(parser).trimmed());
            return 0;
        }
        // Not showVersion(): on Windows it shows a box even where the help prints.
        if (parser.isSet(version)) {
            morvantis::tell(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') +
                                        QCoreApplication::applicationVersion());
            return 0;
        }
        if (parser.isSet(autostart))
            return morvantis::autostartCommand(parser.positionalArguments());
        if (parser.isSet(quit)) {
            if (!parser.positionalArguments().isEmpty())
                return usageError(
                    QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
            return morvantis::SingleInstance(QSettings().fileName()).quit();
        }
        if (!parser.positionalArguments().isEmpty())
            return usageError(
                QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    }
    // Only now, after the command line, which needs no display.
    // Through shared memory, every repaint of a rectangle drawn before waits for the X server to
    // answer a round trip: a second wakeup per tick. The few small rectangles a tick changes go
    // through the socket at no cost worth the wait.
    const bool sharedMemoryChosen = qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (!sharedMemoryChosen)
        qputenv("QT_XCB_NO_MITSHM", "1");
    const morvantis::PlatformChoice platform = morvantis::PlatformChoice::make(argc, argv);
    g_previousHandler = qInstallMessageHandler(holdStartUpMessages);
    morvantis::holdEndSignals();
    QApplication app(argc, argv);
    platform.restoreEnvironment();
    // Read once, by the connection just made: the programs the clock opens (a browser) keep theirs.
    if (!sharedMemoryChosen)
        qunsetenv("QT_XCB_NO_MITSHM");
    releaseStartUpMessages();
    nameTheApplication();
    nameTheDesktopEntry();
    // One clock per settings store: a second start brings the running one to the front.
    morvantis::SingleInstance single(QSettings().fileName());
    if (const auto status = single.claim())
        return *status;
    // The program ends through its own exits only: the splash and the messages of start-up
    // may be the last window on screen for a moment.
    QApplication::setQuitOnLastWindowClosed(false);
    morvantis::initResources();

    morvantis::StartUp startUp;
    single.onRaise = [&startUp] { startUp.bringToFront(); };
    // An installer about to replace the program: what EXIT would save is saved.
    single.onQuit = [&startUp] { startUp.endSession(); };
    // A clock about to end answers no later start, which then waits for it and runs as the clock.
    single.ending = morvantis::endSignalCame;
    startUp.onEnding = [&single] { single.stopAnswering(); };
    // The session ends the clock with SIGTERM or SIGHUP: it saves as EXIT does. SIGINT (a terminal's
    // Ctrl+C) ends it saving nothing.
    morvantis::takeEndSignals(&app, [&startUp](int signal) {
        if (signal == SIGINT)
            startUp.end(0);
        else
            startUp.endSession();
    });
    // The desktop session ends: what EXIT would save is saved.
    morvantis::takeSessionEnd(
        &app, [&startUp] { startUp.saveForSession(); }, [&startUp] { startUp.endSession(); });
    return startUp.exec();
}
