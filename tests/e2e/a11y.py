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


if __name__ == "__main__":
    if sys.argv[1:] == ["dump"]:
        main_dump()
    else:
        print(__doc__)
        sys.exit(2)
