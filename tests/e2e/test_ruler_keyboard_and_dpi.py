"""The ruler driven from the keyboard, brought back from stored places and sizes no screen can show, and
drawn for a display at 150 percent (144 dots per inch), on a 1280x1024 screen.

At 144 dots per inch the checks read the screen: the system colours are set to unusual values so that
the bars, the ticks and the readout (button text), the labels (black) and the desktop can be told apart
pixel by pixel. What the readout says is read twice, independently of its glyphs: Ctrl+C puts the very
text the ruler drew on the clipboard (the window keeps the string it painted), and the ball's tip, which
another program reads through WM_GETTEXT, builds the same measure afresh from the window's size. The
glyphs themselves are then checked for place and size: right- and bottom-aligned at the scaled margins,
as wide as that text is in the scaled font give or take the font's steps. Comparing glyphs with a
rendering of our own would need the same font rasteriser outside Wine, which the machine does not have."""

import re
import time
import unittest
from pathlib import Path

from trelvik_e2e import RULER_WINDOW_TITLE, TrelvikSession, TrelvikTestCase, WindowInfo, holds_for, trelvik_exe, \
    wait_until

LATER_RUN = {"FirstTime": "1", "ShowRuler": "1"}
SCREEN = (1280, 1024)

COLORS_KEY = r"HKCU\Control Panel\Colors"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
DESKTOP = (32, 160, 96)
FACE = (100, 150, 200)
TEXT = (128, 0, 64)
LABEL = (0, 0, 0)
SYSTEM_COLORS = {"ButtonFace": " ".join(map(str, FACE)), "ButtonText": " ".join(map(str, TEXT))}
TIP_CLASS = "TrelvikTip"


def helper(name: str) -> str:
    """A test program built next to Trelvik.exe."""
    return str(Path(trelvik_exe() or ".").parent / name)


def paint_desktop(session: TrelvikSession, colour: tuple[int, int, int]) -> None:
    """The root window's background shows wherever no window is (there is no desktop window on bare X)."""
    width, height = session.screen
    session.x("display", "-window", "root", "-size", f"{width}x{height}", "xc:#%02X%02X%02X" % colour, check=False)
    wait_until(lambda: session.screenshot().pixel(width - 1, height - 1) == colour, 5,
               message="the desktop colour was not applied")


def popups(session: TrelvikSession) -> list[WindowInfo]:
    """The program's mapped windows without a title: its open menus."""
    tree = session.window_tree()
    wids = re.findall(r'^\s+(0x[0-9a-f]+) \(has no name\): \("trelvik\.exe"', tree, re.M | re.I)
    infos = (session.window_info(int(wid, 16)) for wid in wids)
    return [info for info in infos if info and info.mapped]


def clipboard_text(session: TrelvikSession) -> str:
    return session.x("xclip", "-selection", "clipboard", "-o", check=False).stdout.decode("utf-8", "replace")


class KeyboardTest(TrelvikTestCase):
    """One program run; each step starts where the previous one left the ruler."""

    def setUp(self):
        self.session = self.new_session()
        self.proc = self.start_trelvik(self.session, {**LATER_RUN, "Left": "200", "Top": "150", "XSize": "430",
                                                      "YSize": "330"})
        self.ruler = self.wait_for_ruler(self.session)
        self.assertEqual(self.ruler.rect, (200, 150, 430, 330))
        # A click on the top bar gives the ruler the keyboard (pressed and released in place: no move).
        self.session.raise_window(self.ruler.wid)
        self.session.click(self.ruler.x + 200, self.ruler.y + 20)
        holds_for(lambda: self.session.window_info(self.ruler.wid).rect == self.ruler.rect, 0.3,
                  message="a click on the bar moved the ruler")

    def key(self, *keys: str) -> None:
        self.session.x("xdotool", "key", "--delay", "40", *keys)

    def test_arrows_move_ctrl_arrows_resize_and_ctrl_c_copies_the_readout(self):
        steps = [
            ("Right moves the ruler 1 pixel right", "Right", (201, 150, 430, 330)),
            ("Shift+Right moves it 10", "shift+Right", (211, 150, 430, 330)),
            ("Down moves it 1 down", "Down", (211, 151, 430, 330)),
            ("Shift+Left moves it 10 back", "shift+Left", (201, 151, 430, 330)),
            ("Ctrl+Right widens it by 1", "ctrl+Right", (201, 151, 431, 330)),
            ("Ctrl+Shift+Down makes it 10 higher", "ctrl+shift+Down", (201, 151, 431, 340)),
        ]
        for what, key, expected in steps:
            with self.subTest(what):
                self.key(key)
                self.session.wait_for_geometry(self.ruler.wid, expected)

        with self.subTest("Ctrl+C puts the readout on the clipboard as text"):
            self.key("ctrl+c")
            wait_until(lambda: clipboard_text(self.session) == "391.00x300.00 px", 5,
                       message=f"the clipboard holds {clipboard_text(self.session)!r}")
        self.assert_running(self.proc)

    def test_menu_keys_open_the_tray_menu_at_the_rulers_corner(self):
        for key in ("Menu", "shift+F10"):
            with self.subTest(key):
                self.session.raise_window(self.ruler.wid)
                self.session.click(self.ruler.x + 200, self.ruler.y + 20)
                self.key(key)
                menu = wait_until(lambda: popups(self.session), 5, message=f"{key} opened no menu")[0]
                # At the ruler's top-left corner (the menu's frame may sit a pixel or two off it).
                self.assertLessEqual(abs(menu.x - self.ruler.x), 3, menu)
                self.assertLessEqual(abs(menu.y - self.ruler.y), 3, menu)
                self.session.x("xdotool", "windowfocus", str(menu.wid))
                self.key("Escape")
                wait_until(lambda: not popups(self.session), 5, message="the menu stayed open")
        self.assert_running(self.proc)


