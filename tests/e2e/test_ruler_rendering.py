"""What the user sees of the ruler and where it takes the mouse: the two gradient bars with their scales,
the size readout, the L-shaped window with everything else cut out so that the desktop shows through,
and clicks in the cut-out going to the window below.

The desktop is painted a colour no part of the ruler uses, and the system colours are set to unusual
values before the program starts, so every pixel of a screenshot can be told apart: desktop, bar face,
gradient, button text (ticks and readout) or black (the scale labels, which keep the canvas's initial
text colour whatever the system colours are)."""

import re
import subprocess
import tempfile
import unittest
from pathlib import Path
from typing import Optional

from trelvik_e2e import Image, TrelvikSession, TrelvikTestCase, WindowInfo, wait_until

COLORS_KEY = r"HKCU\Control Panel\Colors"
DESKTOP = (32, 160, 96)
FACE = (100, 150, 200)
TEXT = (128, 0, 64)
LABEL = (0, 0, 0)
# The bars run from face + 51 at the outer edge to face - 17 at the inner one; FACE is chosen so that
# neither end clamps.
LIGHT = tuple(c + 51 for c in FACE)
DARK = tuple(c - 17 for c in FACE)
SYSTEM_COLORS = {"ButtonFace": " ".join(map(str, FACE)), "ButtonText": " ".join(map(str, TEXT))}

BAR = 40
RULER = {"FirstTime": "1", "Left": "200", "Top": "150", "XSize": "430", "YSize": "330"}
RULER_RECT = (200, 150, 430, 330)


def paint_desktop(session: TrelvikSession, colour: tuple[int, int, int]) -> None:
    """Sets the root window's background, which shows wherever no window is (there is no desktop window
    on bare X). ImageMagick's display exits with 1 even when it succeeded, so the screen is checked
    instead."""
    width, height = session.screen
    session.x("display", "-window", "root", "-size", f"{width}x{height}", "xc:#%02X%02X%02X" % colour,
              check=False)
    wait_until(lambda: session.screenshot().pixel(width - 1, height - 1) == colour, 5,
               message="the desktop colour was not applied")


class RulerShot:
    """A screenshot seen from the ruler's upper-left corner."""

    def __init__(self, image: Image, ruler: WindowInfo):
        self.image = image
        self.ruler = ruler
        self.w = ruler.width
        self.h = ruler.height

    def at(self, x: int, y: int) -> tuple[int, int, int]:
        return self.image.pixel(self.ruler.x + x, self.ruler.y + y)

    def points(self, box: tuple[int, int, int, int], colour: tuple[int, int, int]) -> list[tuple[int, int]]:
        """Points of the colour in the box (left, top, right, bottom; right and bottom exclusive)."""
        left, top, right, bottom = box
        return [(x, y) for y in range(top, bottom) for x in range(left, right) if self.at(x, y) == colour]

    def colours(self, box: tuple[int, int, int, int]) -> set[tuple[int, int, int]]:
        left, top, right, bottom = box
        return {self.at(x, y) for y in range(top, bottom) for x in range(left, right)}

    @property
    def inside(self) -> tuple[int, int, int, int]:
        """The inner area without the dashed far edges."""
        return (BAR, BAR, self.w - 1, self.h - 1)

    def readout_box(self) -> Optional[tuple[int, int, int, int]]:
        """Bounding box of the readout's glyph pixels, or None when nothing is drawn inside."""
        glyphs = self.points(self.inside, TEXT)
        if not glyphs:
            return None
        xs = [x for x, _ in glyphs]
        ys = [y for _, y in glyphs]
        return (min(xs), min(ys), max(xs) + 1, max(ys) + 1)

    def inner_corner(self, width: int, height: int) -> list[tuple[int, int, int]]:
        """The pixels of the inner area's lower-right corner, up to but not including the dashed edges,
        whose dash pattern depends on the size."""
        left, top = self.w - 1 - width, self.h - 1 - height
        return [self.at(left + x, top + y) for y in range(height) for x in range(width)]


