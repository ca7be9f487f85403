"""Two hundred random user operations in one run of the program, then Exit.

The operations are those a user repeats all day: moving the ruler (dragging a bar, or the arrow keys),
resizing it (dragging a far end, or Ctrl+arrows), changing the unit, making it transparent or not,
showing and hiding it, capturing the screen, the preset sizes, About and Help. Each is done by a path
drawn at random among those a user has at that moment: the icon's clicks, the menu opened from the icon,
from the ruler with the right button or from the keyboard (Shift+F10, the context-menu key), items chosen
by arrow keys or by their access keys, dialogs closed with their buttons, their title bar or the keys.

After every step the program must answer a window-text request from another process within a few
seconds (tests/e2e/WindowText.exe: the request crosses processes, so the one GUI thread has to take it),
and what can be seen cheaply must match a model of the expected state: the ruler's place, size and
visibility (as the window system and the X server report them), its opacity, no menu or dialog left
open, and after the keyboard steps the readout the ruler copies (its size in the current unit). At the
end Exit must end the program with code 0, take the icon away and leave the model's last state in the
registry.

The sequence comes from a random generator started from a run number: the number is printed first, and
TRELVIK_STRESS_RUN=<number> replays a run (TRELVIK_STRESS_STEPS=<n> stops it after n steps). Every step is printed before it runs,
and a failure names its number, the operation and what was expected and seen.

Why some paths are taken only sometimes: mouse clicks reach the window that is topmost for the window
system, not for the X server. Where the ruler's bars (always on top) lie over the icon or over a
dialog's button, the user would hit the ruler, so the icon is not used then and the dialog is closed
from the keyboard instead.
"""

import os
import random
import struct
import subprocess
import time
import unittest
from dataclasses import dataclass, replace
from typing import Callable, Optional

from test_help_and_about import ABOUT_CLASS, HELP_CLASS, HelpAndAboutTestCase
from test_tray_and_commands import (ABOUT, ABOUT_TITLE, CAPTURE, CLICK_GAP, EXIT, HELP, LATER_RUN,
                                    MESSAGE_TITLE, OPACITY_TRANSPARENT, SHOW_HIDE, TRAY_TITLE, TrayUser,
                                    advanced_item, command_line, size_item)
from trelvik_e2e import MAIN_WINDOW_TITLE, RULER_WINDOW_TITLE, WaitTimeout, wait_until

DEFAULT_RUN = 1111
RUN_VARIABLE = "TRELVIK_STRESS_RUN"
STEPS_VARIABLE = "TRELVIK_STRESS_STEPS"
STEPS = 200

RULER_CLASS = "TrelvikRuler"
MESSAGE_CLASS = "#32770"
# Seconds within which the program must answer another program's request, however loaded the machine.
RESPONSE_TIMEOUT = 10.0
CLIPBOARD_TIMEOUT = 3.0
BAR = 40
SIZING_ZONE = 5  # the last pixels of each bar resize instead of moving
START = {**LATER_RUN, "ShowRuler": "1", "Left": "200", "Top": "150", "XSize": "430", "YSize": "330", "Transp": "1"}

UNITS = {"pt": 72.0, "px": None, "in": 1.0, "cm": 2.54, "mm": 25.4}  # units per inch
UNIT_ITEMS = {"pt": 4, "px": 5, "in": 6, "cm": 7, "mm": 8}  # places in "Advanced..."
PRESETS = [(320, 200), (640, 480), (800, 600), (1024, 768), (1280, 1024)]
# Sizes a drag aims at (least and most width, least and most height), and the most that the keys may reach.
SIZES = (120, 1000, 120, 900)
LARGEST = (1400, 1100)
ARROWS = {"Left": (-1, 0), "Right": (1, 0), "Up": (0, -1), "Down": (0, 1)}

Point = tuple[int, int]
Rect = tuple[int, int, int, int]  # left, top, width, height


def single(value: float) -> float:
    """The value in single precision, as the program computes its readout."""
    return struct.unpack("f", struct.pack("f", value))[0]


