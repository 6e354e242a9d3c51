#!/usr/bin/env python3
"""The clock as a screen reader meets it, through AT-SPI.

a11y.py dump              prints the tree of the running clock (role, name, value, states)
a11y.py check             walks the face and every window a face button opens, as a caching
                          client (one that, like Orca, runs the AT-SPI event loop and trusts
                          what the events tell it); prints its figures and fails on the first fault
"""
import sys
import warnings
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.simplefilter("ignore", DeprecationWarning)

APP = "Morvantis"


def fail(msg):
    print("FAIL: " + msg, flush=True)
    Atspi.event_quit()
    sys.exit(1)


def clock_app():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == APP:
            return app
    return None


def states(acc):
    s = acc.get_state_set()
    return [Atspi.StateType(t).value_nick for t in s.get_states()]


def value_of(acc):
    v = acc.get_value_iface()
    if v is not None:
        return "%g" % v.get_current_value()
    t = acc.get_text_iface()
    if t is not None:
        return repr(t.get_text(0, t.get_character_count()))
    return ""


def actions_of(acc):
    a = acc.get_action_iface()
    if a is None:
        return []
    return [a.get_action_name(i) for i in range(a.get_n_actions())]


def dump(acc, depth=0, out=sys.stdout, limit=200):
    for i in range(acc.get_child_count()):
        c = acc.get_child_at_index(i)
        if c is None:
            continue
        line = "%s%s %r" % ("  " * depth, c.get_role_name(), c.get_name())
        desc = c.get_description()
        if desc:
            line += " desc=%r" % desc
        val = value_of(c)
        if val:
            line += " value=" + val
        acts = actions_of(c)
        if acts:
            line += " actions=" + ",".join(acts)
        line += " [" + " ".join(sorted(states(c))) + "]"
        print(line, file=out)
        if c.get_child_count() < limit:
            dump(c, depth + 1, out)


def find(acc, pred, depth=0):
    if depth > 12:
        return None
    for i in range(acc.get_child_count()):
        c = acc.get_child_at_index(i)
        if c is None:
            continue
        if pred(c):
            return c
        if c.get_child_count() < 200:
            f = find(c, pred, depth + 1)
            if f is not None:
                return f
    return None


def named(role, name):
    return lambda c: c.get_role_name() == role and c.get_name() == name


def main_dump():
    deadline = time.monotonic() + 15
    app = clock_app()
    while app is None or app.get_child_count() == 0:
        if time.monotonic() > deadline:
            fail("the clock never appeared on the accessibility bus")
        time.sleep(0.1)
        app = clock_app()
    dump(app)


def showing(acc):
    try:
        return acc.get_state_set().contains(Atspi.StateType.SHOWING)
    except GLib.Error:
        return False  # gone


def window(app, name):
    for i in range(app.get_child_count()):
        c = app.get_child_at_index(i)
        if c is not None and c.get_name() == name and showing(c):
            return c
    return None


def press(acc, what):
    """Presses through the action interface; returns the milliseconds the call took."""
    names = actions_of(acc)
    if "Press" not in names:
        fail("%s has no press action (%s)" % (what, names))
    t = time.monotonic()
    acc.get_action_iface().do_action(names.index("Press"))
    ms = (time.monotonic() - t) * 1000
    return ms


