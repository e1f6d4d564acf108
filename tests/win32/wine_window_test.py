#!/usr/bin/python3
"""Quorbel.exe under Wine in Xvfb, driven from outside with real X input (xdotool) and read back
by quorbel_probe.exe (built for the same machine) with the controls' own messages: the behaviour
table, the window at 96 DPI and at the other usual DPIs, and (quorbel_failing.exe) when an event
procedure fails. Every test starts the program it needs, so any one runs alone or in any order.

  wine_window_test.py i686|x86_64 BUILD_DIR WINEPREFIX TABLE_JSON [TEST ...]   (run inside xvfb-run)

TABLE_JSON: the behaviour table as each runtime plays it and the texts of content/, written at build
time by the C++ reader (tests/table_json.cpp).

Exits with 77 (skipped) when this machine cannot run the i686 program.
"""
import json
import os
import subprocess
import sys
import time
import unittest

ARCH = sys.argv[1]
BUILD, PREFIX = (os.path.abspath(p) for p in sys.argv[2:4])
with open(sys.argv[4], encoding="utf-8") as _table:
    TABLE = json.load(_table)
CONTENT = TABLE["content"]
WINE = {"i686": "/usr/lib/wine/wine", "x86_64": "/usr/lib/wine/wine64"}[ARCH]
ENV = dict(os.environ, WINEPREFIX=PREFIX, WINEARCH="win32" if ARCH == "i686" else "win64",
           WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
STATE_FILE = os.path.join(BUILD, "probe-state.txt")
SKIPPED = 77

# Control ids are 100 + TabIndex.
TEXT0, TEXT1, TITLE, FRAME = 100, 101, 102, 103
OPTIONS = [104, 105, 106, 107, 108]
LISTS = [110, 112, 114, 116]
HINTS = 117
HEADINGS = [109, 111, 113, 115]
NAMES = {TEXT0: "Text1(0)", **{o: f"Option1({i})" for i, o in enumerate(OPTIONS)},
         **{l: f"List1({i})" for i, l in enumerate(LISTS)}}


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"r": "\r", "n": "\n", "\\": "\\"}[text[i + 1]])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def wine(*args, timeout=120, check=True):
    # Wine's helpers inherit our descriptors: send them to files, never to a pipe we wait on.
    with open(os.path.join(BUILD, "wine-tools.log"), "ab") as log:
        subprocess.run([WINE, *args], env=ENV, stdout=log, stderr=log, stdin=subprocess.DEVNULL,
                       timeout=timeout, check=check)


def probe(*extra, seconds=60):
    """Everything the probe read, as a dictionary of facts; waits up to `seconds` for the form."""
    if os.path.exists(STATE_FILE):
        os.remove(STATE_FILE)
    wine(os.path.join(BUILD, "quorbel_probe.exe"), STATE_FILE, str(seconds), *extra, check=False)
    state = {"controls": {}, "lists": {}, "items": {}, "checks": {}, "texts": {}, "itemextents": {},
             "dialogs": []}
    with open(STATE_FILE, encoding="utf-8") as f:
        for line in f.read().splitlines():
            kind, _, rest = line.partition(" ")
            if kind in ("window", "client"):
                state[kind] = [int(v) for v in rest.split()]
            elif kind in ("title", "style", "focus"):
                state[kind] = rest
            elif kind == "control":
                p = rest.split()
                state["controls"][int(p[0])] = {"class": p[1], "visible": p[3] == "1",
                                                "rect": [int(v) for v in p[5:9]],
                                                "inner": [int(v) for v in p[10:12]],
                                                "extent": [int(v) for v in p[13:15]]}
            elif kind == "list":
                p = rest.split()
                state["lists"][int(p[0])] = dict(zip(p[1::2], (int(v) for v in p[2::2])))
            elif kind == "item":
                ident, row, text = rest.split(" ", 2) if rest.count(" ") >= 2 else (*rest.split(" "), "")
                state["items"].setdefault(int(ident), []).append(unescape(text))
            elif kind == "check":
                ident, value = rest.split()
                state["checks"][int(ident)] = int(value)
            elif kind == "text":
                ident, _, text = rest.partition(" ")
                state["texts"][int(ident)] = unescape(text)
            elif kind == "edit":
                p = rest.split()
                state.setdefault("edits", {})[int(p[0])] = {"sel": [int(p[2]), int(p[3])], "lines": int(p[5])}
            elif kind == "ink":
                ident, first, last = (int(v) for v in rest.split())
                state.setdefault("ink", {})[ident] = (first, last)
            elif kind == "itemextent":
                ident, row, width, height = (int(v) for v in rest.split())
                state["itemextents"].setdefault(ident, []).append((width, height))
            elif kind == "dialog":
                state["dialogs"].append([unescape(part) for part in rest.split("\t")])
    return state


