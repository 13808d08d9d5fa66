#!/usr/bin/python3
"""Every window as a keyboard user and a screen reader meet it, through the accessibility bus.

Each case starts Peltavo afresh on the given database (copied with the program into a folder of
its own, where the program looks for it) and opens its window from the main window with the
keyboard alone: Tab to the opening button, then Space. It then checks that the window is a frame
(or dialog) named by its X caption, that focus went into it, that Tab and Shift+Tab walk its tab
stops in order and round again (a hidden or disabled stop is skipped, a browser pane's own stops
are passed through), and that every stop is named and carries its hint as description.

The further cases check a message box (an alert whose text is readable, focus on its button and
back where it was afterwards), the quiz's bars reporting their values, the dictionary grid
reporting its current row, and the right-click menus of the memos and text boxes, which are Qt's
own and speak Turkish like every other text of Qt's in the windows.

  test_bus_walk.py --program PELTAVO --database FILE [unittest options]
Run inside xvfb-run and dbus-run-session (run_on_bus.sh).
"""

import argparse
import contextlib
import dataclasses
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import pyatspi

from atspi_driver import (MAIN_TITLE_PREFIX, CheckFailed, Program, children, click, controls, descendants,
                          find_named, has_state, key, main_window, text_of,
                          top_windows, type_text, wait_until, x_window_id)


@dataclasses.dataclass(frozen=True)
class WindowWalk:
    window: str          # the window's object name, naming the case
    opened_by: str       # the main-window stop whose Space press opens it; "" for the main window
    role: str
    stops: tuple         # the tab order by accessible name: the caption, or else the object name
    pane: str = ""       # a last stop with Tab stops of its own (a web page)
    hints: tuple = ()    # (stop, description) pairs
    # (stop, (left, top)) for stops named by a caption that changes: found by their place in the
    # window, and heard by their caption, not by the stop's name.
    placed: tuple = ()


MAIN_WALK = WindowWalk(
    "anaekr", "", "frame",
    ("kullan", "prog", "cumle", "Cümle Tercüme Et", "kullandb", "Türkçe -> İnglizce",
     "Metin Tercüme Et", "sozluk", "ara", "Kelime Ara", "yadimb", "Sözlükte Ara", "ilerib",
     "geri1", "sesb", "sozlukb", "boslukb"),
    hints=(("Kelime Ara", "Tüm kayıtlarda arama yap"), ("geri1", "Önceki Kayıt"),
           ("ilerib", "Sonraki Kayıt"), ("boslukb", "İngilizce cümlelerde boşluk doldurma"),
           ("sozlukb", "Sözlük Bilgilerini Tam Görüntüle"), ("yadimb", "İngilizce Ders Notları"),
           ("sesb", "Aktif ingilizce cümleyi seslendirir")))

WALKS = (
    MAIN_WALK,
    WindowWalk("sozlukekr", "sozlukb", "frame", ("sonrab", "DBEdit1", "DBMemo1", "onceb")),
    WindowWalk("sorcevekr", "boslukb", "frame",
               ("cb1", "cb2", "cb4", "cb5", "cb6", "cb7", "Sonraki soru", "Çıkış", "cb3", "cb8",
                "cb9", "cb10", "cb11", "cumle", "Tümünü Seç", "Kopyala", "sesb"),
               pane="web", hints=(("sesb", "İngilizce Cümleyi Seslendir"),),
               placed=(("cb1", (10, 45)), ("cb2", (120, 45)), ("cb3", (240, 45)),
                       ("cb4", (360, 45)), ("cb5", (480, 45)), ("cb6", (10, 75)),
                       ("cb7", (120, 75)), ("cb8", (240, 75)), ("cb9", (360, 75)),
                       ("cb10", (480, 75)), ("cb11", (600, 75)))),
    # The find dialog: its find button stays disabled until there is something to find.
    # Tab meets the first of the two direction buttons; the arrow keys choose between them.
    WindowWalk("bul", "Kelime Ara", "dialog",
               ("findText", "Yalnızca tam kelime", "Büyük/küçük harf duyarlı", "Yukarı",
                "Sonrakini Bul", "İptal")),
)

# Qt's English texts that its widgets could show in the program's windows: the entries of the
# right-click menus of text boxes and memos, the buttons and labels of its dialogs. None may be
# met anywhere the walk goes; Qt speaks Turkish in the program. ("OK" is not among them: the
# program's own boxes say it.)
QT_ENGLISH = frozenset((
    "Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All", "Copy Link Location",
    "Cancel", "Open", "Close", "Yes", "No", "Look in:", "File name:", "Files of type:",
    "Back", "Forward", "Parent Directory", "Create New Folder", "List View", "Detail View"))
