#pragma once

#include <QObject>

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>

class QEvent;
class QWidget;

namespace morvantis {

// The clock holding still while one of its sounds plays (the chime, the spoken time, the alarm):
// a state, never a held thread. Its window's input waits until the sound is over and then acts
// in order (the chime, the spoken time), or is dropped (the alarm); everything else goes on: the
// window system, a second start, the session's end, the screen reader, the other windows.
// Whoever holds the timers follows began and released.
class ClockHold : public QObject {
    Q_OBJECT
public:
    enum class Input { Waits, Dropped };
    // At most this many inputs wait; later ones are dropped.
    static constexpr std::size_t kMostWaiting = 256;

    // Made without a parent: its window is being made, and takes it as a child once it can.
    explicit ClockHold(QWidget& window);
    ~ClockHold() override;

    // passes: input that acts all the same while input is dropped. Beginning again while held
    // only changes what input does.
    void begin(Input input, std::function<bool(const QEvent&)> passes = {});
    // The input that waited acts now, after what the release's listeners do.
    void release();
    // Drops what waits: the program ends.
    void drop();
    bool holding() const { return m_input.has_value(); }
    std::optional<Input> input() const { return m_input; }

    // For the window's event(): true when this event is input it holds back or drops.
    bool takes(const QEvent& event);
    // An action of the user's that reaches the window another way (a screen reader's press):
    // true when it waits (it is run once released) or is dropped.
    bool takes(std::function<void()> action, bool passes);

signals:
    void began();
    void released();

private:
    void wait(std::function<void()> later);

    QWidget& m_window;
    std::optional<Input> m_input;
    std::function<bool(const QEvent&)> m_passes;
    std::deque<std::function<void()>> m_waiting;
};

} // namespace morvantis