def start(program, dpi, *arguments, wait_for_form=True):
    """Starts a program in a prefix set to the given DPI, once its window is up."""
    wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
         "/d", str(dpi), "/f")
    log = open(os.path.join(BUILD, "quorbel-wine.log"), "ab")
    process = subprocess.Popen([WINE, os.path.join(BUILD, program), *arguments], env=ENV, stdout=log,
                               stderr=log, stdin=subprocess.DEVNULL)
    log.close()
    if not wait_for_form:
        return process, None
    # A program that ends or shows a message box (its own, or Wine's crash report) instead of its
    # window fails the test at once, rather than every later step waiting for the window.
    for _ in range(30):
        state = probe(seconds=2)
        if "client" in state:
            return process, state
        if state["dialogs"] or process.poll() is not None:
            break
    stop(process)
    raise AssertionError(f"{program} showed no window: {state['dialogs']}, exit status {process.returncode}")


def stop(process):
    process.kill()
    process.wait()


def px(twips, dpi):
    return (twips * dpi + 720) // 1440


def setUpModule():
    if ARCH == "i686":
        # Only a loader that cannot be started at all (wine32 or the i386 loader missing, no 32-bit
        # support in the kernel) skips; a Wine that starts and then fails is a failure.
        try:
            subprocess.run([WINE, "--version"], capture_output=True, timeout=60)
        except OSError as error:
            print(f"skipped: this machine cannot run 32-bit programs under Wine ({error})")
            sys.exit(SKIPPED)
    # A new prefix is made once, before anything else starts: two Wine processes making it at the
    # same time fail.
    wine("wineboot", "--init", timeout=600)
    # Read before any test: a program still running holds the DPI a new one starts with.
    program, state = start("Quorbel.exe", 96)
    stop(program)
    _start_96.append(state)


def tearDownModule():
    subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=ENV, timeout=60)


_start_96 = []


def start_96():
    """The window as it opens at 96 DPI, alone, the yardstick for the other DPIs (read at set-up)."""
    return _start_96[0]


def relative_rects(state):
    cx, cy = state["client"][:2]
    return {i: [c["rect"][0] - cx, c["rect"][1] - cy, *c["rect"][2:]] for i, c in state["controls"].items()}


def check_scaled(test, state, dpi):
    """The client area and every control scaled from 96 DPI, every list row in view, no text cut."""
    test.assertEqual(state["client"][2:], [px(6420, dpi), px(5685, dpi)], f"client area at {dpi} DPI")
    # At 96 DPI a pixel is 15 twips exactly, so the layout's twips are read back from that window.
    at_96 = relative_rects(start_96())
    for ident, rect in relative_rects(state).items():
        test.assertEqual(rect, [px(15 * v, dpi) for v in at_96[ident]], f"control {ident} at {dpi} DPI")
    m = state["controls"]
    for ident in [TITLE, *HEADINGS]:
        test.assertLessEqual(m[ident]["extent"][0], m[ident]["inner"][0], f"label {ident} cut")
        test.assertLessEqual(m[ident]["extent"][1], m[ident]["inner"][1], f"label {ident} cut")
    for ident in [FRAME, *OPTIONS]:  # beside the radio glyph or inside the frame's corners
        test.assertLessEqual(m[ident]["extent"][0] + px(16 * 15, dpi), m[ident]["inner"][0], f"{ident} cut")
    for ident in LISTS:
        rows, inner = state["lists"][ident], m[ident]["inner"]
        test.assertEqual(rows["scrollbar"], 0, f"list {ident} scrolls")
        test.assertLessEqual(rows["itemheight"] * 5, inner[1], f"list {ident} hides a row")
        for width, height in state["itemextents"][ident]:
            test.assertLessEqual(width, inner[0], f"a row of list {ident} is cut")
            test.assertLessEqual(height, rows["itemheight"], f"a row of list {ident} is cut")


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=30)
    time.sleep(0.4)