# The right-click menu of an editable text box or memo, and of a read-only one, as Qt's Turkish
# names their entries.
TURKISH_EDIT_MENU = ["Geri al", "Yinele", "Kes", "Kopyala", "Yapıştır", "Sil", "Tümünü Seç"]
TURKISH_READ_MENU = ["Kopyala", "Tümünü Seç"]


def plain(text):
    """A menu entry as read: without the mnemonic's ampersand and the shortcut after a tab."""
    return text.split("\t")[0].replace("&", "").strip()


def english_of_qt(window, skip=()):
    """The names and descriptions in window that are Qt's English, not looking into grids (a
    grid's cells are the dictionary) nor into the controls named in skip (a web page)."""
    found = []
    for acc in controls(window):
        if acc.name in skip:
            continue
        found += [text for text in (plain(acc.name), plain(acc.description)) if text in QT_ENGLISH]
    return found


# Where the note memo lies in the main window: a click there starts the keyboard's walk.
NOTE_AREA = (0, 250, 775, 120)
ARGS = None


def copy_program(folder):
    """The program, its reader, notes module and documents, with the database as peltavo.MDB."""
    source = os.path.dirname(os.path.abspath(ARGS.program))
    for name in (os.path.basename(ARGS.program), "peltavo-jetread", "peltavo-notes.so",
                 "ingcev.mht", "peltchm.chm"):
        if os.path.exists(os.path.join(source, name)):
            shutil.copy2(os.path.join(source, name), folder)
    shutil.copy(ARGS.database, os.path.join(folder, "peltavo.MDB"))
    return [os.path.join(folder, os.path.basename(ARGS.program))]


def focused_x_window():
    """The X window with the input focus and its caption (WM_NAME)."""
    window_id = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True,
                               text=True).stdout.strip()
    name = subprocess.run(["xdotool", "getwindowname", window_id], capture_output=True,
                          text=True).stdout.rstrip("\n")
    return window_id, name


def press_and_settle(focus, window, names):
    """Presses keys and waits until the focus has moved and come to rest; fails when it stays
    where it was (a keyboard trap)."""
    focus.pump()
    moves = focus.moves
    key(*names)
    try:
        wait_until("the focus to move", lambda: True if focus.pump() or focus.moves > moves
                   else None, 10)
    except CheckFailed:
        held = focus.path(window)
        raise CheckFailed(f"{'+'.join(names)} left the focus on "
                          f"'{held[-1].name if held else 'nothing'}' in '{window.name}'") from None
    for _ in range(20):  # one press can move the focus more than once (into a page, then a link)
        moves = focus.moves
        time.sleep(0.25)
        focus.pump()
        if focus.moves == moves:
            return
    raise CheckFailed(f"the focus did not come to rest after {'+'.join(names)} in '{window.name}'")


def place_of(acc):
    try:
        extents = acc.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    except NotImplementedError:  # a part of a web page, say
        return (acc.getRoleName(), acc.name)
    return (acc.getRoleName(), extents.x, extents.y, extents.width, extents.height)


class Stops:
    """A window's tab stops found on the bus: by name, or by place for the placed ones."""

    def __init__(self, window, case):
        self.window, self.case = window, case
        placed = dict(case.placed)
        self.controls = {}
        for stop in case.stops + ((case.pane,) if case.pane else ()):
            if stop in placed:
                self.controls[stop] = self._at(placed[stop], stop)
            else:
                self.controls[stop] = find_named(window, stop)
        self.labels = {place_of(acc): stop for stop, acc in self.controls.items() if acc}

    def _at(self, where, stop):
        for acc in controls(self.window):
            if acc.getRoleName() != "filler" and place_of(acc)[1:3] == where:
                return acc
        return None  # a hidden control has no place on the screen

    def shown(self):
        """The stops a keyboard user meets: the shown, enabled ones, in order."""
        return [stop for stop in self.case.stops if self.controls[stop]
                and has_state(self.controls[stop], pyatspi.STATE_SHOWING)
                and has_state(self.controls[stop], pyatspi.STATE_SENSITIVE)] + (
                    [self.case.pane] if self.case.pane else [])

    def at_focus(self, focus):
        """The stop holding the focus (the outermost one on the way to it), or the focused
        object's own name when it is no stop; None while nothing in the window has it."""
        path = focus.path(self.window)
        for acc in path:
            stop = self.labels.get(place_of(acc))
            if stop:
                return stop
        return path[-1].name if path else None