def readout(width: int, height: int, unit: str) -> str:
    """The readout of a ruler of that window size at 96 dots per inch: each side less the bar, converted."""
    per_inch = UNITS[unit]

    def side(pixels: int) -> str:
        return f"{single(pixels if per_inch is None else pixels * per_inch / 96):.2f}"
    return f"{side(width - BAR)}x{side(height - BAR)} {unit}"


def overlaps(a: Rect, b: Rect) -> bool:
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


@dataclass(frozen=True)
class Ruler:
    """What the ruler should be after a step."""

    x: int
    y: int
    width: int
    height: int
    shown: bool = True
    unit: str = "px"
    transparent: bool = True

    @property
    def rect(self) -> Rect:
        return (self.x, self.y, self.width, self.height)

    def bars(self) -> list[Rect]:
        return [(self.x, self.y, self.width, BAR), (self.x, self.y, BAR, self.height)]

    def covers(self, area: Rect) -> bool:
        """Whether the shown ruler's bars lie over some of the area (its inside is cut out)."""
        return self.shown and any(overlaps(bar, area) for bar in self.bars())

    def stored(self) -> dict[str, str]:
        return {"FirstTime": "1", "Left": str(self.x), "Top": str(self.y), "XSize": str(self.width),
                "YSize": str(self.height), "ShowRuler": "1" if self.shown else "0",
                "Transp": "1" if self.transparent else "0"}


@dataclass
class Step:
    description: str
    run: Callable[[], None]