class WineWindow(unittest.TestCase):
    """The behaviour table, each scenario on a program of its own, and the window as it opens."""

    def setUp(self):
        self.program, self.start = start("Quorbel.exe", 96)

    def tearDown(self):
        stop(self.program)

    def click_row(self, list_id, row):
        state = probe()
        x, y, w, _ = state["controls"][list_id]["rect"]
        height = state["lists"][list_id]["itemheight"]
        xdotool("mousemove", str(x + w // 2), str(y + 2 + height * row + height // 2), "click", "1")

    def click_option(self, option_id):
        x, y, _, h = probe()["controls"][option_id]["rect"]
        xdotool("mousemove", str(x + 6), str(y + h // 2), "click", "1")

    def click_below(self, list_id):
        state = probe()
        x, y, w, h = state["controls"][list_id]["rect"]
        rows_end = 2 + state["lists"][list_id]["itemheight"] * len(state["items"][list_id])
        self.assertLess(rows_end, h - 3, "no room under the last row")
        xdotool("mousemove", str(x + w // 2), str(y + h - 3), "click", "1")

    def click_text(self):
        x, y, w, h = probe()["controls"][TEXT0]["rect"]
        xdotool("mousemove", str(x + w // 3), str(y + h // 2), "click", "1")

    def play(self, step):
        verb, args = step[0], step[1:]
        keys = {"up": "Up", "down": "Down", "left": "Left", "right": "Right"}
        if verb == "row":
            self.click_row(LISTS[int(args[0])], int(args[1]))
        elif verb == "option":
            self.click_option(OPTIONS[int(args[0])])
        elif verb == "below":
            self.click_below(LISTS[int(args[0])])
        elif verb == "list-key":  # a click under the rows gives the list the focus and changes nothing
            self.click_below(LISTS[int(args[0])])
            xdotool("key", keys[args[1]])
        elif verb == "option-key":  # the checked option: clicking it gives it the focus
            self.click_option(OPTIONS[int(args[0])])
            xdotool("key", keys[args[1]])
        elif verb == "tab":
            xdotool("key", *["Tab"] * int(args[0]))
        elif verb == "select-text":
            self.click_text()
            xdotool("key", "ctrl+Home", "ctrl+shift+End")
        elif verb == "type":
            self.click_text()
            xdotool("type", args[0])
        elif verb == "edit-keys":
            xdotool("key", "BackSpace", "Delete", "Return", "ctrl+x", "ctrl+v")
        elif verb == "expect":
            state = probe()
            if args[0] == "start":
                self.assert_house(state, -1)
            else:
                self.assert_house(state, int(args[1]))
            if "focus" in args:
                self.assertEqual(NAMES.get(int(state["focus"])), args[args.index("focus") + 1], "focus")
            if "all-selected" in args:
                self.assertEqual(state["edits"][TEXT0]["sel"], [0, len(state["texts"][TEXT0])], "selection")
        else:
            self.fail(f"unknown step {verb}")

    def assert_house(self, state, house):
        for list_id in LISTS:
            self.assertEqual(state["lists"][list_id]["sel"], house, f"list {list_id}")
        for h, option_id in enumerate(OPTIONS):
            self.assertEqual(state["checks"][option_id], 1 if h == house else 0, f"option {option_id}")
        self.assertEqual(state["texts"][TEXT0], CONTENT["hints"][house] if house >= 0 else CONTENT["statement"])

    def test_window_and_start_state(self):
        s = self.start
        self.assertEqual(s["client"][2:], [428, 379], "client area at 96 DPI")
        check_scaled(self, s, 96)
        self.assertEqual(s["title"], CONTENT["caption"])
        style = int(s["style"], 16)
        self.assertFalse(style & 0x00040000, "resizable")          # WS_THICKFRAME
        self.assertFalse(style & 0x00030000, "min or max box")     # WS_MINIMIZEBOX | WS_MAXIMIZEBOX
        self.assertTrue(style & 0x00080000, "no close box")        # WS_SYSMENU
        self.assertFalse(s["controls"][TEXT1]["visible"])
        self.assertFalse(s["controls"][HINTS]["visible"])
        self.assertEqual(s["controls"][TITLE]["rect"][0] - s["client"][0], 64)
        self.assertEqual(s["controls"][TITLE]["rect"][2], 305)
        text = s["texts"][TEXT0]
        self.assertEqual(text, CONTENT["statement"])
        for list_id, rows in zip(LISTS, CONTENT["rows"]):
            self.assertEqual(s["items"][list_id], rows)
        self.assertEqual(s["items"][HINTS], CONTENT["hints"])
        # The labels' text centred (the margins apart by no more than glyphs' side bearings); the
        # text area scrolls vertically and wraps its long lines.
        for ident in [TITLE, *HEADINGS]:
            first, last = s["ink"][ident]
            inner = s["controls"][ident]["inner"][0]
            self.assertLessEqual(abs(first - (inner - 1 - last)), 4, f"label {ident} not centred: {first}, {last}")
        # A scroll bar is what the box's edges leave beside its client area beyond its borders.
        width, height = s["controls"][TEXT0]["rect"][2:]
        inner = s["controls"][TEXT0]["inner"]
        self.assertGreater(width - inner[0], height - inner[1] + 8, "no vertical scroll bar")
        self.assertGreater(s["edits"][TEXT0]["lines"], text.count("\r\n") + 1, "no line wrapped")


for _row in TABLE["scenarios"]["windows"]:
    _name, _steps, _cannot = _row["test"], _row["steps"], _row["cannot"]

    def _scenario(self, steps=_steps, cannot=_cannot):
        if cannot:
            self.skipTest(cannot)
        for step in steps:
            with self.subTest(step=" ".join(step)):
                self.play(step)
    setattr(WineWindow, "test_table_" + _name, _scenario)


class WineProgramIcon(unittest.TestCase):
    """Windows draws an icon as (background AND mask) XOR image, so a transparent pixel must be
    black in the image to leave the background as it was."""

    def test_transparent_pixels_leave_the_background_unchanged(self):
        out = os.path.join(BUILD, "probe-icon.txt")
        wine(os.path.join(BUILD, "quorbel_probe.exe"), "--icon", os.path.join(BUILD, "Quorbel.exe"), out)
        with open(out, encoding="utf-8") as f:
            fields = f.read().split()
        self.assertEqual(fields[:3], ["icon", "32", "32"])
        self.assertGreater(int(fields[4]), 0, "no transparent pixel")
        self.assertEqual(fields[6:], ["0", "0"], "transparent pixels changed on white, on black")


class WineWindowAtOtherDpis(unittest.TestCase):
    """One start at each DPI the program is likely to meet (Wine's LogPixels)."""

    def test_scaled(self):
        for dpi in (120, 144, 192):
            with self.subTest(dpi=dpi):
                program, state = start("Quorbel.exe", dpi)
                stop(program)
                check_scaled(self, state, dpi)


class WineWindowWhenAProcedureFails(unittest.TestCase):
    """quorbel_failing.exe: the runtime of Quorbel.exe with event procedures that fail, and with
    Windows refusing what the form needs at start."""

    def tearDown(self):
        if self.program.poll() is None:
            stop(self.program)

    def failure_shown(self, message, click=None, argument=None):
        self.program, _ = start("quorbel_failing.exe", 96, *([argument] if argument else []),
                                wait_for_form=click is not None)
        if click:
            click()
        for _ in range(40):
            dialogs = probe("dismiss", seconds=0)["dialogs"]
            if dialogs:
                break
            time.sleep(0.5)
        self.assertEqual(len(dialogs), 1, dialogs)
        self.assertEqual(dialogs[0][0], "Quorbel")
        self.assertTrue(dialogs[0][1].startswith(message), dialogs[0][1])
        self.assertEqual(self.program.wait(timeout=60), 1, "exit status")

    def test_run_time_error(self):
        self.failure_shown("Грешка при изпълнение: елементът List1(12) не съществува.",
                           lambda: WineWindow.click_row(self, LISTS[2], 1))

    def test_out_of_memory(self):
        self.failure_shown("Грешка при изпълнение: няма достатъчно памет.",
                           lambda: WineWindow.click_option(self, OPTIONS[4]))

    def test_start_failures(self):
        # Named, with the system's reason where it gives one.
        for argument, message in (("register-class-first", "Грешка при изпълнение: не може да се регистрира класът на формата: "),
                                  ("refuse-lists", "Грешка при изпълнение: не може да се създаде List1(0)")):
            with self.subTest(argument):
                self.failure_shown(message, argument=argument)

    def test_dpi_change(self):
        self.program, _ = start("quorbel_failing.exe", 96)
        WineWindow.click_option(self, OPTIONS[0])  # tells the form its screen is now 144 DPI
        time.sleep(1)
        state = probe()
        self.assertEqual(state["dialogs"], [])
        check_scaled(self, state, 144)
        self.assertEqual(state["checks"][OPTIONS[0]], 0, "unchecking by code left the option checked")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v", *sys.argv[5:]])
