#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

namespace morvantis {

// Shown while the skin loads. Its 1 ms timer runs the rest of start-up once.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(std::function<void()> onFirstTick, QWidget* parent = nullptr);
    void Timer1_Timer();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer1;
    QPixmap m_picture;
    std::function<void()> m_onFirstTick;
};

} // namespace morvantis