class ReachableTest(TrelvikTestCase):
    def test_a_stored_place_off_the_screen_comes_back_with_the_top_bar_in_view(self):
        session = self.new_session()
        for left, top, expected in [("5000", "100", (850, 100, 430, 330)),
                                    ("1270", "1000", (850, 694, 430, 330))]:
            with self.subTest(Left=left, Top=top):
                proc = self.start_trelvik(session, {**LATER_RUN, "Left": left, "Top": top, "XSize": "430",
                                                    "YSize": "330"})
                ruler = self.wait_for_ruler(session)
                self.assertEqual(ruler.rect, expected)
                # The top bar, from the bars' corner to the far end, lies wholly on the screen.
                self.assertTrue(0 <= ruler.x + 40 and ruler.right <= SCREEN[0] and 0 <= ruler.y
                                and ruler.y + 40 <= SCREEN[1], ruler)
                self.stop_trelvik(session, proc)
                stored = session.reg_values()
                self.assertEqual((stored.get("Left"), stored.get("Top")), tuple(map(str, expected[:2])),
                                 "the corrected place is stored at exit")

    def test_a_huge_stored_size_starts_as_quickly_as_the_default_and_fits_the_screen(self):
        session = self.new_session()
        timings = {}
        for name, size in [("default", None), ("20000", "20000"), ("32767", "32767")]:
            with self.subTest(size=name):
                session.kill_programs()
                session.reg_set_many({**LATER_RUN, "Left": "0", "Top": "0", "XSize": size, "YSize": size})
                started = time.monotonic()
                proc = session.start_program()
                ruler = self.wait_for_ruler(session, timeout=30)
                timings[name] = time.monotonic() - started
                self.assertLessEqual(ruler.width, SCREEN[0])
                self.assertLessEqual(ruler.height, SCREEN[1])
                if size:
                    self.assertEqual(ruler.rect, (0, 0) + SCREEN)
                self.assert_running(proc)
                self.stop_trelvik(session, proc)
        # Was 8 s for 20000 x 20000; the default start takes about a second here. Generous, for a busy machine.
        for name in ("20000", "32767"):
            self.assertLess(timings[name], 2 * timings["default"] + 1.5, timings)


