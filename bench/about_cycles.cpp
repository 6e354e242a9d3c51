// Opens and closes the about window the way the year button does, many times over, and
// prints the resident memory every 100 cycles. Run under a real display (Xvfb):
//   build-rel/bench/morvantis_about_cycles [cycles]
#include "app/Resources.h"
#include "info/frmAbout.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

long rssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    // A /proc file tells no size: read it whole.
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    morvantis::initResources();
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    QWidget owner; // stands for the clock window
    owner.resize(100, 100);
    owner.show();
    std::printf("cycles rss_kb\n0 %ld\n", rssKb());
    for (int i = 1; i <= cycles; ++i) {
        auto* about = new morvantis::frmAbout(&owner);
        // Closed from its own event loop once it has been shown and painted.
        QTimer::singleShot(5, about, [about] { about->accept(); });
        about->exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        if (i % 100 == 0)
            std::printf("%d %ld\n", i, rssKb());
        std::fflush(stdout);
    }
    return 0;
}
