#!/usr/bin/python3
"""Starts the installed Peltavo the way the desktop's menu does and watches it from outside.

Runs inside a virtual X server and a D-Bus session (installed_start.sh sets both up). The program
is started with the Exec= line of its desktop entry in the entry's Path= directory, or, with
--command, by that command typed in a folder of its own, as in a terminal; either way with a
recording stand-in for xdg-open first on PATH. Its windows are read through the accessibility
bus (AT-SPI) and pressed with xdotool; nothing in the program itself knows it is being watched.

Checks, chosen with --check (any number of times):
  database   start-up shows no dialog and the main window shows the first conversation of the
             installed database, found next to the executable behind the bin/ link
  documents  the help and the notes page lie where the program looks for them: the working
             directory the entry starts it in
  help       pressing the help button asks xdg-open for <Path>/peltchm.chm
  notes      pressing the quiz button shows the quiz window with the notes page rendered
  tabwalk    the main window is a frame named by its caption, and Tab walks its controls in
             their order, as a screen reader hears them (the focused object's name)
  icon       the main window carries the program's icon for the window manager (_NET_WM_ICON)
"""

import argparse
import configparser
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "accessibility"))
from atspi_driver import (MAIN_TITLE_PREFIX, CheckFailed, FocusTracker, click, describe,  # noqa: E402
                          descendants, find_named, main_window, program_environment, text_of,
                          top_windows, wait_until, x_window_id, peltavo_application)
from test_bus_walk import MAIN_WALK, NOTE_AREA, Stops, walk  # noqa: E402

# Client coordinates (left, top, width, height) of the main window's buttons.
HELP_BUTTON = (610, 515, 22, 25)
QUIZ_BUTTON = (633, 455, 23, 25)


