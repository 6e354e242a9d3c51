# Asks a window what a window manager asks to tell a hung one: _NET_WM_PING, answered by the
# client to the root window. Prints the answer's time in milliseconds, or "none" after the limit.
# Usage: ping.py <window id> [limit in seconds]
import sys
import time

from Xlib import X, display
from Xlib.protocol import event

window_id = int(sys.argv[1], 0)
limit = float(sys.argv[2]) if len(sys.argv) > 2 else 1.0

d = display.Display()
root = d.screen().root
# The answer comes to the root, for those who watch its structure (Qt) or its children (others).
root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
protocols = d.intern_atom("WM_PROTOCOLS")
ping = d.intern_atom("_NET_WM_PING")
stamp = int(time.monotonic() * 1000) & 0xFFFFFFFF
target = d.create_resource_object("window", window_id)
target.send_event(
    event.ClientMessage(window=target, client_type=protocols, data=(32, [ping, stamp, window_id, 0, 0])),
    event_mask=0,
)
d.flush()
began = time.monotonic()
while time.monotonic() - began < limit:
    while d.pending_events():
        e = d.next_event()
        if e.type == X.ClientMessage and e.client_type == protocols:
            data = e.data[1]
            if data[0] == ping and data[1] == stamp:
                print(f"{(time.monotonic() - began) * 1000:.1f}")
                sys.exit(0)
    time.sleep(0.002)
print("none")
sys.exit(1)
