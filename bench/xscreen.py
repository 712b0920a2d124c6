# SPDX-License-Identifier: GPL-3.0-or-later
"""What the window benches see of an X server: its screen through libX11 (the windows of a
process, where they are shown, their pixels), whether a window is painted, and the display to
show them on, an Xvfb of its own unless DISPLAY may be shared."""
import contextlib
import ctypes
import os
import subprocess
import sys

ALL_PLANES = 0xFFFFFFFF
Z_PIXMAP = 2
IS_VIEWABLE = 2
ANY_PROPERTY_TYPE = 0


class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                ("depth", ctypes.c_int), ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
                ("window_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


class Image(ctypes.Structure):
    """The leading fields of an XImage, all that is read of one."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


def load_xlib():
    xlib = ctypes.CDLL("libX11.so.6")
    pointer, window = ctypes.c_void_p, ctypes.c_ulong
    xlib.XOpenDisplay.restype = pointer
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XCloseDisplay.argtypes = [pointer]
    xlib.XSetErrorHandler.restype = pointer
    xlib.XSetErrorHandler.argtypes = [ERROR_HANDLER]
    xlib.XDefaultRootWindow.restype = window
    xlib.XDefaultRootWindow.argtypes = [pointer]
    xlib.XDisplayWidth.argtypes = xlib.XDisplayHeight.argtypes = [pointer, ctypes.c_int]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [pointer, ctypes.c_char_p, ctypes.c_int]
    xlib.XQueryTree.argtypes = [pointer, window, ctypes.POINTER(window), ctypes.POINTER(window),
                                ctypes.POINTER(ctypes.POINTER(window)),
                                ctypes.POINTER(ctypes.c_uint)]
    xlib.XFree.argtypes = [pointer]
    xlib.XGetWindowProperty.argtypes = [
        pointer, window, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
        ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
        ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong))]
    xlib.XGetWindowAttributes.argtypes = [pointer, window, ctypes.POINTER(WindowAttributes)]
    xlib.XTranslateCoordinates.argtypes = [pointer, window, window, ctypes.c_int, ctypes.c_int,
                                           ctypes.POINTER(ctypes.c_int),
                                           ctypes.POINTER(ctypes.c_int), ctypes.POINTER(window)]
    xlib.XGetImage.restype = ctypes.POINTER(Image)
    xlib.XGetImage.argtypes = [pointer, window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                               ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    xlib.XDestroyImage.argtypes = [ctypes.POINTER(Image)]
    return xlib


class Screen:
    """The screen of an X server as its user sees it, read through libX11 (no tool to spawn
    per look, so the screen can be looked at every few milliseconds)."""

    def __init__(self, display):
        self.xlib = load_xlib()
        self.display = self.xlib.XOpenDisplay(display.encode())
        if not self.display:
            sys.exit(f"cannot open the X display {display}")
        # A window may vanish between two requests; its error must not end the bench.
        self.ignore_errors = ERROR_HANDLER(lambda display, event: 0)
        self.xlib.XSetErrorHandler(self.ignore_errors)
        self.root = self.xlib.XDefaultRootWindow(self.display)
        self.width = self.xlib.XDisplayWidth(self.display, 0)
        self.height = self.xlib.XDisplayHeight(self.display, 0)
        self.pid_atom = self.xlib.XInternAtom(self.display, b"_NET_WM_PID", False)

    def close(self):
        self.xlib.XCloseDisplay(self.display)

    def rows(self, left, top, width, height):
        """The pixels of a rectangle of the screen, a bytes object a row, or None."""
        image = self.xlib.XGetImage(self.display, self.root, left, top, width, height,
                                    ALL_PLANES, Z_PIXMAP)
        if not image:
            return None
        try:
            fields = image.contents
            data = ctypes.string_at(fields.data, fields.bytes_per_line * fields.height)
            used = fields.width * fields.bits_per_pixel // 8
            return [data[y * fields.bytes_per_line:y * fields.bytes_per_line + used]
                    for y in range(fields.height)]
        finally:
            self.xlib.XDestroyImage(image)

    def windows(self, parent):
        root, above = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.xlib.XQueryTree(self.display, parent, ctypes.byref(root),
                                    ctypes.byref(above), ctypes.byref(children),
                                    ctypes.byref(count)):
            return []
        found = [children[i] for i in range(count.value)]
        if children:
            self.xlib.XFree(children)
        return found + [w for child in found for w in self.windows(child)]

    def pid_of(self, window):
        kind, size, items, left = (ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(),
                                   ctypes.c_ulong())
        value = ctypes.POINTER(ctypes.c_ulong)()
        if self.xlib.XGetWindowProperty(self.display, window, self.pid_atom, 0, 1, False,
                                        ANY_PROPERTY_TYPE, ctypes.byref(kind),
                                        ctypes.byref(size), ctypes.byref(items),
                                        ctypes.byref(left), ctypes.byref(value)) != 0:
            return None
        pid = value[0] if items.value and size.value == 32 else None
        if value:
            self.xlib.XFree(value)
        return pid

    def shown_rectangle(self, window):
        """Where a viewable window is on the screen, clipped to it: (left, top, width, height),
        or None."""
        attributes = WindowAttributes()
        if (not self.xlib.XGetWindowAttributes(self.display, window, ctypes.byref(attributes))
                or attributes.map_state != IS_VIEWABLE):
            return None
        left, top, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        if not self.xlib.XTranslateCoordinates(self.display, window, self.root, 0, 0,
                                               ctypes.byref(left), ctypes.byref(top),
                                               ctypes.byref(child)):
            return None
        right = min(left.value + attributes.width, self.width)
        bottom = min(top.value + attributes.height, self.height)
        left, top = max(left.value, 0), max(top.value, 0)
        return (left, top, right - left, bottom - top) if right > left and bottom > top else None

    def main_window_of(self, pid):
        """The largest viewable window of a process on the screen and its shown_rectangle, or
        None."""
        shown = [(w, self.shown_rectangle(w)) for w in self.windows(self.root)
                 if self.pid_of(w) == pid]
        shown = [(w, rectangle) for w, rectangle in shown if rectangle]
        return max(shown, key=lambda s: s[1][2] * s[1][3]) if shown else None

    def window_of(self, pid):
        """Where the largest viewable window of a process is, as shown_rectangle, or None."""
        found = self.main_window_of(pid)
        return found and found[1]


def painted(before, rows, rectangle):
    """Whether a window's pixels are painted: nearly every row differs from what the screen held
    there before its program started (a mapped window that has not painted still shows that),
    and it is not a single colour (a mapped window whose server filled its background)."""
    left, top, width, _ = rectangle
    pixel = len(rows[0]) // width
    if rows.count(rows[0]) == len(rows) and rows[0] == rows[0][:pixel] * width:
        return False
    changed = sum(row != before[top + y][left * pixel:(left + width) * pixel]
                  for y, row in enumerate(rows))
    return changed >= 0.95 * len(rows)


@contextlib.contextmanager
def x_display(shared=True):
    """DISPLAY when it is set and may be shared, else an Xvfb of its own on the first free
    display."""
    if shared and os.environ.get("DISPLAY"):
        yield os.environ["DISPLAY"], f"the X display {os.environ['DISPLAY']}"
        return
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1920x1080x24", "-nolisten", "tcp"],
                              pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as announced:
        number = announced.readline().strip()
    try:
        if not number:
            sys.exit("Xvfb did not start")
        yield f":{number}", "Xvfb 1920x1080x24"
    finally:
        server.terminate()
        server.wait()