class StressTest(HelpAndAboutTestCase):
    def test_random_operations_keep_the_program_responsive_and_exit_stores_the_last_state(self):
        run = int(os.environ.get(RUN_VARIABLE, DEFAULT_RUN))
        steps = int(os.environ.get(STEPS_VARIABLE, STEPS))
        print(f"\nrun {run} (replay with {RUN_VARIABLE}={run})", flush=True)
        self.rng = random.Random(run)
        self.session = self.new_session()
        self.user = TrayUser(self.session)
        self.screen = self.session.screen
        self.proc = self.start_trelvik(self.session, START)
        self.wid = self.wait_for_ruler(self.session).wid
        self.tray = wait_until(lambda: self.session.mapped_windows(TRAY_TITLE), 10, message="no tray").pop().rect
        wait_until(lambda: self.icon_shown(self.session), 10, message="no icon in the tray")
        self.model = Ruler(200, 150, 430, 330)
        self.check(self.model)

        started = time.monotonic()
        for number in range(1, steps + 1):
            step = self.plan()
            print(f"step {number}: {step.description}", flush=True)
            before = self.model
            try:
                step.run()
                self.check(self.model)
            except (AssertionError, subprocess.TimeoutExpired) as error:
                self.fail(f"run {run}, step {number} ({step.description}), from {before}: {error}")
        print(f"{steps} steps in {time.monotonic() - started:.0f} s", flush=True)

        self.exit_and_check_stored_state()

    # ---- the plan: what a user does next, among what the state allows ---------------------------

    def plan(self) -> Step:
        kinds = {"move": 3, "resize": 3, "unit": 2, "transparency": 1, "show/hide": 1, "capture": 1,
                 "preset": 1, "about": 1, "help": 1}
        if not self.model.shown:
            # Mostly shown again soon: a hidden ruler leaves the user little to do.
            del kinds["move"], kinds["resize"]
            kinds["show/hide"] = 4
        kind = self.rng.choices(list(kinds), weights=list(kinds.values()))[0]
        return getattr(self, "plan_" + kind.replace("/", "_"))()

    def icon_usable(self) -> bool:
        return not self.model.covers(self.tray)

    def menu_paths(self) -> list[str]:
        paths = ["icon"] if self.icon_usable() else []
        if self.model.shown:
            paths += ["ruler right click", "ruler Shift+F10", "ruler menu key"]
        return paths

    def menu_step(self, what: str, keys: list[str], then: Callable[[], None],
                  before: Callable[[], None] = lambda: None) -> Step:
        path = self.rng.choice(self.menu_paths())
        point = self.bar_point() if path.startswith("ruler") else None

        def run():
            before()
            self.choose(path, point, keys)
            then()
        return Step(f"{what} (menu from the {path}{f' at {point}' if point else ''})", run)

    def bar_point(self, bar: Optional[str] = None) -> Point:
        """A point on the shown ruler's top or left bar that the mouse can reach: on the screen, clear of the
        ball and of the sizing zones, not over the tray."""
        m = self.model
        for _ in range(100):
            if (bar or self.rng.choice(["top", "left"])) == "top":
                point = (m.x + self.rng.randint(50, m.width - 10), m.y + self.rng.randint(5, BAR - 5))
            else:
                point = (m.x + self.rng.randint(5, BAR - 5), m.y + self.rng.randint(50, m.height - 10))
            if self.on_screen(point) and not overlaps((*point, 1, 1), self.tray):
                return point
        raise AssertionError(f"the plan found no point of the ruler {m.rect} to take hold of")

    def on_screen(self, point: Point) -> bool:
        return 0 <= point[0] < self.screen[0] and 0 <= point[1] < self.screen[1]

    def sane(self, ruler: Ruler) -> bool:
        """Where moves and resizes may take the ruler: a good part of its top bar on the screen."""
        return (-100 <= ruler.x <= self.screen[0] - 150 and -30 <= ruler.y <= self.screen[1] - 100
                and SIZES[0] <= ruler.width <= LARGEST[0] and SIZES[2] <= ruler.height <= LARGEST[1])

    def plan_move(self) -> Step:
        m = self.model
        if self.rng.random() < 0.5:
            keys, target = self.arrow_keys(ctrl=False)
            return self.keys_step(f"move with {' '.join(keys)}", keys, target)
        target = replace(m, x=self.rng.randint(0, self.screen[0] - 200), y=self.rng.randint(50, self.screen[1] - 150))
        for _ in range(8):
            bar = self.rng.choice(["top", "left"])
            dx, dy = target.x - m.x, target.y - m.y
            for _ in range(30):
                start = self.bar_point(bar)
                if self.on_screen((start[0] + dx, start[1] + dy)):
                    end = (start[0] + dx, start[1] + dy)
                    return self.drag_step(f"move: drag the {bar} bar from {start} to {end}", start, end, target)
            target = replace(target, x=(m.x + target.x) // 2, y=(m.y + target.y) // 2)
        keys, target = self.arrow_keys(ctrl=False)  # no bar to take hold of that reaches it
        return self.keys_step(f"move with {' '.join(keys)}", keys, target)

    def plan_resize(self) -> Step:
        m = self.model
        if self.rng.random() < 0.5:
            keys, target = self.arrow_keys(ctrl=True)
            return self.keys_step(f"resize with {' '.join(keys)}", keys, target)
        ends = []
        # The far end of the top bar sets the width, that of the left bar the height; the other
        # direction of the drag does nothing.
        grab = (m.x + m.width - self.rng.randint(2, SIZING_ZONE - 2), m.y + self.rng.randint(5, BAR - 5))
        if self.on_screen(grab) and not overlaps((*grab, 1, 1), self.tray):
            ends.append(("far end of the top bar", grab, 0))
        grab = (m.x + self.rng.randint(5, BAR - 5), m.y + m.height - self.rng.randint(2, SIZING_ZONE - 2))
        if self.on_screen(grab) and not overlaps((*grab, 1, 1), self.tray):
            ends.append(("far end of the left bar", grab, 1))
        if not ends:
            keys, target = self.arrow_keys(ctrl=True)
            return self.keys_step(f"resize with {' '.join(keys)} (no far end in reach)", keys, target)
        what, start, axis = self.rng.choice(ends)
        size = (m.width, m.height)[axis]
        lo, hi = SIZES[2 * axis], SIZES[2 * axis + 1]
        # The pointer stays on the screen: so does the far end it drags.
        lo = max(lo, size - start[axis])
        hi = min(hi, size + self.screen[axis] - 1 - start[axis])
        new_size = self.rng.randint(lo, hi) if lo <= hi else size
        along = new_size - size
        across = self.rng.randint(-20, 20)
        delta = (along, across) if axis == 0 else (across, along)
        end = (start[0] + delta[0], start[1] + delta[1])
        end = (min(max(end[0], 0), self.screen[0] - 1), min(max(end[1], 0), self.screen[1] - 1))
        target = replace(m, width=new_size) if axis == 0 else replace(m, height=new_size)
        return self.drag_step(f"resize: drag the {what} from {start} to {end}", start, end, target)

    def arrow_keys(self, ctrl: bool) -> tuple[list[str], Ruler]:
        """A few arrow keys (Shift: 10 pixels) that keep the ruler sane, and where they take it."""
        m = self.model
        for _ in range(50):
            keys, ruler = [], m
            for _ in range(self.rng.randint(1, 4)):
                arrow = self.rng.choice(list(ARROWS))
                shift = self.rng.random() < 0.5
                dx, dy = (10 * d if shift else d for d in ARROWS[arrow])
                keys.append(("ctrl+" if ctrl else "") + ("shift+" if shift else "") + arrow)
                if ctrl:
                    ruler = replace(ruler, width=max(ruler.width + dx, BAR), height=max(ruler.height + dy, BAR))
                else:
                    ruler = replace(ruler, x=ruler.x + dx, y=ruler.y + dy)
            if self.sane(ruler):
                return keys, ruler
        # Toward the middle of the screen, which is always sane.
        if ctrl:
            return ["ctrl+shift+Left"], replace(m, width=m.width - 10)
        return ["shift+Down"], replace(m, y=m.y + 10)

    def keys_step(self, what: str, keys: list[str], target: Ruler) -> Step:
        point = self.bar_point()

        def run():
            self.focus_ruler(point)
            self.session.x("xdotool", "key", "--delay", "40", *keys)
            self.model = target
            self.wait_for_ruler_state()
            self.check_readout()
        return Step(f"{what} after a click on {point}", run)

    def drag_step(self, what: str, start: Point, end: Point, target: Ruler) -> Step:
        def run():
            self.session.raise_window(self.wid)
            self.pace()
            self.session.x("xdotool", "mousemove", *map(str, start), "sleep", "0.05", "mousedown", "1")
            self.user.last_click = time.monotonic()
            try:
                # The program reads the pointer's place when it takes the press, and until then moves over
                # the cut-out inside go to the window below: the hand waits until the press is taken. Two
                # requests answered in a row: the second only once the press has been dispatched.
                self.ruler_state()
                self.ruler_state()
                args = []
                for i in range(1, 11):
                    point = (start[0] + (end[0] - start[0]) * i // 10, start[1] + (end[1] - start[1]) * i // 10)
                    args += ["sleep", "0.02", "mousemove", *map(str, point)]
                # The ruler applies a resize on a 100-ms timer: the button stays down a while at the end.
                self.session.x("xdotool", *args, "sleep", "0.4")
            finally:
                self.session.x("xdotool", "mouseup", "1")
            self.model = target
            self.wait_for_ruler_state()
        return Step(what, run)

    def plan_unit(self) -> Step:
        unit = self.rng.choice([u for u in UNITS if u != self.model.unit])
        keys = ["Down"] * 8 + ["Right"] + ["Down"] * UNIT_ITEMS[unit] + ["Return"]
        check_point = self.bar_point() if self.model.shown else None

        def then():
            self.model = replace(self.model, unit=unit)
            if check_point:
                self.focus_ruler(check_point)
        return self.menu_step(f"unit {unit}" + (f", readout read after a click on {check_point}" if check_point
                                                  else ""), keys, then)

    def plan_transparency(self) -> Step:
        transparent = not self.model.transparent

        def then():
            self.model = replace(self.model, transparent=transparent)
        return self.menu_step(f"transparency {'on' if transparent else 'off'}", advanced_item("transparent"),
                              then)

    def plan_show_hide(self) -> Step:
        shown = not self.model.shown

        def then():
            self.model = replace(self.model, shown=shown)
            self.wait_for_ruler_state()
        what = "show the ruler" if shown else "hide the ruler"
        if self.icon_usable() and self.rng.random() < 0.6:
            def run():
                self.click_icon()
                then()
            return Step(f"{what} (left click on the icon)", run)
        return self.menu_step(f"{what} (Show/Hide Ruler)", SHOW_HIDE, then)

    def plan_capture(self) -> Step:
        def then():
            box = self.session.wait_for_window(MESSAGE_TITLE, 10)
            text = self.message_text()
            m = self.model
            if m.shown:
                self.assertEqual(text, "The bitmap has been copied to the clipboard!")
                left, top = max(m.x + BAR, 0), max(m.y + BAR, 0)
                expected = (min(m.x + m.width, self.screen[0]) - left, min(m.y + m.height, self.screen[1]) - top)
                self.assertEqual(self.clipboard_bitmap_size(), expected, "the captured bitmap's size")
            else:
                self.assertEqual(text, "Please show the ruler first!")
                self.assertEqual(self.clipboard("UTF8_STRING"), self.marker, "the clipboard changed")
            self.session.x("xdotool", "windowfocus", str(box.wid))
            self.session.x("xdotool", "key", "Return")
            wait_until(lambda: not self.session.mapped_windows(MESSAGE_TITLE), 5, message="the message stayed open")
        return self.menu_step("capture", CAPTURE, then, before=self.set_clipboard_marker)

    def plan_preset(self) -> Step:
        width, height = self.rng.choice(PRESETS)
        w, h = width + BAR, height + BAR
        # Centred on the screen (C's division, toward zero) and shown.
        target = replace(self.model, x=int((self.screen[0] - w) / 2), y=int((self.screen[1] - h) / 2), width=w,
                         height=h, shown=True)

        def then():
            self.model = target
            self.wait_for_ruler_state()
        return self.menu_step(f"preset {width}x{height}", size_item(f"{width}x{height}"), then)

    def plan_about(self) -> Step:
        keys = self.rng.choice([ABOUT, ["Down"] * 10 + ["Return"]])
        close = self.rng.choice(["Ok", "Escape", "Return"])

        def then():
            frame = self.session.wait_for_window(ABOUT_TITLE, 5)
            about = self.the_window(self.session, ABOUT_CLASS)
            ok = about.centre(about.child("Ok"))
            how = close
            if how == "Ok" and self.model.covers((ok[0] - 3, ok[1] - 3, 7, 7)):
                how = "Escape"
                print(f"    Ok lies under the ruler's bar: {how} instead", flush=True)
            if how == "Ok":
                self.session.raise_window(frame.wid)
                self.user.click(ok)
            else:
                self.session.x("xdotool", "windowfocus", str(frame.wid))
                self.session.x("xdotool", "key", how)
            wait_until(lambda: not self.windows(self.session, ABOUT_CLASS), 5,
                       message=f"an About window remains after {how}")
        return self.menu_step(f"About with {'+'.join(keys) if len(keys) < 3 else 'arrows'}, closed with {close}",
                              keys, then)

    def plan_help(self) -> Step:
        keys = self.rng.choice([HELP, ["Down"] * 9 + ["Return"]])
        closes = ["Escape", "Close this window", "title bar"] + (["icon"] if self.icon_usable() else [])
        close = self.rng.choice(closes)

        def then():
            frame = self.session.wait_for_window(MAIN_WINDOW_TITLE, 5)
            how = close
            if how == "icon":
                # The icon hides the help window and shows or hides the ruler.
                self.click_icon()
                self.model = replace(self.model, shown=not self.model.shown)
            else:
                window = self.the_window(self.session, HELP_CLASS)
                if how == "Close this window":
                    point = window.centre(window.child("Close this window"))
                else:
                    border = window.x - frame.x
                    point = (frame.right - border - 10, (frame.y + border + window.y) // 2)
                if how != "Escape" and self.model.covers((point[0] - 3, point[1] - 3, 7, 7)):
                    how = "Escape"
                    print(f"    {close} lies under the ruler's bar: {how} instead", flush=True)
                if how == "Escape":
                    self.session.x("xdotool", "windowfocus", str(frame.wid))
                    self.session.x("xdotool", "key", "Escape")
                else:
                    self.session.raise_window(frame.wid)
                    self.user.click(point)
            wait_until(lambda: not self.session.mapped_windows(MAIN_WINDOW_TITLE), 5,
                       message=f"the help window stayed after {how}")
            self.wait_for_ruler_state()
        return self.menu_step(f"Help with {'+'.join(keys) if len(keys) < 3 else 'arrows'}, closed with {close}",
                              keys, then)

    # ---- the user's hands -------------------------------------------------------------------------

    def pace(self) -> None:
        wait = CLICK_GAP - (time.monotonic() - self.user.last_click)
        if wait > 0:
            time.sleep(wait)  # pacing, not waiting for a condition: two presses close together are a double click

    def click_icon(self, button: int = 1) -> None:
        self.assertTrue(self.icon_usable(), "the plan let the ruler cover the icon")
        self.user.click_icon(button)

    def click_ruler(self, point: Point, button: int = 1) -> None:
        self.session.raise_window(self.wid)
        self.user.click(point, button)

    def focus_ruler(self, point: Point) -> None:
        """Gives the ruler the keyboard and checks its readout. A click on a bar (pressed and released in
        place: no move) makes it the program's active window; the X focus, which no window manager moves
        here (after a click on the icon the tray keeps it), goes to its X window. Keys reach the ruler once
        the program has taken the click, and until then the program's window that had the keyboard, where
        Ctrl+C does nothing: so Ctrl+C is pressed until the ruler copies its readout."""
        self.click_ruler(point)
        self.session.x("xdotool", "windowfocus", str(self.wid))
        deadline = time.monotonic() + RESPONSE_TIMEOUT
        while True:
            self.set_clipboard_marker()
            self.session.x("xdotool", "key", "ctrl+c")
            try:
                wait_until(lambda: self.clipboard("UTF8_STRING") not in (self.marker, None), 1)
                break
            except AssertionError:
                if time.monotonic() > deadline:
                    raise AssertionError(f"Ctrl+C after a click on the ruler copied nothing for "
                                         f"{RESPONSE_TIMEOUT} s") from None
                print("    the ruler did not have the keyboard yet: Ctrl+C again", flush=True)
        self.check_readout(copied=True)

    def choose(self, path: str, point: Optional[Point], keys: list[str]) -> None:
        """Opens the tray menu by the path, chooses an item with the keys and waits until it has closed."""
        if path == "icon":
            self.click_icon(button=3)
        elif path == "ruler right click":
            self.click_ruler(point, button=3)
        else:
            self.focus_ruler(point)
            self.session.x("xdotool", "key", "shift+F10" if path == "ruler Shift+F10" else "Menu")
        menu = wait_until(self.user.popups, 5, message=f"no menu opened from the {path}")[0]
        # Under X the tray (or the ruler) keeps the keyboard: the menu takes it before the keys.
        self.session.x("xdotool", "windowfocus", str(menu.wid))
        self.user.type(keys)
        self.user.wait_menu_closed()

    # ---- what is seen -----------------------------------------------------------------------------

    def wait_for_ruler_state(self) -> None:
        """Waits until the X server shows the model's ruler (or none)."""
        if self.model.shown:
            info = self.session.wait_for_geometry(self.wid, self.model.rect)
            self.assertTrue(info.mapped, "the ruler is not shown")
        else:
            wait_until(lambda: not self.session.mapped_windows(RULER_WINDOW_TITLE), 5, message="the ruler stayed shown")

    def ruler_state(self) -> tuple[bool, Rect]:
        """Whether the ruler is shown and its rectangle, as the program answers another program that asks
        for its window's text: the request crosses processes, so the program's one thread must take it."""
        self.assertIsNone(self.proc.poll(), f"the program has ended (code {self.proc.returncode})")
        try:
            answer = self.session.wine(self.helper, "--children", RULER_CLASS, timeout=RESPONSE_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not answer a window-text request within {RESPONSE_TIMEOUT} s")
        lines = [line.split("|")[0].split() for line in answer.stdout.decode().splitlines()
                 if line.startswith("window ")]
        self.assertEqual(len(lines), 1, f"ruler windows: {answer.stdout!r}")
        shown, *rect = lines[0][2:]
        return shown == "1", tuple(map(int, rect))

    def check(self, m: Ruler) -> None:
        """The program answers another program at once, and shows what the model says."""
        self.assertEqual(self.ruler_state(), (m.shown, m.rect),
                         "the ruler (shown, (x, y, width, height)) as the program has it")
        self.wait_for_ruler_state()
        if m.shown:
            expected = OPACITY_TRANSPARENT if m.transparent else None
            wait_until(lambda: self.session.opacity(self.wid) == expected, 5,
                       message=f"the ruler's opacity is {self.session.opacity(self.wid)}, expected {expected}")
        left_open = self.session.x("xdotool", "search", "--onlyvisible", "--name",
                                   f"^({MAIN_WINDOW_TITLE}|{ABOUT_TITLE}|{MESSAGE_TITLE})$", check=False).stdout.split()
        self.assertEqual((left_open, self.user.popups()), ([], []), "windows and menus left open after the step")

    def check_readout(self, copied: bool = False) -> None:
        """Ctrl+C on the focused ruler copies its readout: the size in the unit of the model."""
        if not copied:
            self.set_clipboard_marker()
            self.session.x("xdotool", "key", "ctrl+c")
        expected = readout(self.model.width, self.model.height, self.model.unit).encode()
        try:
            wait_until(lambda: self.clipboard("UTF8_STRING") == expected, 10)
        except WaitTimeout:
            raise WaitTimeout(f"Ctrl+C copied {self.clipboard('UTF8_STRING')!r}, expected {expected!r}") from None

    def clipboard(self, target: str) -> Optional[bytes]:
        """The clipboard's content in that form as X clients get it; None when its owner does not answer."""
        try:
            return self.session.x("xclip", "-selection", "clipboard", "-t", target, "-o", check=False,
                                  timeout=CLIPBOARD_TIMEOUT).stdout
        except subprocess.TimeoutExpired:
            # xclip waits for good when its request is lost (once in some thousand reads here, while the
            # owner changed between xclip and Wine's clipboard bridge); the caller asks again.
            print(f"    the clipboard did not answer a request for {target} within {CLIPBOARD_TIMEOUT} s",
                  flush=True)
            return None

    def set_clipboard_marker(self) -> None:
        """Text of our own on the clipboard, so that what the program places there next is told from what it
        placed before. xclip stays in the background as the owner until another program takes it."""
        self.marker = f"marker {time.monotonic()}".encode()
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=self.marker, env=self.session.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10, check=True)
        wait_until(lambda: self.clipboard("UTF8_STRING") == self.marker, 10, message="xclip did not take the clipboard")

    def clipboard_bitmap_size(self) -> tuple[int, int]:
        try:
            data = wait_until(lambda: (lambda d: d if d and d[:2] == b"BM" else None)(self.clipboard("image/bmp")), 10)
        except WaitTimeout:
            raise WaitTimeout(f"no bitmap on the clipboard; it offers {self.clipboard('TARGETS')!r}") from None
        width, height = struct.unpack_from("<ii", data, 18)
        return (width, abs(height))

    def message_text(self) -> str:
        boxes = [w for w in self.windows(self.session, MESSAGE_CLASS) if w.shown and w.text == MESSAGE_TITLE]
        self.assertEqual(len(boxes), 1, "message boxes shown")
        texts = [c.text for c in boxes[0].children if c.cls.lower() == "static" and c.text]
        self.assertEqual(len(texts), 1, f"texts in the message box: {texts}")
        return texts[0]

    # ---- the end ----------------------------------------------------------------------------------

    def exit_and_check_stored_state(self) -> None:
        path = self.rng.choice(self.menu_paths())
        point = self.bar_point() if path.startswith("ruler") else None
        print(f"exit: Exit (menu from the {path}{f' at {point}' if point else ''})", flush=True)
        self.choose(path, point, EXIT)
        try:
            code = self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.fail("the program still runs 10 s after Exit")
        self.assertEqual(code, 0, f"the program ended with code {code:#x}")
        wait_until(lambda: not self.session.mapped_windows(TRAY_TITLE), 5, message="the icon outlived the program")
        self.assertEqual([pid for pid in self.session.processes() if b"trelvik.exe" in command_line(pid).lower()], [],
                         "Trelvik processes still run after Exit")
        self.assertEqual(self.session.reg_values(), self.model.stored(), "the stored settings")


if __name__ == "__main__":
    unittest.main()