def runs(pixels: list[tuple[int, int, int]]) -> int:
    """Number of runs of equal neighbouring pixels."""
    return 1 + sum(1 for a, b in zip(pixels, pixels[1:]) if a != b) if pixels else 0


def end_marks_drawn(shot: RulerShot) -> bool:
    """Whether the picture of the window's current size is on screen (the end marks sit at its far ends);
    the window shows its whole picture at once, so the checks need not wait for anything else."""
    return shot.at(shot.w - 2, 20) == TEXT and shot.at(20, shot.h - 2) == TEXT


class RulerPictureTest(TrelvikTestCase):
    def shot_when(self, session: TrelvikSession, ruler: WindowInfo, ready, what: str) -> RulerShot:
        """Screenshots until ready(shot) holds: the picture is painted after the window shows or resizes."""
        def take():
            shot = RulerShot(session.screenshot(), session.window_info(ruler.wid))
            return shot if ready(shot) else None
        return wait_until(take, 10, interval=0.1, message=f"the ruler never showed {what}")

    def assert_shaped_with_readout(self, shot: RulerShot) -> tuple[int, int, int, int]:
        """The inner area shows the desktop except for the readout, which is glyph pixels in the text colour
        (no box behind them), right- and bottom-aligned near the far corner. Returns the readout's box."""
        box = shot.readout_box()
        self.assertIsNotNone(box, "no readout in the inner area")
        left, top, right, bottom = box
        # "390.00x290.00 px" and the like in the 8-point face: about 85 pixels wide, one line high.
        self.assertTrue(75 <= right - left <= 105, f"readout {right - left} pixels wide, box {box}")
        self.assertTrue(8 <= bottom - top <= 16, f"readout {bottom - top} pixels high, box {box}")
        # Drawn into (4, 2, W - 4, H - 2), right- and bottom-aligned.
        self.assertTrue(4 <= shot.w - right <= 8, f"readout ends {shot.w - right} pixels from the right, box {box}")
        self.assertTrue(2 <= shot.h - bottom <= 8, f"readout ends {shot.h - bottom} pixels from the bottom, box {box}")
        self.assertEqual(shot.colours(box) - {DESKTOP, TEXT}, set(), "the readout has a background")
        ix0, iy0, ix1, iy1 = shot.inside
        elsewhere = {shot.at(x, y) for y in range(iy0, iy1) for x in range(ix0, ix1)
                     if not (left <= x < right and top <= y < bottom)}
        self.assertEqual(elsewhere, {DESKTOP}, "the inner area is not cut out of the window")
        return box

    def test_picture_shape_and_readout_before_and_after_a_resize(self):
        session = self.new_session()
        paint_desktop(session, DESKTOP)
        session.reg_set_many(SYSTEM_COLORS, key=COLORS_KEY)
        self.start_trelvik(session, RULER)
        ruler = self.wait_for_ruler(session)
        self.assertEqual(ruler.rect, RULER_RECT)
        session.raise_window(ruler.wid)
        shot = self.shot_when(session, ruler, end_marks_drawn, "a picture")
        w, h = shot.w, shot.h

        with self.subTest("both bars run from light at the outer edge to dark at the inner edge"):
            # Along a line clear of ticks and labels in each bar.
            for name, line in [("top bar", [shot.at(75, y) for y in range(BAR)]),
                               ("left bar", [shot.at(x, 75) for x in range(BAR)])]:
                self.assertEqual(line[0], LIGHT, name)
                for before, after in zip(line, line[1:]):
                    self.assertTrue(all(b >= a for b, a in zip(before, after)), f"{name} gets lighter: {line}")
                # The last row is a fortieth of the way short of the dark end.
                self.assertTrue(all(0 <= c - d <= 3 for c, d in zip(line[-1], DARK)), f"{name} ends at {line[-1]}")

        with self.subTest("ticks every 10 pixels from 40: major, medium and minor lengths, in the text colour"):
            wrong = []
            for p in range(BAR, max(w, h) - 8, 10):
                start = {0: 30, 50: 33}.get((p - BAR) % 100, 38)
                for bar, length, pixel in [("top", w, lambda across, along: shot.at(along, across)),
                                           ("left", h, lambda across, along: shot.at(across, along))]:
                    if p >= length - 8:
                        continue
                    drawn = [pixel(across, p) == TEXT for across in range(start - 1, BAR)]
                    if drawn != [False] + [True] * (BAR - start) or pixel(BAR - 1, p + 5) == TEXT:
                        wrong.append((bar, p))
            self.assertEqual(wrong, [], "ticks missing, of the wrong length or with neighbours")

        with self.subTest("end marks: double lines 2 and 4 pixels before each bar's end"):
            self.assertEqual({shot.at(x, y) for x in (w - 2, w - 4) for y in range(10, 30)}, {TEXT})
            self.assertEqual({shot.at(x, y) for y in (h - 2, h - 4) for x in range(10, 30)}, {TEXT})
            self.assertNotEqual(shot.at(w - 3, 20), TEXT)
            self.assertNotEqual(shot.at(20, h - 3), TEXT)

        with self.subTest("labels in black 3 pixels right of their tick (top) and on their tick (left)"):
            for value in (0, 100, 200, 300):
                box = (BAR + value, 8, BAR + value + 30, 30)
                black = shot.points(box, LABEL)
                self.assertTrue(black, f"no label {value} in the top bar")
                self.assertGreaterEqual(min(x for x, _ in black), BAR + value + 3, f"label {value} starts too far left")
                self.assertLessEqual(min(x for x, _ in black), BAR + value + 5, f"label {value} starts too far right")
                self.assertGreaterEqual(min(y for _, y in black), 15, f"label {value} is above row 15")
                self.assertNotIn(TEXT, shot.colours(box), f"label {value} in the text colour")
            for value in (0, 100, 200):
                box = (0, BAR + value - 6, 30, BAR + value + 16)
                black = shot.points(box, LABEL)
                self.assertTrue(black, f"no label {value} in the left bar")
                self.assertTrue(5 <= min(x for x, _ in black) <= 7, f"label {value} does not start at column 5")
                self.assertTrue(BAR + value <= min(y for _, y in black) <= BAR + value + 4,
                                f"label {value} does not hang from its tick")
                self.assertNotIn(TEXT, shot.colours(box), f"label {value} in the text colour")

        with self.subTest("the corner square: upper-left half cut out, lower-right half flat face colour"):
            # The red ball's 15 x 15 square at (20, 20) lies in the kept half.
            def on_ball(x, y):
                return 20 <= x < 35 and 20 <= y < 35
            cut = {shot.at(x, y) for y in range(BAR) for x in range(BAR) if x + y <= BAR - 3}
            kept = {shot.at(x, y) for y in range(BAR) for x in range(BAR) if x + y >= BAR + 2 and not on_ball(x, y)}
            self.assertEqual(cut, {DESKTOP})
            self.assertEqual(kept, {FACE})
            r, g, b = shot.at(27, 27)
            self.assertTrue(r > 150 and g < 80 and b < 80, f"the ball's centre is not red: {(r, g, b)}")
            self.assertEqual({shot.at(34, 34), shot.at(34, 20), shot.at(20, 34)}, {FACE},
                             "the ball's square corners are the ruler's face, not the ball's key colour")

        with self.subTest("the far edges are dash-dot-dot lines with the desktop between the dashes"):
            for name, line in [("bottom", [shot.at(x, h - 1) for x in range(BAR, w)]),
                               ("right", [shot.at(w - 1, y) for y in range(BAR, h)])]:
                self.assertEqual(set(line), {FACE, DESKTOP}, name)
                self.assertGreater(runs(line), 40, f"{name} edge is not dashed")

        before = shot.readout_box()
        with self.subTest("the readout is the only thing inside; the rest is cut out"):
            self.assert_shaped_with_readout(shot)

        # Narrow the ruler by its right sizing zone: the readout follows the new right edge with a new text.
        session.raise_window(ruler.wid)
        grab = (ruler.right - 2, ruler.y + 20)
        session.drag(grab, (grab[0] - 100, grab[1]))
        ruler = session.wait_for_geometry(ruler.wid, (ruler.x, ruler.y, w - 100, h))
        # Until the picture is redrawn the window shows the old one clipped, without end marks.
        resized = self.shot_when(session, ruler, end_marks_drawn, "a picture of the new width")
        with self.subTest("after the resize the ruler is still shaped and the readout moved with the edge"):
            after = self.assert_shaped_with_readout(resized)
            self.assertIsNotNone(before, "no readout before the resize")
            self.assertEqual(w - before[2], resized.w - after[2], "the readout keeps its distance from the edge")
        with self.subTest("the readout text changed with the width"):
            self.assertIsNotNone(before, "no readout before the resize")
            width, height = w - before[0] + 2, h - before[1] + 2
            self.assertTrue(shot.inner_corner(width, height) != resized.inner_corner(width, height),
                            "the readout looks the same at both widths")