class HighDpiTest(TrelvikTestCase):
    """Wine's display resolution set to 144 dots per inch (150 percent) before the program starts."""

    W, H = 430, 330
    BAR = 60

    def setUp(self):
        self.session = self.new_session()
        paint_desktop(self.session, DESKTOP)
        self.session.reg_set_many(SYSTEM_COLORS, key=COLORS_KEY)
        result = self.session.wine("reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.proc = self.start_trelvik(self.session, {**LATER_RUN, "Left": "200", "Top": "150",
                                                      "XSize": str(self.W), "YSize": str(self.H)})
        self.ruler = self.wait_for_ruler(self.session)
        self.assertEqual(self.ruler.rect, (200, 150, self.W, self.H), "a stored size loads as it is")
        self.session.raise_window(self.ruler.wid)
        self.shot = wait_until(self.drawn, 10, interval=0.1, message="the ruler was never drawn")

    def at(self, shot, x: int, y: int) -> tuple[int, int, int]:
        return shot.pixel(self.ruler.x + x, self.ruler.y + y)

    def drawn(self):
        """A screenshot once the ruler's picture is on screen (its end marks are at the far ends)."""
        shot = self.session.screenshot()
        return shot if self.at(shot, self.W - 3, 30) == TEXT and self.at(shot, 30, self.H - 3) == TEXT else None

    def test_bars_are_60_pixels_and_labels_keep_clear_of_the_ticks(self):
        shot = self.shot
        with self.subTest("both bars are 60 pixels thick, the inside cut out after them"):
            # Along lines clear of ticks and labels: 85 px is between the ticks at 80 and 90.
            top = [self.at(shot, 85, y) for y in range(self.BAR + 1)]
            left = [self.at(shot, x, 85) for x in range(self.BAR + 1)]
            for name, line in [("top", top), ("left", left)]:
                self.assertNotIn(DESKTOP, line[:self.BAR], f"{name} bar has holes: {line}")
                self.assertEqual(line[self.BAR], DESKTOP, f"{name} bar is thicker than 60 pixels")
                self.assertEqual(line[0], tuple(c + 51 for c in FACE), f"{name} bar's outer edge")

        with self.subTest("ticks every 10 pixels from 60, major ones 15 pixels long"):
            for p in (60, 160, 260):
                self.assertEqual([self.at(shot, p, y) == TEXT for y in range(44, 60)], [False] + [True] * 15, p)
                self.assertEqual([self.at(shot, x, p) == TEXT for x in range(44, 60)], [False] + [True] * 15, p)
            for p in (70, 80, 170):
                self.assertEqual([self.at(shot, p, y) == TEXT for y in range(56, 60)], [False, True, True, True], p)

        with self.subTest("no label pixel touches a tick"):
            end_marks = 10  # the double end marks near each far end are not ticks
            touching = []
            labels = 0
            for y in range(self.H - end_marks):
                for x in range(self.W - end_marks):
                    if not (x < self.BAR or y < self.BAR) or self.at(shot, x, y) != LABEL:
                        continue
                    labels += 1
                    near = {self.at(shot, x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)}
                    if TEXT in near:
                        touching.append((x, y))
            self.assertGreater(labels, 100, "no labels drawn")
            self.assertEqual(touching, [])

    def test_the_readout_of_a_430_by_330_ruler_reads_370_by_270_pixels(self):
        expected = "370.00x270.00 px"
        with self.subTest("the text the ruler drew, copied with Ctrl+C"):
            self.session.click(self.ruler.x + 200, self.ruler.y + 20)
            self.session.x("xdotool", "key", "ctrl+c")
            wait_until(lambda: clipboard_text(self.session) == expected, 5,
                       message=f"the clipboard holds {clipboard_text(self.session)!r}")

        with self.subTest("the ball's tip measures the same"):
            # The ball at 144 dots per inch: 23 pixels at client (29, 29).
            ball = (self.ruler.x + 40, self.ruler.y + 40)
            r, g, b = self.at(self.shot, 40, 40)
            self.assertTrue(r > 150 and g < 80 and b < 80, f"no red ball at client (40, 40): {(r, g, b)}")
            self.session.x("xdotool", "mousemove", str(ball[0] - 3), str(ball[1]), "sleep", "0.05", "mousemove",
                           *map(str, ball))

            def tip():
                out = self.session.wine(helper("WindowText.exe"), TIP_CLASS, timeout=30).stdout.decode()
                return out.partition("|")[2].strip()
            text = wait_until(tip, 5, message="no tip over the ball")
            self.assertEqual(text, r"Drag to any window to measure it!\r\nCurrent size: " + expected)

        with self.subTest("its glyphs sit right- and bottom-aligned at the scaled margins, 1.5 times as large"):
            glyphs = [(x, y) for y in range(self.BAR, self.H - 1) for x in range(self.BAR, self.W - 1)
                      if self.at(self.shot, x, y) == TEXT]
            self.assertTrue(glyphs, "no readout")
            xs, ys = [x for x, _ in glyphs], [y for _, y in glyphs]
            left, top, right, bottom = min(xs), min(ys), max(xs) + 1, max(ys) + 1
            # Margins of 6 and 3 pixels (4 and 2 at 96 dots per inch).
            self.assertTrue(6 <= self.W - right <= 10, (left, top, right, bottom))
            self.assertTrue(3 <= self.H - bottom <= 8, (left, top, right, bottom))
            # "390.00x290.00 px" is about 85 pixels wide and 9 high at 96 dots per inch.
            self.assertTrue(110 <= right - left <= 150, f"readout {right - left} pixels wide")
            self.assertTrue(11 <= bottom - top <= 22, f"readout {bottom - top} pixels high")
        self.assert_running(self.proc)


if __name__ == "__main__":
    unittest.main()
