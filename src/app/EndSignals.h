#pragma once

#include <functional>

class QObject;

namespace morvantis {

// SIGTERM and SIGHUP (the session ends the clock) and SIGINT (Ctrl+C). The first of them the clock
// takes decides how it ends; any number that follow, of any of the three, change nothing.

// Before the application's threads are made: they start with these signals held, so that the main
// thread takes them, one after another in the order they are taken.
void holdEndSignals();

// From now on the signals are taken on this thread: onEnd gets the first one, once, from the
// event loop of owner's thread.
void takeEndSignals(QObject* owner, std::function<void(int signal)> onEnd);

// True from the moment an ending signal arrives, before onEnd has run: a sound in progress stops,
// and a later start gets no answer from a clock that is about to end.
bool endSignalCame();

} // namespace morvantis