def read_desktop_entry(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    entry = parser["Desktop Entry"]
    return entry["Exec"], entry["Path"]


def first_conversation(peltavo_db, database):
    out = subprocess.run([peltavo_db, "dump", database, "konus", "--json"], check=True,
                         capture_output=True, text=True).stdout
    table = json.loads(out)
    column = [c["name"] for c in table["columns"]].index("ikonus")
    return table["rows"][0][column]


def normalised(text):
    return text.replace("\r\n", "\n").replace("\u2029", "\n").strip()


def check_database(app, args):
    # A database not found next to the executable brings up the file dialog before any window.
    window = wait_until("the main window", lambda: main_window(app) or unexpected_window(app), 60)
    time.sleep(1.0)
    others = [w for w in top_windows(app) if w is not window]
    if others:
        raise CheckFailed(f"start-up showed more than the main window: {describe(others)}")
    shown = normalised(text_of(find_named(window, "prog")))
    expected = normalised(first_conversation(args.peltavo_db, args.database))
    if shown != expected:
        raise CheckFailed(f"the conversation pane shows {shown[:80]!r}, expected {expected[:80]!r}")
    print(f"ok: the main window shows the first conversation ({shown.splitlines()[0]!r} ...)")


def unexpected_window(app):
    windows = top_windows(app)
    if windows and not any(w.name.startswith(MAIN_TITLE_PREFIX) for w in windows):
        raise CheckFailed(f"instead of the main window: {describe(windows)}")
    return None


def check_documents(workdir):
    for name in ("peltchm.chm", "ingcev.mht"):
        path = os.path.join(workdir, name)
        if not os.path.isfile(path) or os.path.getsize(path) == 0:
            raise CheckFailed(f"{path} is missing or empty")
    with open(os.path.join(workdir, "peltchm.chm"), "rb") as f:
        if f.read(4) != b"ITSF":
            raise CheckFailed("peltchm.chm is not a compiled HTML help file")
    with open(os.path.join(workdir, "ingcev.mht"), "rb") as f:
        if b"multipart/related" not in f.read(4096):
            raise CheckFailed("ingcev.mht is not a saved web page (MHTML)")
    print(f"ok: peltchm.chm and ingcev.mht lie in the working directory {workdir}")


def check_help(app, workdir, record):
    window_id = wait_until("the main window on the X server", lambda: x_window_id(MAIN_TITLE_PREFIX), 30)
    click(window_id, HELP_BUTTON)

    def opened():
        if not os.path.exists(record):
            return None
        with open(record, encoding="utf-8") as f:
            lines = [line.strip() for line in f if line.strip()]
        return lines or None

    lines = wait_until("xdg-open to be called", opened, 20)
    wanted = os.path.join(workdir, "peltchm.chm")
    paths = [urllib.request.url2pathname(urllib.parse.urlparse(line).path)
             if line.startswith("file:") else line for line in lines]
    if paths != [wanted]:
        raise CheckFailed(f"xdg-open was asked to open {lines}, expected only {wanted}")
    print(f"ok: the help button asked xdg-open for {wanted}")


def check_icon():
    """_NET_WM_ICON holds the pictures as width, height, then the pixels; one is 48 x 48."""
    window_id = wait_until("the main window on the X server", lambda: x_window_id(MAIN_TITLE_PREFIX), 30)
    wait_until("the main window's icon at 48 x 48", lambda: True if re.search(r"= (.*, )?48, 48, ", subprocess.run(
        ["xprop", "-id", window_id, "-notype", "32c", "_NET_WM_ICON"], capture_output=True,
        text=True).stdout) else None, 10)
    print("ok: the main window carries the program's icon")


def check_tabwalk(app, focus):
    """The main window's tab walk of the bus suite, on the installed program."""
    window = wait_until("the main window", lambda: main_window(app), 60)
    if window.getRoleName() != "frame":
        raise CheckFailed(f"the main window reports the role '{window.getRoleName()}', not 'frame'")
    window_id = wait_until("the main window on the X server", lambda: x_window_id(MAIN_TITLE_PREFIX), 30)
    click(window_id, NOTE_AREA)
    wait_until("the note memo's focus", lambda: focus.name(window, MAIN_WALK.stops) == "kullan" or None, 10)
    stops = Stops(window, MAIN_WALK).shown()
    seen = walk(focus, Stops(window, MAIN_WALK), ["Tab"], len(stops) + 1)
    if seen != stops + stops[:1]:
        raise CheckFailed(f"Tab walked {seen}, expected {stops + stops[:1]}")
    print(f"ok: the main window is a frame '{window.name}'; Tab walked {' > '.join(seen)}")


def notes_landmarks(notes_source):
    """The notes page's title and its first topic heading, as a browser names them."""
    with open(notes_source, encoding="utf-8") as f:
        page = f.read()
    title = re.search(r"<title>(.*?)</title>", page, re.S)
    heading = re.search(r"<h2[^>]*>(.*?)</h2>", page, re.S)
    if not title or not heading:
        raise CheckFailed(f"no <title> or no <h2> in {notes_source}")

    def plain(html):
        return " ".join(re.sub(r"<[^>]+>", "", html).split())

    return plain(title.group(1)), plain(heading.group(1))


def check_notes(app, notes_source, screenshot):
    title, heading = notes_landmarks(notes_source)
    window_id = wait_until("the main window on the X server", lambda: x_window_id(MAIN_TITLE_PREFIX), 30)
    click(window_id, QUIZ_BUTTON)

    def quiz_window():
        for w in top_windows(app):
            if not w.name.startswith(MAIN_TITLE_PREFIX):
                return w
        return None

    window = wait_until("the quiz window", quiz_window, 20)

    def rendered():
        # The page is in the accessibility tree once the browser has laid it out.
        try:
            for acc in descendants(window):
                if acc.getRoleName() == "document web" and acc.name == title:
                    if any(h.getRoleName() == "heading" and " ".join(h.name.split()) == heading
                           for h in descendants(acc)):
                        return acc
        except Exception:  # the tree changes under the walk while the page loads
            pass
        return None

    try:
        wait_until(f"the notes page '{title}' with the heading '{heading}' in the quiz window",
                   rendered, 60)
    finally:
        subprocess.run(["import", "-window", "root", screenshot], check=False)
    print(f"ok: the quiz window shows the notes page '{title}' ({heading!r}); screen: {screenshot}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--desktop-entry", required=True)
    parser.add_argument("--database", required=True, help="the installed peltavo.MDB")
    parser.add_argument("--peltavo-db", required=True)
    parser.add_argument("--notes-source", required=True)
    parser.add_argument("--command", help="start this installed command in a folder of its own, "
                        "as typed in a terminal, instead of the menu entry's Exec= in its Path=")
    parser.add_argument("--check", action="append", required=True,
                        choices=["database", "documents", "help", "icon", "notes", "tabwalk"])
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    command, workdir = read_desktop_entry(args.desktop_entry)
    # The help and the notes are looked for in the entry's Path= either way.
    startdir = workdir
    if args.command:
        command = shlex.quote(args.command)
        startdir = tempfile.mkdtemp(prefix="elsewhere-", dir=args.work)
    fake_bin = os.path.join(args.work, "fake-bin")
    record = os.path.join(args.work, "xdg-open.log")
    os.makedirs(fake_bin, exist_ok=True)
    if os.path.exists(record):
        os.remove(record)
    fake = os.path.join(fake_bin, "xdg-open")
    with open(fake, "w", encoding="utf-8") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >> {shlex.quote(record)}\n')
    os.chmod(fake, 0o755)

    env = program_environment()
    env["PATH"] = fake_bin + os.pathsep + env.get("PATH", "")
    runtime = tempfile.mkdtemp(prefix="runtime-", dir=args.work)
    env["XDG_RUNTIME_DIR"] = runtime

    # The accessibility bus must be up before the program starts, or the program never joins it.
    pyatspi.Registry.getDesktop(0)
    focus = FocusTracker()
    print(f"starting {command!r} in {startdir}")
    program = subprocess.Popen(shlex.split(command), cwd=startdir, env=env)
    try:
        app = wait_until("the program on the accessibility bus", peltavo_application, 60)
        for check in args.check:
            if program.poll() is not None:
                raise CheckFailed(f"the program ended with code {program.returncode}")
            if check == "database":
                check_database(app, args)
            elif check == "documents":
                check_documents(workdir)
            elif check == "help":
                check_help(app, workdir, record)
            elif check == "tabwalk":
                check_tabwalk(app, focus)
            elif check == "icon":
                check_icon()
            elif check == "notes":
                check_notes(app, args.notes_source, os.path.join(args.work, "screen.png"))
    except CheckFailed as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
        shutil.rmtree(runtime, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
