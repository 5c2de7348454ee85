"""What a person does to a Wine window from the X side: drag files onto it (as an XDND
drag source) and press its close box (the WM_DELETE_WINDOW message a window manager sends).

Run as a script to drop files onto a window:  xdnd.py WINDOW_ID FILE...
(uses $DISPLAY). Needs python3-xlib, so run it with /usr/bin/python3.
"""
import os
import select
import sys
import time
import urllib.parse

from Xlib import X, display
from Xlib.protocol import event

XDND_VERSION = 5


class XdndError(Exception):
    pass


def _atom(d, name):
    return d.intern_atom(name)


def _uri_list(paths):
    return b"".join(b"file://" + urllib.parse.quote(os.fsencode(p)).encode() + b"\r\n"
                    for p in paths)


def _send(d, target, type_atom, data):
    message = event.ClientMessage(window=target, client_type=type_atom, data=(32, data))
    target.send_event(message, event_mask=0)
    d.flush()


def _drop_target(d, root, x, y):
    """The innermost window under (x, y) that says it takes XDND drops."""
    aware = _atom(d, "XdndAware")
    window = root
    found = None
    while True:
        child = window.translate_coords(root, x, y).child
        if not child:
            return found
        window = d.create_resource_object("window", child.id)
        if window.get_full_property(aware, X.AnyPropertyType) is not None:
            found = window


def _next_event(d, deadline):
    while not d.pending_events():
        left = deadline - time.monotonic()
        if left <= 0:
            raise XdndError("no answer from the drop target")
        select.select([d.fileno()], [], [], left)
    return d.next_event()


def _answer_selection_request(d, request, data):
    requestor = request.requestor
    prop = request.property or request.target
    requestor.change_property(prop, request.target, 8, data)
    requestor.send_event(event.SelectionNotify(
        time=request.time, requestor=requestor, selection=request.selection,
        target=request.target, property=prop), event_mask=0)
    d.flush()


def drop_files(window_id, paths, display_name=None, timeout=10.0):
    """Drags paths (in this order) onto the middle of the X window window_id and drops
    them; returns once the target has said it is finished with the drop."""
    d = display.Display(display_name)
    try:
        root = d.screen().root
        source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
        names = ("XdndSelection", "XdndEnter", "XdndPosition", "XdndStatus", "XdndDrop",
                 "XdndFinished", "XdndLeave", "XdndActionCopy", "text/uri-list")
        a = {name: _atom(d, name) for name in names}
        data = _uri_list(paths)
        source.set_selection_owner(a["XdndSelection"], X.CurrentTime)

        window = d.create_resource_object("window", window_id)
        geometry = window.get_geometry()
        origin = window.translate_coords(root, 0, 0)
        x = -origin.x + geometry.width // 2
        y = -origin.y + geometry.height // 2
        target = _drop_target(d, root, x, y)
        if target is None:
            raise XdndError("no XDND-aware window at %d,%d" % (x, y))

        _send(d, target, a["XdndEnter"], [source.id, XDND_VERSION << 24, a["text/uri-list"], 0, 0])
        _send(d, target, a["XdndPosition"],
              [source.id, 0, (x << 16) | y, X.CurrentTime, a["XdndActionCopy"]])
        deadline = time.monotonic() + timeout
        dropped = False
        while True:
            e = _next_event(d, deadline)
            if e.type == X.SelectionRequest:
                _answer_selection_request(d, e, data)
            elif e.type == X.ClientMessage and e.client_type == a["XdndStatus"] and not dropped:
                if not e.data[1][1] & 1:
                    _send(d, target, a["XdndLeave"], [source.id, 0, 0, 0, 0])
                    raise XdndError("the drop target refused the drop")
                _send(d, target, a["XdndDrop"], [source.id, 0, X.CurrentTime, 0, 0])
                dropped = True
            elif e.type == X.ClientMessage and e.client_type == a["XdndFinished"]:
                return
    finally:
        d.close()


def press_close_box(window_id, display_name=None):
    """Sends what a window manager sends when its close box is clicked."""
    d = display.Display(display_name)
    try:
        window = d.create_resource_object("window", window_id)
        _send(d, window, _atom(d, "WM_PROTOCOLS"), [_atom(d, "WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])
    finally:
        d.close()


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: xdnd.py WINDOW_ID FILE...")
    drop_files(int(sys.argv[1], 0), [os.path.abspath(p) for p in sys.argv[2:]])
