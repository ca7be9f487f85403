"""The notification icon and the tray menu as the user meets them: the icon in the tray, showing and hiding
the ruler with it, the menu opened from the icon or from the ruler and its commands (preset sizes, units,
transparency, help, About, Exit), the screen capture to the clipboard, the autostart entry, and the icon
coming back when the taskbar announces a restart.

How the menu is driven: the tray window belongs to Wine's explorer and keeps the X keyboard focus after a
click on the icon (there is no window manager to move it), so the menu's popup gets the focus before
anything is typed. Items are then chosen with the keyboard, which does not depend on the menu's fonts or
item heights.

Wine's explorer never announces a restarted taskbar, so tests/e2e/TrayRestart.cpp, built next to
Trelvik.exe, plays the restart as the program sees it.
"""

import re
import shutil
import struct
import subprocess
import time
import unittest
from collections import Counter
from pathlib import Path
from typing import Optional

from trelvik_e2e import (MAIN_WINDOW_TITLE, RULER_WINDOW_TITLE, Image, TrelvikSession, TrelvikTestCase,
                         WaitTimeout, WindowInfo, holds_for, trelvik_exe, wait_until)

TRAY_TITLE = "Wine System Tray"
ABOUT_TITLE = "About Trelvik"
MESSAGE_TITLE = "Attention"
# The class of the window that owns the icon, for the restart helper.
MAIN_WINDOW_CLASS = "TrelvikMain"
# Where Wine's tray window puts the first icon when windows are unmanaged.
ICON = (13, 32)
# Two clicks on the icon closer together than this arrive as a double click.
CLICK_GAP = 0.6

LATER_RUN = {"FirstTime": "1"}
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
RUN_ONCE_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce"
OPACITY_TRANSPARENT = 0xE5E5E5E5
BAR = 40

# Keys that choose an item once the menu is open with nothing selected. Down skips separators but not
# disabled items; Right opens "Advanced..." with its first item selected.
SHOW_HIDE = ["Down", "Return"]
CAPTURE = ["Down"] * 2 + ["Return"]
SIZE_ITEMS = {"320x200": 3, "640x480": 4, "800x600": 5, "1024x768": 6, "1280x1024": 7}
ADVANCED_ITEMS = {"autostart": 1, "transparent": 2, "pixels": 5, "inches": 6}
HELP, ABOUT, EXIT = ["h"], ["a"], ["e"]


def size_item(name: str) -> list[str]:
    return ["Down"] * SIZE_ITEMS[name] + ["Return"]


def advanced_item(name: str) -> list[str]:
    return ["Down"] * 8 + ["Right"] + ["Down"] * ADVANCED_ITEMS[name] + ["Return"]


# The tray menu from top to bottom: "T" an item with a caption, "-" a separator.
TRAY_MENU_LAYOUT = "TT-TTTTT-TTT-T"


