#!/usr/bin/python3
"""Quorbel.exe (x86_64) under Wine in Xvfb at 96 DPI, driven from outside with real X input
(xdotool) and read back by quorbel_probe.exe with the controls' own messages.

  wine_window_test.py WIN64_BUILD_DIR WINEPREFIX   (run inside xvfb-run)
"""
import os
import subprocess
import sys
import time
import unittest

BUILD, PREFIX = (os.path.abspath(p) for p in sys.argv[1:3])
WINE = "/usr/lib/wine/wine64"
ENV = dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
STATE_FILE = os.path.join(BUILD, "probe-state.txt")

# Control ids are 100 + TabIndex.
TEXT0, TEXT1, TITLE, FRAME = 100, 101, 102, 103
OPTIONS = [104, 105, 106, 107, 108]
LISTS = [110, 112, 114, 116]
HINTS = 117
ROWS = [
    ["норвежец", "датчанин", "англичанин", "немец", "швед"],
    ["вода", "чай", "мляко", "кафе", "бира"],
    ["котка", "кон", "птичка", "рибка", "куче"],
    ["Dunhill", "Marlboro", "Pall Mall", "Rothmans", "Winfield"],
]


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


def probe():
    """Everything the probe read, as a dictionary of facts."""
    if os.path.exists(STATE_FILE):
        os.remove(STATE_FILE)
    # Wine's helpers inherit our descriptors: send them to files, never to a pipe we wait on.
    with open(os.path.join(BUILD, "probe.log"), "wb") as log:
        subprocess.run([WINE, os.path.join(BUILD, "quorbel_probe.exe"), STATE_FILE, "60"],
                       env=ENV, stdout=log, stderr=log, stdin=subprocess.DEVNULL, timeout=120, check=True)
    state = {"controls": {}, "lists": {}, "items": {}, "checks": {}, "texts": {}}
    with open(STATE_FILE, encoding="utf-8") as f:
        for line in f.read().splitlines():
            kind, _, rest = line.partition(" ")
            if kind in ("window", "client"):
                state[kind] = [int(v) for v in rest.split()]
            elif kind in ("title", "style", "focus", "icon"):
                state[kind] = rest
            elif kind == "control":
                p = rest.split()
                state["controls"][int(p[0])] = {"class": p[1], "visible": p[3] == "1",
                                                "rect": [int(v) for v in p[5:9]]}
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
    return state


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=30)
    time.sleep(0.4)


class WineWindow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.log = open(os.path.join(BUILD, "quorbel-wine.log"), "wb")
        # A new prefix is made once, before anything else starts: two Wine processes making it at
        # the same time fail.
        subprocess.run([WINE, "wineboot", "--init"], env=ENV, stdout=cls.log, stderr=cls.log,
                       stdin=subprocess.DEVNULL, timeout=600, check=True)
        cls.program = subprocess.Popen([WINE, os.path.join(BUILD, "Quorbel.exe")], env=ENV,
                                       stdout=cls.log, stderr=cls.log, stdin=subprocess.DEVNULL)
        cls.start = probe()

    @classmethod
    def tearDownClass(cls):
        cls.program.kill()
        cls.program.wait()
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=ENV, timeout=60)
        cls.log.close()

    def click_row(self, list_id, row):
        state = probe()
        x, y, w, _ = state["controls"][list_id]["rect"]
        height = state["lists"][list_id]["itemheight"]
        xdotool("mousemove", str(x + w // 2), str(y + 2 + height * row + height // 2), "click", "1")

    def click_option(self, option_id):
        x, y, _, h = probe()["controls"][option_id]["rect"]
        xdotool("mousemove", str(x + 6), str(y + h // 2), "click", "1")

    def assert_house(self, state, house):
        for list_id in LISTS:
            self.assertEqual(state["lists"][list_id]["sel"], house, f"list {list_id}")
        for h, option_id in enumerate(OPTIONS):
            self.assertEqual(state["checks"][option_id], 1 if h == house else 0, f"option {option_id}")
        self.assertEqual(state["texts"][TEXT0], state["items"][HINTS][house])

    # Named so that unittest runs them in this order: the start state first.
    def test_0_window_and_start_state(self):
        s = self.start
        self.assertEqual(s["client"][2:], [428, 379], "client area at 96 DPI")
        self.assertEqual(s["title"], "www.quorbel.example Философия - Логика - къща...")
        style = int(s["style"], 16)
        self.assertFalse(style & 0x00040000, "resizable")          # WS_THICKFRAME
        self.assertFalse(style & 0x00030000, "min or max box")     # WS_MINIMIZEBOX | WS_MAXIMIZEBOX
        self.assertTrue(style & 0x00080000, "no close box")        # WS_SYSMENU
        self.assertEqual(s["focus"], str(TEXT0))
        self.assertFalse(s["controls"][TEXT1]["visible"])
        self.assertFalse(s["controls"][HINTS]["visible"])
        self.assertEqual(s["controls"][TITLE]["rect"][0] - s["client"][0], 64)
        self.assertEqual(s["controls"][TITLE]["rect"][2], 305)
        text = s["texts"][TEXT0]
        self.assertTrue(text.startswith("На една улица има 5 къщи"))
        self.assertEqual(text.count("\r\n"), 31)
        self.assertTrue(text.endswith("живее до пиещия вода.\r\n"))
        for list_id, rows in zip(LISTS, ROWS):
            self.assertEqual(s["items"][list_id], rows)
            self.assertEqual(s["lists"][list_id]["sel"], -1)
            self.assertEqual(s["lists"][list_id]["scrollbar"], 0)
        self.assertEqual(len(s["items"][HINTS]), 5)
        self.assertIn("кафе.. ", s["items"][HINTS][3])
        self.assertEqual([s["checks"][o] for o in OPTIONS], [0] * 5)

    def test_1_tab_walks_the_tab_order(self):
        visited = [probe()["focus"]]
        for _ in range(6):
            xdotool("key", "Tab")
            visited.append(probe()["focus"])
        self.assertEqual(visited, [str(i) for i in (TEXT0, OPTIONS[0], *LISTS, TEXT0)])
        state = probe()
        self.assertEqual([state["lists"][l]["sel"] for l in LISTS], [-1] * 4, "tabbing chose a house")

    def test_2_horse_then_white_then_house_1_then_3(self):
        self.click_row(LISTS[2], 1)  # "кон"
        self.assert_house(probe(), 1)
        self.click_option(OPTIONS[4])  # "Бяла"
        self.assert_house(probe(), 4)
        self.click_option(OPTIONS[1])
        self.click_row(LISTS[3], 3)
        self.assert_house(probe(), 3)

    def test_3_arrow_keys(self):
        self.click_row(LISTS[0], 1)
        xdotool("key", "Down")
        self.assert_house(probe(), 2)
        self.click_option(OPTIONS[2])
        xdotool("key", "Right")
        self.assert_house(probe(), 3)

    def test_4_typing_changes_nothing(self):
        before = probe()["texts"][TEXT0]
        x, y, w, h = probe()["controls"][TEXT0]["rect"]
        xdotool("mousemove", str(x + w // 3), str(y + h // 2), "click", "1")
        xdotool("type", "abc")
        xdotool("key", "BackSpace", "Delete", "Return", "ctrl+x", "ctrl+v")
        after = probe()
        self.assertEqual(after["focus"], str(TEXT0))
        self.assertEqual(after["texts"][TEXT0], before)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