def walk(focus, stops, keys, count):
    """The stops focus passes through while keys are pressed, count stops in all."""
    pane = stops.case.pane
    seen = [stops.at_focus(focus)]
    presses = 0
    while len(seen) < count:
        press_and_settle(focus, stops.window, keys)
        presses += 1
        if presses > count + 100:
            raise CheckFailed(f"the focus stayed inside '{pane}' in '{stops.window.name}': {seen}")
        name = stops.at_focus(focus)
        if not (pane and name == pane and seen[-1] == pane):
            seen.append(name)
    return seen


class BusCase(unittest.TestCase):
    @contextlib.contextmanager
    def session(self):
        """A fresh program, its main window shown and the focus in the note memo."""
        folder = tempfile.mkdtemp(prefix="peltavo-bus-")
        try:
            with Program(copy_program(folder), folder) as self.program:
                self.focus = self.program.focus
                self.main = wait_until("the main window", lambda: main_window(self.program.app), 60)
                window_id = wait_until("the main window on the X server",
                                       lambda: x_window_id(MAIN_TITLE_PREFIX), 30)
                others = [w for w in top_windows(self.program.app) if w is not self.main]
                self.assertEqual(others, [], "start-up showed more than the main window")
                click(window_id, NOTE_AREA)
                wait_until("the note memo's focus",
                           lambda: self.focus.name(self.main, MAIN_WALK.stops) == "kullan" or None, 10)
                yield
        finally:
            shutil.rmtree(folder, ignore_errors=True)

    def tab_to(self, stop, tab="Tab"):
        """Tabs (or Shift+Tabs) through the main window to stop."""
        for _ in range(len(MAIN_WALK.stops)):
            if self.focus.name(self.main, MAIN_WALK.stops) == stop:
                return
            press_and_settle(self.focus, self.main, [tab])
        self.fail(f"Tab never reached '{stop}' in the main window")

    def open_window(self, opener, press="space"):
        """Presses the main window's opener (with Space) and gives the new window on the bus."""
        before = set(w.name for w in top_windows(self.program.app))
        self.tab_to(opener)
        key(press)

        def opened():
            new = [w for w in top_windows(self.program.app) if w.name not in before]
            return new[0] if new else None

        return wait_until(f"a window opened by '{opener}'", opened, 30)

def answer_buttons_of_each_question():
    """For each question of the database: its answer buttons shown, and what each is heard as."""
    tool = os.path.join(os.path.dirname(os.path.abspath(ARGS.program)), "peltavo-db")
    if not os.path.exists(tool):
        tool = shutil.which("peltavo-db") or tool
    dump = json.loads(subprocess.run([tool, "dump", ARGS.database, "cevap", "--json"],
                                     check=True, capture_output=True, text=True).stdout)
    names = [c["name"] for c in dump["columns"]]
    answers = [names.index(f"cev{i}") for i in range(1, 12)]
    return [{f"cb{i + 1}": row[a] or f"cb{i + 1}"
             for i, a in enumerate(answers) if row[a] is not None}
            for row in dump["rows"]]


class WindowWalks(BusCase):
    def test_each_window_walks_its_tab_order_and_names_its_stops(self):
        for case in WALKS:
            with self.subTest(window=case.window), self.session():
                self.check_window(case)

    def check_window(self, case):
        window = self.open_window(case.opened_by) if case.opened_by else self.main
        self.assertEqual(window.getRoleName(), case.role, f"the role of '{window.name}'")
        # The window the keyboard is in is the one the bus names, by the caption X shows.
        wait_until("the X focus in the window",
                   lambda: True if focused_x_window()[1] == window.name else None, 10)
        stops = Stops(window, case)
        shown = stops.shown()
        first = wait_until("the focus inside the window", lambda: stops.at_focus(self.focus), 10)
        self.assertEqual(first, shown[0], f"the first stop of '{case.window}' has the focus")
        forward = walk(self.focus, stops, ["Tab"], len(shown) + 1)
        self.assertEqual(forward, shown + shown[:1], f"Tab in '{case.window}'")
        backward = walk(self.focus, stops, ["shift+Tab"], len(shown) + 1)
        self.assertEqual(backward, (shown + shown[:1])[::-1], f"Shift+Tab in '{case.window}'")
        for stop, hint in case.hints:
            self.assertEqual(stops.controls[stop].description, hint, f"the hint of '{stop}'")
        self.assertEqual(english_of_qt(window, skip=(case.pane,) if case.pane else ()), [],
                         f"Qt's English in '{case.window}'")
        heard = {stop: stops.controls[stop].name for stop, _ in case.placed if stop in shown}
        if heard:
            # The answer buttons shown are those of one question's answers that are not null,
            # each heard by its answer; one whose answer is empty shows nothing and is heard by
            # its name.
            self.assertIn(heard, answer_buttons_of_each_question(),
                          f"the answer buttons of '{case.window}' as heard")
        print(f"ok: {case.role} '{window.name}': {' > '.join(forward)}"
              + (f"; heard as {', '.join(f'{k} {v!r}' for k, v in heard.items())}"
                 if heard else ""), flush=True)


