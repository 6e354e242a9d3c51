// The reference for idle cost: a bare Qt window of the clock's size that repaints a
// small rectangle every 100 ms.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {
class Bare : public QWidget {
public:
    Bare() {
        setWindowFlags(Qt::FramelessWindowHint);
        setFixedSize(575, 240);
        setWindowTitle(QStringLiteral("Bare"));
        connect(&m_timer, &QTimer::timeout, this, [this] {
            ++m_n;
            update(373, 70, 33, 47);
        });
        m_timer.start(100);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(40, 40, 40));
        p.fillRect(373, 70, 33, 47, QColor(m_n * 20 % 256, 120, 60));
    }

private:
    QTimer m_timer;
    int m_n = 0;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Bare w;
    w.move(100, 400);
    w.show();
    return app.exec();
}
