#include "app/frmSplash.h"
#include "Version.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace morvantis {

frmSplash::frmSplash(std::function<void()> onFirstTick, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(QStringLiteral(":/img/splash.png")), m_onFirstTick(std::move(onFirstTick)) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(m_picture.isNull() ? QSize(360, 160) : m_picture.deviceIndependentSize().toSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(1);
    connect(&m_timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    m_timer1.start();
}

void frmSplash::Timer1_Timer() {
    // Runs once: the rest of start-up may close this window.
    m_timer1.stop();
    if (!isVisible())
        show();
    if (m_onFirstTick)
        m_onFirstTick();
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_picture.isNull())
        p.fillRect(rect(), QColor(0, 50, 101));
    else
        p.drawPixmap(0, 0, m_picture);
    p.setPen(m_picture.isNull() ? QColor(Qt::white) : QColor(40, 44, 52));
    QFont f = font();
    f.setPointSizeF(9);
    p.setFont(f);
    p.drawText(rect().adjusted(0, 0, -12, -8), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("Version " MORVANTIS_VERSION));
}

} // namespace morvantis
