#include "app/frmSplash.h"
#include "Version.h"

#include "platform/QtPictures.h"
#include "platform/QtWindowSystem.h"

#include <QPainter>

namespace morvantis {

frmSplash::frmSplash(std::function<void()> onFirstTick, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(QPixmap::fromImage(readResourcePicture(QStringLiteral(":/img/splash.ppm")))),
      m_onFirstTick(std::move(onFirstTick)) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(m_picture.isNull() ? QSize(360, 160) : m_picture.deviceIndependentSize().toSize());
    centreOnScreen(*this);
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(1);
    connect(&m_timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    m_timer1.start();
}

void frmSplash::Timer1_Timer() {
    // Stopped once it has run, or by a close: the call made after the first paint comes too.
    if (!m_timer1.isActive())
        return;
    if (!isVisible())
        show();
    // The rest of start-up holds the thread: the splash is drawn first, or it would stand empty.
    if (!m_painted && m_shown.elapsed() < kPaintWaitMs)
        return;
    flushWindowSystem();
    // Runs once: the rest of start-up may close this window.
    m_timer1.stop();
    if (m_onFirstTick)
        m_onFirstTick();
}

void frmSplash::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_shown.start();
}

void frmSplash::closeEvent(QCloseEvent* event) {
    // Closed by the program's end while start-up runs (a SIGTERM taken inside the splash's own
    // show): the tick must not show it again, nor run the rest of start-up.
    m_timer1.stop();
    QWidget::closeEvent(event);
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!m_picture.isNull()) {
        // The picture holds the version: no font is needed before the clock shows.
        p.drawPixmap(0, 0, m_picture);
    } else {
        p.fillRect(rect(), QColor(0, 50, 101));
        p.setPen(Qt::white);
        QFont f = font();
        f.setPointSizeF(9);
        p.setFont(f);
        p.drawText(rect().adjusted(0, 0, -12, -8), Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("Version " MORVANTIS_VERSION));
    }
    // Start-up goes on as soon as the picture is out, not at the next tick.
    if (!m_painted)
        QMetaObject::invokeMethod(this, &frmSplash::Timer1_Timer, Qt::QueuedConnection);
    m_painted = true;
}

} // namespace morvantis