def centred(screen: tuple[int, int], width: int, height: int) -> tuple[int, int, int, int]:
    return ((screen[0] - width) // 2, (screen[1] - height) // 2, width, height)


# ---- what the user sees ----------------------------------------------------------------------------

def crop(image: Image, rect: tuple[int, int, int, int]) -> bytes:
    """The RGB bytes of the (x, y, width, height) part of the image, row by row."""
    x, y, width, height = rect
    stride = 3 * image.width
    return b"".join(image.data[row * stride + 3 * x:row * stride + 3 * (x + width)] for row in range(y, y + height))


def settled_crop(session: TrelvikSession, rect: tuple[int, int, int, int]) -> bytes:
    """The screen's picture of the rectangle once two screenshots in a row agree: windows repaint a moment
    after they are shown, resized or uncovered."""
    last = [b""]

    def settled():
        picture = crop(session.screenshot(), rect)
        same = picture == last[0]
        last[0] = picture
        return picture if same else None
    return wait_until(settled, 5, interval=0.1, message="the screen kept changing")


def menu_rows(image: Image, menu: WindowInfo) -> list[tuple[str, int, int]]:
    """The menu's rows as (kind, first y, last y + 1), kind "T" for a caption and "-" for a separator: a
    caption (and its picture) marks a few pixels of its rows, a separator line nearly all of them. An access
    key's underline sits a row below its caption and belongs to it."""
    left, right = menu.x + 4, menu.right - 4  # inside the 3-D frame
    pixels = [[image.pixel(x, y) for x in range(left, right)] for y in range(menu.y + 4, menu.bottom - 4)]
    # The items' background is a gradient from left to right: each column has a background of its own.
    background = [Counter(row[i] for row in pixels).most_common(1)[0][0] for i in range(len(pixels[0]))]
    bands: list[tuple[str, int, int]] = []
    previous = ""
    for offset, row in enumerate(pixels):
        marked = sum(1 for p, b in zip(row, background) if p != b)
        kind = "" if marked == 0 else "-" if marked > 0.8 * len(row) else "T"
        y = menu.y + 4 + offset
        if kind and (kind == previous or (kind == "T" and bands and bands[-1][0] == "T" and y - bands[-1][2] <= 2)):
            bands[-1] = (kind, bands[-1][1], y + 1)
        elif kind:
            bands.append((kind, y, y + 1))
        previous = kind
    return bands


def darkest(image: Image, menu: WindowInfo, band: tuple[str, int, int]) -> int:
    """The lowest channel sum among the band's pixels: near 0 for black text, well above for grey text."""
    return min(sum(image.pixel(x, y)) for y in range(band[1], band[2]) for x in range(menu.x + 4, menu.right - 4))


def gradient_ppm(width: int, height: int) -> bytes:
    """A picture in which every pixel of the screen has its own colour: red is x, green y (each modulo
    256), blue holds the rest of both."""
    header = b"P6 %d %d 255\n" % (width, height)
    low_x = bytes(x & 255 for x in range(width))
    rows = []
    for y in range(height):
        row = bytearray(3 * width)
        row[0::3] = low_x
        row[1::3] = bytes([y & 255]) * width
        row[2::3] = bytes(((x >> 8) << 4) | (y >> 8) for x in range(width))
        rows.append(bytes(row))
    return header + b"".join(rows)


def paint_root(session: TrelvikSession, picture: str, probe: tuple[int, int],
               expected: tuple[int, int, int]) -> None:
    """Sets the root window's background (an ImageMagick picture: a file or "xc:#rrggbb"), which shows
    wherever no window is. display exits with 1 even when it worked, so the screen is checked instead."""
    width, height = session.screen
    session.x("display", "-window", "root", "-size", f"{width}x{height}", picture, check=False)
    wait_until(lambda: session.screenshot().pixel(*probe) == expected, 5, message="the root picture was not applied")


class Bitmap:
    """A BMP as Wine offers the clipboard's bitmap: uncompressed or bit fields, 24 or 32 bits per pixel."""

    def __init__(self, data: bytes):
        if data[:2] != b"BM":
            raise ValueError(f"not a BMP: {data[:16]!r}")
        offset, = struct.unpack_from("<I", data, 10)
        header_size, self.width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
        if bits not in (24, 32) or compression not in (0, 3):
            raise ValueError(f"unexpected BMP format: {bits} bits, compression {compression}")
        if compression == 3:
            masks = struct.unpack_from("<III", data, 14 + header_size if header_size == 40 else 54)
            if masks != (0xFF0000, 0xFF00, 0xFF):
                raise ValueError(f"unexpected colour masks {masks}")
        self.height = abs(height)
        self.bottom_up = height > 0
        self.bytes_per_pixel = bits // 8
        self.stride = (self.width * bits + 31) // 32 * 4
        self.pixels = data[offset:offset + self.stride * self.height]

    def rgb_row(self, y: int) -> bytes:
        """Row y from the top, as RGB bytes like crop() gives."""
        source_row = self.height - 1 - y if self.bottom_up else y
        start = source_row * self.stride
        raw = self.pixels[start:start + self.width * self.bytes_per_pixel]
        rgb = bytearray(3 * self.width)
        for channel, source in ((0, 2), (1, 1), (2, 0)):  # stored as blue, green, red
            rgb[channel::3] = raw[source::self.bytes_per_pixel]
        return bytes(rgb)


def helper_path() -> Path:
    return Path(trelvik_exe() or ".").parent / "TrayRestart.exe"


def tray_restart_helper() -> Optional[str]:
    """tests/e2e/TrayRestart.cpp, built next to Trelvik.exe: Wine's explorer never announces a restart."""
    path = helper_path()
    return str(path) if path.is_file() else None


def command_line(pid: int) -> bytes:
    try:
        return Path(f"/proc/{pid}/cmdline").read_bytes()
    except OSError:
        return b""  # gone in the meantime


# ---- the user's hand on the icon and the menu ------------------------------------------------------

class TrayUser:
    def __init__(self, session: TrelvikSession):
        self.session = session
        self.last_click = 0.0

    def click(self, point: tuple[int, int], button: int = 1) -> None:
        wait = CLICK_GAP - (time.monotonic() - self.last_click)
        if wait > 0:
            time.sleep(wait)  # pacing, not waiting for a condition: see CLICK_GAP
        self.session.click(*point, button=button)
        self.last_click = time.monotonic()

    def click_icon(self, button: int = 1) -> None:
        self.click(ICON, button)

    def popups(self) -> list[WindowInfo]:
        """The program's mapped windows without a title: its open menus."""
        tree = self.session.window_tree()
        wids = re.findall(r'^\s+(0x[0-9a-f]+) \(has no name\): \("trelvik\.exe"', tree, re.M | re.I)
        infos = (self.session.window_info(int(wid, 16)) for wid in wids)
        return [info for info in infos if info and info.mapped]

    def open_menu(self, at: Optional[tuple[int, int]] = None) -> WindowInfo:
        """Right-clicks the icon (or the point `at`), waits for the menu and gives it the keyboard."""
        self.click(at or ICON, button=3)
        menu = wait_until(self.popups, 5, message="no menu opened")[0]
        self.session.x("xdotool", "windowfocus", str(menu.wid))
        return menu

    def type(self, keys: list[str]) -> None:
        self.session.x("xdotool", "key", "--delay", "30", *keys)

    def wait_menu_closed(self) -> None:
        wait_until(lambda: not self.popups(), 5, message="the menu stayed open")

    def choose(self, keys: list[str], at: Optional[tuple[int, int]] = None) -> None:
        """Opens the menu and chooses an item; the command runs after the menu has closed."""
        self.open_menu(at)
        self.type(keys)
        self.wait_menu_closed()


class TrayTestCase(TrelvikTestCase):
    def icon_shown(self, session: TrelvikSession) -> bool:
        """The tray window is on screen with an icon at the first icon's place: pixels there differ from the
        tray's own background (sampled at its right end, where no icon is)."""
        trays = session.mapped_windows(TRAY_TITLE)
        if not trays:
            return False
        shot = session.screenshot()
        background = shot.pixel(trays[0].right - 6, ICON[1])
        return sum(1 for dx in range(-6, 7) for dy in range(-6, 7)
                   if shot.pixel(ICON[0] + dx, ICON[1] + dy) != background) > 20

    def assert_menu_layout(self, session: TrelvikSession, menu: WindowInfo,
                           layout: str) -> tuple[Image, WindowInfo]:
        """Waits until the open menu shows the rows of the layout (it paints a moment after it appears) and
        returns that screenshot with the menu's place then: on a busy machine the window system may still
        move or size the popup after it first appears."""
        last = [""]
        current = [menu]

        def painted():
            current[0] = session.window_info(menu.wid) or current[0]
            shot = session.screenshot()
            last[0] = "".join(kind for kind, _, _ in menu_rows(shot, current[0]))
            return (shot, current[0]) if last[0] == layout else None
        try:
            return wait_until(painted, 5, interval=0.1)
        except WaitTimeout:
            self.fail(f"the menu at {current[0]} shows the rows {last[0]!r}, expected {layout!r}")

    def assert_ruler_at(self, session: TrelvikSession, wid: int, rect: tuple[int, int, int, int]) -> None:
        info = session.wait_for_geometry(wid, rect)
        self.assertTrue(info.mapped, "the ruler is not shown")

    def exit_from_menu(self, session: TrelvikSession, user: TrayUser, proc: subprocess.Popen) -> None:
        """Chooses Exit and checks that the program ends cleanly, leaving no process behind."""
        user.choose(EXIT)
        try:
            code = proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.fail("the program still runs 10 s after Exit")
        self.assertEqual(code, 0, f"the program ended with code {code:#x}")
        self.assertEqual([pid for pid in session.processes() if b"trelvik.exe" in command_line(pid).lower()], [],
                         "Trelvik processes still run after Exit")


class IconTest(TrayTestCase):
    def test_icon_shows_and_hides_the_windows_and_survives_a_taskbar_restart(self):
        session = self.new_session()
        user = TrayUser(session)
        proc = self.start_trelvik(session)  # a first run: the help window opens too
        ruler = self.wait_for_ruler(session)
        session.wait_for_window(MAIN_WINDOW_TITLE, 5)
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")

        with self.subTest("a right click opens the menu while the help window has the focus"):
            user.open_menu()
            user.type(["Escape"])
            user.wait_menu_closed()
            self.assert_ruler_at(session, ruler.wid, ruler.rect)

        with self.subTest("a left click hides the ruler and the help window"):
            user.click_icon()
            wait_until(lambda: not session.mapped_windows(RULER_WINDOW_TITLE), 5, message="the ruler stayed")
            wait_until(lambda: not session.mapped_windows(MAIN_WINDOW_TITLE), 5, message="help stayed")

        with self.subTest("another left click shows the ruler again, but not the help window"):
            user.click_icon()
            self.assert_ruler_at(session, ruler.wid, ruler.rect)
            holds_for(lambda: not session.mapped_windows(MAIN_WINDOW_TITLE), 0.5, message="help came back")

        with self.subTest("Help and About from the menu; a left click then hides them with the ruler"):
            user.choose(HELP)
            session.wait_for_window(MAIN_WINDOW_TITLE, 5)
            user.choose(ABOUT)
            session.wait_for_window(ABOUT_TITLE, 5)
            user.click_icon()
            for title in (RULER_WINDOW_TITLE, MAIN_WINDOW_TITLE, ABOUT_TITLE):
                wait_until(lambda: not session.mapped_windows(title), 5, message=f"{title!r} stayed on screen")

        with self.subTest("after a taskbar restart the icon is back and works"):
            helper = tray_restart_helper()
            if not helper:
                self.skipTest(f"{helper_path()} is missing: build the TrayRestart helper next to Trelvik.exe")
            # What a restarted taskbar looks like to the program: its icon is gone, then the broadcast.
            forget = session.wine(helper, "forget", MAIN_WINDOW_CLASS, "1")
            self.assertEqual(forget.returncode, 0, "the helper could not remove the icon")
            wait_until(lambda: not session.mapped_windows(TRAY_TITLE), 5, message="the icon was not removed")
            self.assertEqual(session.wine(helper, "announce").returncode, 0, "no TaskbarCreated broadcast")
            wait_until(lambda: self.icon_shown(session), 5, message="the icon did not come back")
            user.click_icon()  # the icon still reaches the program: the hidden ruler comes back
            self.assert_ruler_at(session, ruler.wid, ruler.rect)

        with self.subTest("Exit saves the settings, removes the icon and ends the program"):
            shown = "1" if session.mapped_windows(RULER_WINDOW_TITLE) else "0"
            self.exit_from_menu(session, user, proc)
            wait_until(lambda: not session.mapped_windows(TRAY_TITLE), 5, message="the icon outlived the program")
            stored = session.reg_values()
            expected = {"FirstTime": "1", "Left": str(ruler.x), "Top": str(ruler.y), "XSize": str(ruler.width),
                        "YSize": str(ruler.height), "ShowRuler": shown, "Transp": "1"}
            self.assertEqual({name: stored.get(name) for name in expected}, expected)


class MenuTest(TrayTestCase):
    def test_menu_items_sizes_units_and_transparency(self):
        session = self.new_session()
        user = TrayUser(session)
        # A grey desktop: the readout's black glyphs show on it.
        paint_root(session, "xc:#406080", (5, 1000), (0x40, 0x60, 0x80))
        proc = self.start_trelvik(session, {**LATER_RUN, "Left": "300", "Top": "400"})
        ruler = self.wait_for_ruler(session)
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")

        with self.subTest("the icon's menu shows every caption and separator, and the Advanced submenu"):
            menu = user.open_menu()
            self.assert_menu_layout(session, menu, TRAY_MENU_LAYOUT)
            user.type(["Down"] * 8 + ["Right"])
            # Its drawn look is test_menu_look's.
            wait_until(lambda: [p for p in user.popups() if p.wid != menu.wid], 5,
                       message="Advanced... opened no submenu")
            user.type(["Escape", "Escape"])
            user.wait_menu_closed()

        with self.subTest("Escape closes the menu opened on the ruler without running a command"):
            user.open_menu(at=(ruler.x + 200, ruler.y + 20))
            user.type(["Escape"])
            user.wait_menu_closed()
            holds_for(lambda: session.window_info(ruler.wid) == ruler, 0.5, message="the ruler changed")
            self.assertEqual(session.mapped_windows(MAIN_WINDOW_TITLE) + session.mapped_windows(ABOUT_TITLE), [])

        with self.subTest("Show/Hide Ruler hides the ruler and shows it again where it was"):
            user.choose(SHOW_HIDE)
            wait_until(lambda: not session.mapped_windows(RULER_WINDOW_TITLE), 5, message="the ruler stayed")
            user.choose(SHOW_HIDE)
            self.assert_ruler_at(session, ruler.wid, ruler.rect)

        with self.subTest("Size 640x480 px: a 680 x 520 ruler in the middle of the screen"):
            user.choose(size_item("640x480"))
            self.assert_ruler_at(session, ruler.wid, centred(session.screen, 680, 520))

        with self.subTest("Size 800x600 px on a hidden ruler shows it, 840 x 640 in the middle"):
            user.click_icon()
            wait_until(lambda: not session.mapped_windows(RULER_WINDOW_TITLE), 5, message="the ruler stayed")
            user.choose(size_item("800x600"))
            self.assert_ruler_at(session, ruler.wid, centred(session.screen, 840, 640))

        with self.subTest("Inches change the scales and the readout; Pixels bring back the same picture"):
            rect = session.window_info(ruler.wid).rect
            pixels_picture = settled_crop(session, rect)
            user.choose(advanced_item("inches"))
            self.assertTrue(settled_crop(session, rect) != pixels_picture, "the ruler looks the same in inches")
            user.choose(advanced_item("pixels"))
            wait_until(lambda: crop(session.screenshot(), rect) == pixels_picture, 5,
                       message="back in pixels, the ruler does not look as before")

        with self.subTest("the transparency option takes the opacity off and puts it back"):
            self.assertEqual(session.opacity(ruler.wid), OPACITY_TRANSPARENT)
            for opacity in (None, OPACITY_TRANSPARENT, None):
                user.choose(advanced_item("transparent"))
                wait_until(lambda: session.opacity(ruler.wid) == opacity, 5,
                           message=f"the opacity did not become {opacity}")

        with self.subTest("Exit stores the unchecked transparency"):
            self.exit_from_menu(session, user, proc)
            self.assertEqual(session.reg_get("Transp"), "0")

    def test_preset_sizes_larger_than_the_screen_are_disabled(self):
        session = self.new_session(screen=(1024, 768))
        user = TrayUser(session)
        self.start_trelvik(session, LATER_RUN)
        ruler = self.wait_for_ruler(session)
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")

        menu = user.open_menu()
        shot, menu = self.assert_menu_layout(session, menu, TRAY_MENU_LAYOUT)
        rows = [row for row in menu_rows(shot, menu) if row[0] == "T"]
        size_rows = {name: rows[index - 1] for name, index in SIZE_ITEMS.items()}
        self.assertLess(darkest(shot, menu, size_rows["1024x768"]), 150, "Size 1024x768 px is not drawn enabled")
        self.assertGreater(darkest(shot, menu, size_rows["1280x1024"]), 150, "Size 1280x1024 px is not greyed")

        # Chosen all the same: nothing may happen (the menu may stay open on the disabled item).
        user.type(size_item("1280x1024"))
        holds_for(lambda: session.window_info(ruler.wid) == ruler, 1.0, message="a disabled size was applied")
        if user.popups():
            user.type(["Escape"])
            user.wait_menu_closed()

        # The screen's own size still fits; the ruler covers the icon afterwards, so this comes last.
        user.choose(size_item("1024x768"))
        self.assert_ruler_at(session, ruler.wid, centred(session.screen, 1064, 808))


class CaptureTest(TrayTestCase):
    def clipboard(self, session: TrelvikSession, target: str) -> bytes:
        return session.x("xclip", "-selection", "clipboard", "-t", target, "-o", check=False).stdout

    def close_message(self, session: TrelvikSession, box: WindowInfo) -> None:
        session.x("xdotool", "windowfocus", str(box.wid))
        session.x("xdotool", "key", "Return")
        wait_until(lambda: not session.mapped_windows(MESSAGE_TITLE), 5, message="the message box stayed open")

    def test_capture_copies_the_area_inside_the_ruler_and_needs_a_shown_ruler(self):
        session = self.new_session()
        user = TrayUser(session)
        width, height = session.screen
        picture = Path(session.prefix) / "gradient.ppm"
        picture.write_bytes(gradient_ppm(width, height))
        paint_root(session, str(picture), (300, 700), (300 & 255, 700 & 255, (1 << 4) | 2))
        self.start_trelvik(session, {**LATER_RUN, "Left": "100", "Top": "100", "XSize": "430", "YSize": "330"})
        ruler = self.wait_for_ruler(session)
        self.assertEqual(ruler.rect, (100, 100, 430, 330))
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")

        with self.subTest("the bitmap on the clipboard is the screen right of and below the bars"):
            user.choose(CAPTURE)
            box = session.wait_for_window(MESSAGE_TITLE, 5)
            targets = self.clipboard(session, "TARGETS").split()
            self.assertIn(b"image/bmp", targets)
            bitmap = Bitmap(self.clipboard(session, "image/bmp"))
            self.assertEqual((bitmap.width, bitmap.height), (390, 290))
            self.close_message(session, box)
            # The screen as it is now, with the ruler's readout inside the area: the same as captured.
            area = (ruler.x + BAR, ruler.y + BAR, 390, 290)
            screen = settled_crop(session, area)
            wrong_rows = [y for y in range(290) if bitmap.rgb_row(y) != screen[y * 3 * 390:(y + 1) * 3 * 390]]
            self.assertEqual(wrong_rows, [], "rows of the bitmap differ from the screen at (140, 140)")

        with self.subTest("with the ruler hidden: a message, and the clipboard keeps its text"):
            # xclip stays in the background as the clipboard's owner until another program takes it.
            subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=b"kept text", env=session.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10, check=True)
            wait_until(lambda: self.clipboard(session, "UTF8_STRING") == b"kept text", 5)
            user.click_icon()
            wait_until(lambda: not session.mapped_windows(RULER_WINDOW_TITLE), 5, message="the ruler stayed")
            user.choose(CAPTURE)
            box = session.wait_for_window(MESSAGE_TITLE, 5)
            self.close_message(session, box)
            self.assertEqual(self.clipboard(session, "UTF8_STRING"), b"kept text")
            self.assertNotIn(b"image/bmp", self.clipboard(session, "TARGETS").split())