def check():
    """A generator: each yield lets the event loop run once."""
    events = []

    def heard(e):
        events.append((time.time(), e.type, e.source.get_name(), e.detail1))

    listener = Atspi.EventListener.new(heard)
    for kind in ("object:property-change:accessible-name", "object:state-changed:checked"):
        listener.register(kind)

    def until(seconds, cond, why):
        deadline = time.monotonic() + seconds
        while True:
            v = cond()
            if v:
                return v
            if time.monotonic() > deadline:
                fail(why)
            yield

    app = None

    def found_face():
        nonlocal app
        app = clock_app()
        return app and window(app, "Morvantis")

    yield from until(15, found_face, "the clock's window named Morvantis never appeared")
    face = window(app, "Morvantis")
    parts = {face.get_child_at_index(i).get_name(): face.get_child_at_index(i)
             for i in range(face.get_child_count())}
    light = parts.get("Alarm light")
    if light is None or light.get_role_name() != "check box":
        fail("no alarm light check box among %s" % sorted(parts))
    display = next((c for n, c in parts.items() if c.get_role_name() == "label" and ", " in n), None)
    if display is None:
        fail("no display with the time and date among %s" % sorted(parts))

    # The time, read again and again from the client's cache, moves on.
    first = display.get_name()
    t = time.monotonic()
    yield from until(2, lambda: display.get_name() != first, "the display read %r for 2 s" % first)
    print("display: %r then %r after %.0f ms" % (first, display.get_name(), (time.monotonic() - t) * 1000))
    # How long after the second began the client heard of it (the face changes on the second).
    def seconds_heard():
        return [w for w, kind, name, _ in events if kind.endswith("accessible-name") and name == display.get_name()]
    yield from until(5, lambda: len([e for e in events if e[2] and ", " in e[2]]) >= 3, "fewer than 3 time events")
    lags = sorted((w - int(w)) * 1000 for w, kind, name, _ in events if name and ", " in name)
    print("time events: %d, ms after the second: median %.1f, max %.1f" % (len(lags), lags[len(lags) // 2], lags[-1]))

    times = {}
    # ALARM while lit puts the light out; the client hears it and its cache says so at once.
    if not light.get_state_set().contains(Atspi.StateType.CHECKED):
        fail("the light is not lit at start")
    n = len(events)
    t = time.time()
    times["Alarm (light out)"] = press(parts["Alarm"], "Alarm")
    yield from until(2, lambda: any(e[1].endswith("checked") and e[3] == 0 for e in events[n:]),
                     "the light going out sent no event")
    out = next(e for e in events[n:] if e[1].endswith("checked"))
    print("light out: event %.0f ms after the press" % ((out[0] - t) * 1000))
    if light.get_state_set().contains(Atspi.StateType.CHECKED):
        fail("the client still reads the light lit after its event")

    def opens(button, title):
        times[button] = press(parts[button], button)
        return until(5, lambda: window(app, title), "%s opened no %r window" % (button, title))

    def closes(title, by):
        w = window(app, title)
        btn = find(w, named("push button", by))
        if btn is None:
            fail("%r has no button %r" % (title, by))
        press(btn, by)
        return until(5, lambda: not window(app, title), "%s did not close %r" % (by, title))

    yield from opens("Alarm", "Alarm")
    dlg = window(app, "Alarm")
    combo = find(dlg, lambda c: c.get_role_name() == "combo box" and c.get_name() == "Low(Green)")
    if combo is None or value_of(combo) != repr("Low(Green)"):
        fail("the importance drop-down does not offer its entry as text")
    yield from closes("Alarm", "Cancel")
    yield from opens("Options", "Options")
    yield from closes("Options", "Cancel")
    yield from opens("Skins", "Select Skin")
    chooser = window(app, "Select Skin")
    lists = [chooser.get_child_at_index(i) for i in range(chooser.get_child_count())]
    lists = [c for c in lists if c.get_role_name() == "list"]
    if [c.get_name() for c in lists] != ["Skins"]:
        fail("the chooser's lists: %s" % [c.get_name() for c in lists])
    link = find(chooser, named("link", "Get more skins"))
    if link is None or "Press" not in actions_of(link):
        fail("Get more skins is no link with a press action")
    yield from closes("Select Skin", "Exit")
    yield from opens("About", "About Morvantis")
    if find(window(app, "About Morvantis"), named("push button", "OK")) is None:
        fail("About's OK has no name")
    yield from closes("About Morvantis", "OK")
    times["Say Time"] = press(parts["Say Time"], "Say Time")
    times["Exit"] = press(parts["Exit"], "Exit")
    print("press answered in ms: " + ", ".join("%s %.1f" % kv for kv in times.items()))
    slow = {k: v for k, v in times.items() if v > 100}
    if slow:
        fail("presses answered after more than 100 ms: %s" % slow)


def main_check():
    steps = check()

    def step():
        try:
            next(steps)
        except StopIteration:
            Atspi.event_quit()
            return False
        return True

    GLib.timeout_add(10, step)
    Atspi.event_main()
    print("ok: the screen reader's walk")


if __name__ == "__main__":
    if sys.argv[1:] == ["dump"]:
        main_dump()
    elif sys.argv[1:] == ["check"]:
        main_check()
    else:
        print(__doc__)
        sys.exit(2)
