"""Fitting the ruler onto another program's window with the red ball, as a user does it on a 1280x1024
screen: the tip over the ball, the red and yellow ring that follows the window under the cursor, the fit
on release, and the drags that must change nothing."""

import subprocess
import time
import unittest
from pathlib import Path

from trelvik_e2e import RULER_WINDOW_TITLE, TrelvikSession, TrelvikTestCase, holds_for, trelvik_exe, wait_until

# Not a first run (no help window over the ruler), the ruler at (700, 500), 430 x 330.
SETTINGS = {"FirstTime": "1", "ShowRuler": "1", "Left": "700", "Top": "500", "XSize": "430", "YSize": "330"}
RULER = (700, 500, 430, 330)
BALL = (727, 527)  # the ball's centre: client (20, 20) of the ruler plus half of its 15 pixels
TARGET = (100, 150, 400, 260)  # tests/e2e/MeasureTarget.cpp: its window ...
BUTTON = (400, 370, 80, 24)  # ... and its push button, in screen pixels
OUTLINE_TITLE = "Trelvik outline"
TIP_CLASS = "TrelvikTip"
RED, YELLOW = (255, 0, 0), (255, 255, 0)


def helper(name: str) -> str:
    """A test program built next to Trelvik.exe."""
    return str(Path(trelvik_exe() or ".").parent / name)


def fitted(rect: tuple[int, int, int, int]) -> tuple[int, int, int, int]:
    """The ruler fitted onto a window: its bars outside the window, its far ends on the window's."""
    x, y, w, h = rect
    return (x - 40, y - 40, w + 40, h + 40)


