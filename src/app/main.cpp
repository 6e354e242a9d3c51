#include "app/Resources.h"
#include "app/StartUp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QSocketNotifier>

#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

// SIGTERM and SIGINT end the program cleanly, saving nothing.
void endOnSignals(QApplication& app, morvantis::StartUp& startUp) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&startUp] { startUp.end(0); });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}
#endif

} // namespace

namespace {
void nameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Morvantis"));
    QCoreApplication::setOrganizationName(QStringLiteral("Morvantis"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));
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
        parser.addHelpOption();
        parser.addVersionOption();
        parser.process(commandLine);
    }
    QApplication app(argc, argv);
    nameTheApplication();
    // The program ends through its own exits only: the splash and the messages of start-up
    // may be the last window on screen for a moment.
    QApplication::setQuitOnLastWindowClosed(false);
    morvantis::initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/img/icon256.png")));

    morvantis::StartUp startUp;
#ifdef Q_OS_UNIX
    endOnSignals(app, startUp);
#endif
    return startUp.exec();
}
