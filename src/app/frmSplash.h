#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace morvantis {

// Shown while the skin loads. Its 1 ms timer runs the rest of start-up once, at its first tick
// after the splash has been drawn.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    // How long start-up waits for a window system that does not let the splash be drawn.
    static constexpr int kPaintWaitMs = 1000;

    explicit frmSplash(std::function<void()> onFirstTick, QWidget* parent = nullptr);
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QTimer m_timer1;
    QElapsedTimer m_shown;
    QPixmap m_picture;
    bool m_painted = false;
    std::function<void()> m_onFirstTick;
};

} // namespace morvantis