class MeasuringTest(TrelvikTestCase):
    def setUp(self):
        self.session = self.new_session()
        self.proc = self.start_trelvik(self.session, SETTINGS)
        self.ruler = self.wait_for_ruler(self.session)
        self.assertEqual(self.ruler.rect, RULER)
        self.session.start_program(helper("MeasureTarget.exe"))
        target = self.session.wait_for_window("Measure me")
        self.assertEqual(target.rect, TARGET)

    def xdo(self, *args: str) -> None:
        self.session.x("xdotool", *args)

    def ball(self) -> tuple[int, int]:
        """The ball's centre where the ruler is now."""
        ruler = self.session.window_info(self.ruler.wid)
        return (ruler.x + BALL[0] - RULER[0], ruler.y + BALL[1] - RULER[1])

    def press_ball_and_move_to(self, *points: tuple[int, int]) -> None:
        """Presses the left button on the ball and moves it through the points in small steps; the
        button stays down."""
        self.session.raise_window(self.ruler.wid)
        x0, y0 = self.ball()
        args = ["mousemove", str(x0), str(y0), "sleep", "0.1", "mousedown", "1"]
        for x1, y1 in points:
            for i in range(1, 9):
                args += ["sleep", "0.02", "mousemove", str(x0 + (x1 - x0) * i // 8), str(y0 + (y1 - y0) * i // 8)]
            x0, y0 = x1, y1
        self.xdo(*args, "sleep", "0.2")

    def move_ruler_away(self) -> None:
        """Drags the fitted ruler by its top bar to the lower right of the screen."""
        self.session.raise_window(self.ruler.wid)
        self.session.drag((200, 130), (900, 700), hold=0.2)
        wait_until(lambda: self.session.window_info(self.ruler.wid).x > 500, 5, message="the ruler did not move")

    def release(self) -> None:
        self.xdo("mouseup", "1")

    def outline(self):
        shown = self.session.mapped_windows(OUTLINE_TITLE)
        return shown[0] if shown else None

    def ruler_rect(self, expected: tuple[int, int, int, int]) -> None:
        self.session.wait_for_geometry(self.ruler.wid, expected)

    def tips(self) -> list[tuple[tuple[int, int, int, int], str]]:
        """The visible tip windows: their rectangle and the text they carry."""
        result = self.session.wine(helper("WindowText.exe"), TIP_CLASS, timeout=30)
        tips = []
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            geometry, _, text = line.partition("|")
            tips.append((tuple(int(v) for v in geometry.split()), text))
        return tips

    def test_the_ball_shows_its_tip_after_a_pause_and_hides_it_on_a_move(self):
        self.session.raise_window(self.ruler.wid)
        self.xdo("mousemove", str(BALL[0] - 3), str(BALL[1]), "sleep", "0.05", "mousemove", *map(str, BALL))
        shown = wait_until(self.tips, 3, message="no tip over the ball")
        (x, y, _, _), text = shown[0]
        self.assertEqual(text, r"Drag to any window to measure it!\r\nCurrent size: 390.00x290.00 px")
        self.assertEqual((x, y), (BALL[0] + 1, BALL[1] + 15), "1 px right of and 15 px below the cursor")

        self.xdo("mousemove", "900", "900")
        wait_until(lambda: not self.tips(), 1, message="the tip stayed after the mouse moved")

        # Resting on the ball again: the tip comes back and goes by itself after 3 s.
        self.xdo("mousemove", str(BALL[0] + 1), str(BALL[1] + 1))
        wait_until(self.tips, 3, message="no tip the second time")
        started = time.monotonic()
        wait_until(lambda: not self.tips(), 6, message="the tip stayed longer than its display time")
        self.assertGreater(time.monotonic() - started, 1.5, "the tip went too early")

    def test_dragging_the_ball_outlines_the_window_and_releasing_fits_the_ruler(self):
        self.press_ball_and_move_to((300, 280))
        ring = wait_until(self.outline, 3, message="no outline during the drag")
        self.assertEqual(ring.rect, TARGET)
        shot = self.session.screenshot()
        x, y, w, h = TARGET
        for px, py in [(x, y), (x + w - 1, y + 100), (x + 200, y + h - 1)]:
            self.assertEqual(shot.pixel(px, py), RED, f"outer pixel ({px}, {py})")
        for px, py in [(x + 1, y + 1), (x + w - 2, y + 100), (x + 200, y + h - 2)]:
            self.assertEqual(shot.pixel(px, py), YELLOW, f"inner pixel ({px}, {py})")
        self.assertEqual(shot.pixel(x + 200, y + 100), (255, 255, 255), "the window shows through the ring")
        self.release()

        self.ruler_rect(fitted(TARGET))
        wait_until(lambda: self.outline() is None, 3, message="the outline stayed after the release")

        # Moved away by its bar and dragged straight back onto the same window: fitted again.
        self.move_ruler_away()
        self.press_ball_and_move_to((300, 280))
        wait_until(self.outline, 3, message="no outline when going straight back to the window")
        self.release()
        self.ruler_rect(fitted(TARGET))

        # Onto the push button inside it: the button is measured, not its window.
        self.move_ruler_away()
        self.press_ball_and_move_to((300, 280), (440, 382))
        wait_until(lambda: (o := self.outline()) and o.rect == BUTTON, 3, message="the button was not outlined")
        self.release()
        self.ruler_rect(fitted(BUTTON))
        self.assert_running(self.proc)

    def test_releasing_over_the_ruler_itself_or_right_clicking_the_ball_changes_nothing(self):
        self.press_ball_and_move_to((900, 520), (720, 520), (720, 700))  # along its own bars only
        self.assertIsNone(self.outline())
        self.release()
        holds_for(lambda: self.session.window_info(self.ruler.wid).rect == RULER, 0.5,
                  message="a drag over the ruler itself moved it")

        self.session.click(*BALL, button=3)
        popups = lambda: [l for l in self.session.window_tree().splitlines()
                          if "(has no name)" in l and "trelvik" in l.lower()
                          and "IsViewable" in self.session.x("xwininfo", "-id", l.split()[0], check=False).stdout.decode()]
        holds_for(lambda: not popups(), 1.0, message="a right click on the ball opened a menu")
        self.assertEqual(self.session.window_info(self.ruler.wid).rect, RULER)
        self.assert_running(self.proc)


if __name__ == "__main__":
    unittest.main()