class AutostartTest(TrayTestCase):
    def run_once(self, session: TrelvikSession, exe: Optional[str], toggle: bool) -> None:
        """One program run: optionally toggles "Autostart with Windows", then Exit."""
        user = TrayUser(session)
        session.kill_programs()
        proc = session.start_program(*([exe] if exe else []))
        self.wait_for_ruler(session)
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")
        if toggle:
            user.choose(advanced_item("autostart"))
        self.exit_from_menu(session, user, proc)

    def test_the_choice_is_written_to_the_run_key_at_exit(self):
        session = self.new_session()
        session.reg_set_many(LATER_RUN)
        exe_path = session.wine("winepath", "-w", session.exe).stdout.decode().strip()

        with self.subTest("checked: the Run value holds the program's path"):
            self.run_once(session, None, toggle=True)
            self.assertEqual(session.reg_values(RUN_KEY).get("Trelvik"), exe_path)

        with self.subTest("the next run shows it checked; unchecked, the value goes"):
            self.run_once(session, None, toggle=True)
            self.assertNotIn("Trelvik", session.reg_values(RUN_KEY))

        with self.subTest("a RunOnce value alone shows unchecked and is removed"):
            session.reg_set("Trelvik", exe_path, key=RUN_ONCE_KEY)
            self.run_once(session, None, toggle=False)
            self.assertNotIn("Trelvik", session.reg_values(RUN_KEY), "RunOnce read as checked")
            self.assertNotIn("Trelvik", session.reg_values(RUN_ONCE_KEY))

        with self.subTest("a path with a space is stored in quotes"):
            folder = Path(session.prefix) / "drive_c" / "Program Files" / "Trelvik Tools"
            folder.mkdir(parents=True)
            shutil.copyfile(session.exe, folder / "Trelvik.exe")
            windows_path = r"C:\Program Files\Trelvik Tools\Trelvik.exe"
            self.run_once(session, windows_path, toggle=True)
            self.assertEqual(session.reg_values(RUN_KEY).get("Trelvik"), f'"{windows_path}"')


if __name__ == "__main__":
    unittest.main()