class ClickThroughTest(TrelvikTestCase):
    """A plain X window below the ruler records the clicks it gets, so a click in the cut-out is seen to
    arrive there rather than just not at the ruler."""

    POINTS = [
        # (where, ruler-relative point, whether the click goes through to the window below)
        ("the inner area", (200, 150), True),
        ("the upper-left half of the corner square", (5, 5), True),
        ("next to the readout", (250, 320), True),
        ("the top bar", (200, 20), False),
        ("the left bar", (20, 200), False),
        ("the lower-right half of the corner square", (35, 35), False),
    ]

    def pointer_window(self, session: TrelvikSession, x: int, y: int) -> int:
        """The top-level window xdotool finds under the pointer (0 for a window without WM_STATE, such as
        the probe's)."""
        out = session.x("xdotool", "mousemove", str(x), str(y), "getmouselocation", "--shell").stdout.decode()
        return int(re.search(r"^WINDOW=(\d+)$", out, re.M).group(1))

    def test_clicks_in_the_cut_out_reach_the_window_below(self):
        session = self.new_session()
        self.start_trelvik(session, RULER)
        ruler = self.wait_for_ruler(session)

        scratch = tempfile.TemporaryDirectory(prefix="trelvik-probe-")
        self.addCleanup(scratch.cleanup)
        log = Path(scratch.name) / "events.txt"
        margin = 50
        with open(log, "w") as out:
            probe = subprocess.Popen(
                ["xev", "-event", "button", "-bw", "0", "-name", "Trelvik probe",
                 "-geometry", f"{ruler.width + 2 * margin}x{ruler.height + 2 * margin}"
                              f"+{ruler.x - margin}+{ruler.y - margin}"],
                env=session.env, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: (probe.kill(), probe.wait(10)))
        session.wait_for_window("Trelvik probe")
        session.raise_window(ruler.wid)
        top_bar = (ruler.x + 200, ruler.y + 20)
        wait_until(lambda: self.pointer_window(session, *top_bar) == ruler.wid, 5,
                   message="the ruler did not come above the probe window")

        for where, (x, y), through in self.POINTS:
            with self.subTest(f"the pointer over {where}"):
                below = self.pointer_window(session, ruler.x + x, ruler.y + y)
                (self.assertNotEqual if through else self.assertEqual)(below, ruler.wid)

        # X delivers events in order: once the last click shows up at the probe, every earlier click that
        # went there has shown up too.
        for _, (x, y), _ in self.POINTS:
            session.click(ruler.x + x, ruler.y + y)
        last = (ruler.x + 300, ruler.y + 200)
        session.click(*last)

        def presses():
            found = re.findall(r"ButtonPress event.*?root:\((-?\d+),(-?\d+)\)", log.read_text(), re.S)
            return [(int(x), int(y)) for x, y in found]
        wait_until(lambda: last in presses(), 5, message="the click in the inner area did not reach the window below")
        for where, (x, y), through in self.POINTS:
            with self.subTest(f"a click on {where}"):
                self.assertEqual((ruler.x + x, ruler.y + y) in presses(), through)
        self.assertEqual(session.window_info(ruler.wid).rect, ruler.rect, "clicking moved or resized the ruler")


if __name__ == "__main__":
    unittest.main()
