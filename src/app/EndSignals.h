#pragma once

#include <functional>

class QObject;

namespace morvantis {

// SIGTERM and SIGHUP (the session ends the clock) and SIGINT (Ctrl+C). The first of them the clock
// takes decides how it ends; any number that follow, of any of the three, change nothing. Only the
// main thread takes them, one after another: signals that wait at the same moment are taken in the
// system's order (HUP, INT, TERM).

// Before the application's threads are made: they start with these signals held.
void holdEndSignals();

// From now on the signals are taken on this thread (a thread made later hands them over): onEnd
// gets the first one, once, from the event loop of owner's thread.
void takeEndSignals(QObject* owner, std::function<void(int signal)> onEnd);

// True from the moment an ending signal arrives, before onEnd has run: a sound in progress stops,
// and a later start gets no answer from a clock that is about to end.
bool endSignalCame();

// The Windows session's end is a question first (WM_QUERYENDSESSION): save, once, and let it end;
// another program may still refuse, so the clock ends on the answer only (WM_ENDSESSION), and
// after a refusal goes on. The X session manager asks once, as the session ends: end only.
void takeSessionEnd(QObject* owner, std::function<void()> save, std::function<void()> end);

} // namespace morvantis