class Keys(BusCase):
    # A window opened by Enter on its main-window button, a button of it pressed with Enter, and
    # what changes when that press does its work.
    ENTER_PRESSES = (
        (WALKS[3], "İptal", lambda window: has_state(window, pyatspi.STATE_SHOWING)),
        (WALKS[1], "sonrab", lambda window: text_of(find_named(window, "DBEdit1"))),
        (WALKS[2], "cb1", lambda window: sum(find_named(window, bar).queryValue().currentValue
                                             for bar in ("pb1", "pb2"))),
    )

    def test_enter_presses_the_focused_button_in_every_window(self):
        for case, button, state in self.ENTER_PRESSES:
            with self.subTest(window=case.window), self.session():
                window = self.open_window(case.opened_by, "Return")
                stops = Stops(window, case)
                wait_until("the focus inside the window", lambda: stops.at_focus(self.focus), 10)
                for _ in range(len(case.stops)):
                    if stops.at_focus(self.focus) == button:
                        break
                    press_and_settle(self.focus, window, ["Tab"])
                self.assertEqual(stops.at_focus(self.focus), button)
                before = state(window)
                key("Return")
                wait_until(f"Enter on '{button}' to press it",
                           lambda: True if state(window) != before else None, 10)
                print(f"ok: Enter opened '{window.name}' and pressed '{button}'", flush=True)


class Extents(BusCase):
    def test_a_memo_reports_each_line_of_a_wrapped_paragraph_at_its_own_height(self):
        with self.session():
            # The second conversation's first English line wraps in prog: two display lines.
            self.tab_to("ilerib")
            key("space")
            prog = find_named(self.main, "prog")
            wait_until("the second conversation", lambda: "Ankara" in text_of(prog) or None, 10)
            box = prog.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            paragraph = text_of(prog).index("\n")
            tops = [prog.queryText().getCharacterExtents(offset, pyatspi.DESKTOP_COORDS)[1]
                    for offset in range(paragraph + 2)]  # the paragraph and the next one's start
            lines = sorted(set(tops))
            self.assertEqual(tops, sorted(tops), "a character above one before it")
            self.assertEqual(len(lines), 3, f"the lines at {lines}")
            self.assertEqual(lines[2] - lines[1], lines[1] - lines[0], f"the lines at {lines}")
            self.assertTrue(box.y < lines[0] and lines[2] < box.y + box.height, f"the memo at {box}")
            print(f"ok: the wrapped paragraph and the next line at {lines}", flush=True)


class MessageBoxes(BusCase):
    def test_the_find_reports_no_match_in_an_alert_and_gives_the_focus_back(self):
        with self.session():
            self.check_find_alert()

    def check_find_alert(self):
        find = self.open_window("Kelime Ara")
        wait_until("the find text's focus",
                   lambda: self.focus.name(find, ["findText"]) == "findText" or None, 10)
        type_text("qqqzzz")
        # The first press runs to the last conversation; the second has nothing left to search.
        key("Return")
        time.sleep(1.0)
        key("Return")
        box = wait_until("the message box", lambda: next(
            (w for w in top_windows(self.program.app) if w.getRoleName() == "alert"), None), 20)
        self.assertEqual(box.name, "Uyarı")
        texts = [acc.name for acc in descendants(box) if acc.getRoleName() == "label"]
        self.assertIn("Aranan kelime bulunamadı!", texts)
        wait_until("the OK button's focus", lambda: self.focus.name(box) == "OK" or None, 10)
        key("Return")
        wait_until("the message box to close", lambda: None if any(
            w.getRoleName() == "alert" for w in top_windows(self.program.app)) else True, 10)
        wait_until("the focus back in the find text", lambda:
                   self.focus.name(find, ["findText"]) == "findText" or None, 10)


