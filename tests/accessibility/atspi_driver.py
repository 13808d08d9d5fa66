"""Drives a running Peltavo from outside, as a screen reader and a keyboard user meet it.

The program's windows are read through the accessibility bus (AT-SPI, through pyatspi, as Orca
reads them) and keys are pressed with xdotool on the X server the program draws on. Nothing in
the program knows it is being watched. Callers run inside a virtual X server and a D-Bus session
of their own (xvfb-run and dbus-run-session) and touch the bus (`pyatspi.Registry`) before the
program starts, or the program never joins it.
"""

import os
import re
import subprocess
import time

import pyatspi
from gi.repository import GLib

MAIN_TITLE_PREFIX = "Peltavo - "


class CheckFailed(Exception):
    pass


def wait_until(what, probe, timeout):
    """Calls probe until it gives something other than None; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value is not None:
            return value
        if time.monotonic() > deadline:
            raise CheckFailed(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.1)


def program_environment(base=None):
    """The environment a program is started in so that the bus sees all of it."""
    env = dict(os.environ if base is None else base)
    env["QT_QPA_PLATFORM"] = "xcb"
    env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    # Chromium builds the web page's accessibility tree only when asked to.
    env["QTWEBENGINE_CHROMIUM_FLAGS"] = "--no-sandbox --disable-gpu --force-renderer-accessibility"
    return env


def peltavo_application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "peltavo":
            return app
    return None


def children(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield child


def descendants(acc):
    for child in children(acc):
        yield child
        yield from descendants(child)


def has_state(acc, state):
    return acc.getState().contains(state)


def top_windows(app):
    """The program's windows on screen (Qt WebEngine keeps a hidden window of its own)."""
    return [w for w in children(app) if has_state(w, pyatspi.STATE_SHOWING)]


def describe(windows):
    return ", ".join(f"{w.getRoleName()} '{w.name}'" for w in windows) or "none"


def window_named(app, name):
    """The window on screen whose name is name, or starts with it when name ends in '*'."""
    for w in top_windows(app):
        if w.name == name or (name.endswith("*") and w.name.startswith(name[:-1])):
            return w
    return None


def main_window(app):
    return window_named(app, MAIN_TITLE_PREFIX + "*")


def controls(acc):
    """The controls under acc, not looking into grids: a grid holds a cell for every row of a
    dictionary, far too many to visit."""
    for child in children(acc):
        yield child
        if child.getRoleName() != "table":
            yield from controls(child)


def find_named(window, name):
    for acc in controls(window):
        if acc.name == name:
            return acc
    raise CheckFailed(f"no control named '{name}' in '{window.name}'")


def text_of(acc):
    text = acc.queryText()
    return text.getText(0, text.characterCount)


class FocusTracker:
    """Follows the focus as a screen reader does: by the bus's focus events, not by searching
    the tree (a web page's tree is large). Start it before the program, so no event is missed."""

    def __init__(self):
        self.focused = None
        self.moves = 0
        pyatspi.Registry.registerEventListener(self._on_focus, "object:state-changed:focused")

    def _on_focus(self, event):
        if event.detail1:
            self.focused = event.source
            self.moves += 1

    def pump(self):
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)

    def path(self, window):
        """The focused object and its ancestors up to window, outermost first; [] when the
        focus is not in window."""
        self.pump()
        path, acc = [], self.focused
        while acc is not None:
            if acc == window:
                return path[::-1]
            path.append(acc)
            acc = acc.parent
        return []

    def name(self, window, stops=()):
        """The name a screen reader announces for the focus in window: the outermost object on
        the way down to it that is one of stops, or else the focused object's own. None while
        nothing in window has the focus."""
        path = self.path(window)
        for acc in path:
            if acc.name in stops:
                return acc.name
        return path[-1].name if path else None


def x_window_id(title_prefix):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                          "^" + re.escape(title_prefix)], capture_output=True, text=True).stdout
    ids = out.split()
    return ids[0] if ids else None


def click(window_id, area):
    """Clicks the middle of area (left, top, width, height in the window's client pixels)."""
    left, top, width, height = area
    subprocess.run(["xdotool", "mousemove", "--window", window_id, str(left + width // 2),
                    str(top + height // 2), "click", "1"], check=True)


def key(*names):
    """Presses keys on the window that has the X input focus."""
    subprocess.run(["xdotool", "key", "--delay", "30", *names], check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "20", text], check=True)


class Program:
    """A Peltavo process started in folder, on the bus; ends it on leaving the with-block."""

    def __init__(self, command, folder, env=None):
        self.command, self.folder = command, folder
        self.env = program_environment() if env is None else env
        self.process = None

    def __enter__(self):
        pyatspi.Registry.getDesktop(0)
        self.focus = FocusTracker()
        self.process = subprocess.Popen(self.command, cwd=self.folder, env=self.env)
        self.app = wait_until("the program on the accessibility bus", self._application, 60)
        return self

    def _application(self):
        if self.process.poll() is not None:
            raise CheckFailed(f"the program ended with code {self.process.returncode}")
        return peltavo_application()

    def __exit__(self, *exc):
        pyatspi.Registry.deregisterEventListener(self.focus._on_focus,
                                                 "object:state-changed:focused")
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        return False
