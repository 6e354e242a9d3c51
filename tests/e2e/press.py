# Presses a button of a running program through its accessibility interface (AT-SPI), as a
# screen reader would: no pointer needed, so it reaches native Wayland windows on a headless
# compositor. Usage: press.py <application name> <button name>
import sys
import time

import pyatspi

application, button = sys.argv[1], sys.argv[2]


def find(node, depth=0):
    if node is None or depth > 6:
        return None
    if node.name == button and node.getRoleName() in ("push button", "button"):
        return node
    for child in node:
        found = find(child, depth + 1)
        if found:
            return found
    return None


# The program registers with the accessibility bus a moment after its window shows.
deadline = time.monotonic() + 10
while time.monotonic() < deadline:
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower() == application.lower():
            target = find(app)
            if target:
                print("pressed", flush=True)
                # The press opens a modal dialog: the answer comes only when that closes.
                target.queryAction().doAction(0)
                sys.exit(0)
    time.sleep(0.1)
print(f"no button {button!r} in {application!r}", flush=True)
sys.exit(1)