class QtTexts(BusCase):
    # The controls whose right-click menu is walked, reached by Tab in the main window; the
    # keyboard's menu key opens the menu as a click of the right button does. A text is typed into
    # an empty box first: in an empty box every entry is disabled, and the arrow keys skip them.
    # The conversation's menu first offers the dictionary search of the word at the caret, the
    # first word of the first conversation ("Good morning").
    MENUS = (("prog", "", ["«good» sözlükte ara"] + TURKISH_READ_MENU),
             ("ara", "library", TURKISH_EDIT_MENU),
             ("kullan", "a note", TURKISH_EDIT_MENU))

    def test_the_right_click_menus_of_the_memos_and_text_boxes_are_turkish(self):
        with self.session():
            for stop, typed, entries in self.MENUS:
                with self.subTest(control=stop):
                    self.check_menu(stop, typed, entries)

    def check_menu(self, stop, typed, entries):
        self.tab_to(stop)
        if typed:
            type_text(typed)
        key("Menu")
        time.sleep(0.5)
        # Qt keeps a popup menu out of the application's windows on the bus; a screen reader
        # meets it, as here, through the focus on its entries, which the arrow keys move.
        key("Down")

        def focused_entry():
            self.focus.pump()
            acc = self.focus.focused
            return acc if acc is not None and acc.getRoleName() == "menu item" else None

        menu = wait_until(f"an entry of the right-click menu of '{stop}'", focused_entry, 10).parent
        names = [plain(item.name) for item in children(menu) if item.getRoleName() == "menu item"]
        key("Escape")
        wait_until(f"the focus back on '{stop}'",
                   lambda: self.focus.name(self.main, MAIN_WALK.stops) == stop or None, 10)
        self.assertEqual([n for n in names if n in QT_ENGLISH], [], f"English in '{stop}'s menu")
        self.assertEqual(names, entries, f"the right-click menu of '{stop}'")
        print(f"ok: the right-click menu of '{stop}': {', '.join(names)}", flush=True)


class Values(BusCase):
    def test_the_quiz_bars_report_their_values(self):
        with self.session():
            self.check_bars()

    def check_bars(self):
        quiz = self.open_window("boslukb")
        bars = [find_named(quiz, name).queryValue() for name in ("pb1", "pb2")]
        for bar in bars:
            self.assertEqual((bar.minimumValue, bar.maximumValue, bar.currentValue),
                             (0.0, 100.0, 0.0))
        stops = Stops(quiz, WALKS[2])
        wait_until("the first answer's focus", lambda: stops.at_focus(self.focus) == "cb1" or None, 20)
        key("space")  # right or wrong, one of the bars moves
        wait_until("a bar to move", lambda: sum(b.currentValue for b in bars) > 0 or None, 10)

    def test_the_dictionary_grid_reports_its_current_row(self):
        with self.session():
            self.check_grid_row()

    def check_grid_row(self):
        self.tab_to("ara")
        type_text("library")
        self.tab_to("Sözlükte Ara")
        key("space")
        time.sleep(0.5)
        # The search moves the grid's current record, not the focus: no screen reader may be
        # told that the focus jumped into the grid.
        self.assertEqual(self.focus.name(self.main, MAIN_WALK.stops), "Sözlükte Ara")
        self.tab_to("sozluk", "shift+Tab")
        grid = find_named(self.main, "sozluk")
        self.assertEqual(grid.getRoleName(), "table")
        table = grid.queryTable()

        def current_cell():
            # Focus entering the grid lands on the grid, which marks its current cell focused;
            # a move of the current cell moves the focus onto the new one.
            path = self.focus.path(self.main)
            if not path:
                return None
            if path[-1].getRoleName() == "table":
                cells = [c for c in children(path[-1]) if c.getRoleName() == "table cell"
                         and has_state(c, pyatspi.STATE_FOCUSED)]
                return cells[0] if len(cells) == 1 else None
            return path[-1] if path[-1].getRoleName() == "table cell" else None

        cell = wait_until("the grid's current cell", current_cell, 10)
        # The search steps once past the first headword at or after the text: "library" sorts
        # before "Library".
        self.assertEqual(cell.name, "Library")
        row = table.getRowAtIndex(cell.getIndexInParent())
        below = table.getAccessibleAt(row + 1, 0).name
        key("Down")
        wait_until(f"the current row to move to '{below}'", lambda: (
            (lambda c: True if c is not None and c.name == below and
             table.getRowAtIndex(c.getIndexInParent()) == row + 1 else None)(current_cell())), 10)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--database", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v"] + rest)


if __name__ == "__main__":
    main()
