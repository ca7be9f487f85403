"""The help window and the About box as the user meets them: the help window of the first run beside the
ruler, its read-only help text (selecting, the mouse clearing the selection, Ctrl+A and Ctrl+C), the link to
the maker's site, hiding it with its button, Escape and its title-bar close button; the About box from the
tray menu with its version, brought to the front by a second About, destroyed by Ok, Escape and its close
button and made afresh by the next About.

What the program's windows hold is read with tests/e2e/WindowText.exe (built next to Trelvik.exe), which
lists a window's child windows with their class, place, style, text and, for edit windows, selection.
The site link goes through the system's URL handler, which this prefix points at a command that writes
the address it was given to C:\\url.txt.
"""

import time
import unittest
from dataclasses import dataclass, field
from pathlib import Path
from typing import Optional

from test_tray_and_commands import ABOUT, HELP, TrayTestCase, TrayUser
from trelvik_e2e import (MAIN_WINDOW_TITLE, RULER_WINDOW_TITLE, TrelvikSession, WindowInfo, holds_for, trelvik_exe,
                         wait_until)

HELP_CLASS = "TrelvikMain"
ABOUT_CLASS = "TrelvikAbout"
ABOUT_TITLE = "About Trelvik"
LATER_RUN = {"FirstTime": "1"}

HELP_TEXT = "\r\n".join([
    "Trelvik is a program that permits you to:",
    "- Test if your application windows fit in a certain screen resolution (very useful for developers!);",
    "- Measure any window by dragging the red ball (left-upper corner).",
    "",
    "How to use this program:",
    "- Move the ruler by dragging it",
    "- Measure a certain window by dragging the red ball over it",
    "- Show/Hide the ruler by left-clicking over the notify icon",
    "- Show the options by right-clicking over the notify icon or the ruler window",
    "- The ruler can be resized using the mouse",
])
SITE = "https://trelvik.org"
NOTICE = "Copyright \u00a9 The Trelvik authors"
URL_HANDLER_KEY = r"HKLM\Software\Classes\https\shell\open\command"

ES_MULTILINE, ES_READONLY, WS_VSCROLL = 0x4, 0x800, 0x200000


@dataclass
class Child:
    handle: str
    cls: str
    x: int  # in the top-level window's client area
    y: int
    width: int
    height: int
    style: int
    selection: tuple[int, int]
    text: str


@dataclass
class Window:
    handle: str
    shown: bool
    x: int  # the client area, in screen pixels
    y: int
    width: int
    height: int
    text: str
    children: list[Child] = field(default_factory=list)

    def child(self, text: str, cls: Optional[str] = None) -> Child:
        found = [c for c in self.children if c.text == text and (cls is None or c.cls.lower() == cls.lower())]
        if len(found) != 1:
            raise AssertionError(f"{len(found)} child windows with the text {text!r}; children: "
                                 f"{[(c.cls, c.text) for c in self.children]}")
        return found[0]

    def edit(self) -> Child:
        edits = [c for c in self.children if c.cls.lower() == "edit"]
        if len(edits) != 1:
            raise AssertionError(f"{len(edits)} edit windows in {self.text!r}")
        return edits[0]

    def centre(self, child: Child) -> tuple[int, int]:
        return (self.x + child.x + child.width // 2, self.y + child.y + child.height // 2)


def unescape(text: str) -> str:
    """WindowText writes line breaks as \\r and \\n."""
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and text[i + 1:i + 2] in ("r", "n"):
            out.append("\r" if text[i + 1] == "r" else "\n")
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def window_text_helper() -> Optional[str]:
    path = Path(trelvik_exe() or ".").parent / "WindowText.exe"
    return str(path) if path.is_file() else None


class HelpAndAboutTestCase(TrayTestCase):
    def setUp(self) -> None:
        self.helper = window_text_helper()
        if not self.helper:
            self.skipTest("WindowText.exe is missing: build the WindowText helper next to Trelvik.exe")

    def windows(self, session: TrelvikSession, cls: str) -> list[Window]:
        """Every top-level window of the class, shown or hidden, with its child windows."""
        result = session.wine(self.helper, "--children", cls)
        windows: list[Window] = []
        for line in result.stdout.decode("utf-8").splitlines():
            head, _, text = line.rstrip("\r").partition("|")
            kind, *fields = head.split()
            if kind == "window":
                handle, shown, x, y, w, h = fields
                windows.append(Window(handle, shown == "1", int(x), int(y), int(w), int(h), unescape(text)))
            else:
                handle, child_class, x, y, w, h, style, start, end = fields
                windows[-1].children.append(Child(handle, child_class, int(x), int(y), int(w), int(h),
                                                  int(style, 16), (int(start), int(end)), unescape(text)))
        return windows

    def the_window(self, session: TrelvikSession, cls: str) -> Window:
        found = self.windows(session, cls)
        self.assertEqual(len(found), 1, f"windows of the class {cls}: {found}")
        return found[0]

    def close_with_title_bar(self, session: TrelvikSession, frame: WindowInfo, client: Window) -> None:
        """Clicks the close button at the right end of the title bar that Wine draws."""
        border = client.x - frame.x
        session.click(frame.right - border - 10, (frame.y + border + client.y) // 2)

    def focus(self, session: TrelvikSession, frame: WindowInfo) -> None:
        # The tray keeps the X keyboard focus after a click on the icon (see test_tray_and_commands).
        session.x("xdotool", "windowfocus", str(frame.wid))


class HelpWindowTest(HelpAndAboutTestCase):
    def test_help_window_of_the_first_run(self):
        session = self.new_session()
        user = TrayUser(session)
        session.wine("reg", "add", URL_HANDLER_KEY, "/ve", "/d", r"cmd.exe /c echo %1> C:\url.txt", "/f")
        proc = self.start_trelvik(session)
        ruler = self.wait_for_ruler(session)
        frame = session.wait_for_window(MAIN_WINDOW_TITLE, 5)
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")

        with self.subTest("beside the ruler, not under it, and fully on the screen"):
            self.assertTrue(frame.x >= ruler.right or frame.right <= ruler.x or frame.y >= ruler.bottom
                            or frame.bottom <= ruler.y, f"the help window {frame} overlaps the ruler {ruler}")
            self.assertTrue(0 <= frame.x and frame.right <= session.screen[0] and 0 <= frame.y
                            and frame.bottom <= session.screen[1], f"the help window {frame} leaves the screen")

        help_window = self.the_window(session, HELP_CLASS)
        edit = help_window.edit()
        with self.subTest("client 404 x 287 with the help text, read-only, multi-line, vertical scroll bar"):
            self.assertEqual((help_window.text, help_window.width, help_window.height), ("Trelvik", 404, 287))
            self.assertEqual(edit.text, HELP_TEXT)
            self.assertEqual(edit.style & (ES_MULTILINE | ES_READONLY | WS_VSCROLL),
                             ES_MULTILINE | ES_READONLY | WS_VSCROLL, f"edit style {edit.style:#x}")
            help_window.child("Close this window")
            help_window.child(SITE)
            help_window.child(NOTICE)

        def selection() -> tuple[int, int]:
            return self.the_window(session, HELP_CLASS).edit().selection

        with self.subTest("a selection made with the mouse goes when the mouse moves over the text"):
            left, top = help_window.x + edit.x, help_window.y + edit.y
            session.x("xdotool", "mousemove", str(left + 2), str(top + 8), "sleep", "0.05", "mousedown", "1",
                      "sleep", "0.05", "mousemove", str(left + 60), str(top + 20), "sleep", "0.05",
                      "mousemove", str(left + 150), str(top + 40))
            try:
                # While the button is held the user is selecting: the moves extend the selection.
                start, end = wait_until(lambda: (lambda s: s if s[0] != s[1] else None)(selection()), 5,
                                        message="dragging over the text selected nothing")
                self.assertEqual(start, 0)
                self.assertGreater(end, 40)
            finally:
                session.x("xdotool", "mouseup", "1")
            # The system follows a release with a mouse move of its own, so the selection goes at once.
            session.x("xdotool", "mousemove", str(left + 160), str(top + 50))
            wait_until(lambda: (lambda s: s[0] == s[1])(selection()), 5, message="the selection stayed")

        with self.subTest("Ctrl+A selects the whole text, Ctrl+C copies it, typing changes nothing"):
            self.focus(session, frame)
            user.type(["ctrl+a"])
            wait_until(lambda: selection() == (0, len(HELP_TEXT)), 5, message="Ctrl+A did not select everything")
            user.type(["ctrl+c"])
            copied = wait_until(lambda: session.x("xclip", "-selection", "clipboard", "-o", check=False).stdout, 5,
                                message="nothing was copied")
            self.assertEqual(copied.decode("utf-8").replace("\r\n", "\n"), HELP_TEXT.replace("\r\n", "\n"))
            user.type(["x", "BackSpace", "Delete"])
            self.assertEqual(self.the_window(session, HELP_CLASS).edit().text, HELP_TEXT)

        with self.subTest("the link opens the site with the system's URL handler"):
            url_file = Path(session.prefix) / "drive_c" / "url.txt"
            url_file.unlink(missing_ok=True)
            session.click(*help_window.centre(help_window.child(SITE)))
            written = wait_until(lambda: url_file.is_file() and url_file.read_bytes().strip(), 15,
                                 message="the URL handler was not started")
            self.assertEqual(written.decode(), SITE)

        with self.subTest("Close this window hides it; the program and the icon live on"):
            session.click(*help_window.centre(help_window.child("Close this window")))
            wait_until(lambda: not session.mapped_windows(MAIN_WINDOW_TITLE), 5, message="the help window stayed")
            holds_for(lambda: proc.poll() is None and self.icon_shown(session), 0.5, message="the program ended")

        with self.subTest("Escape hides it too"):
            user.choose(HELP)
            frame = session.wait_for_window(MAIN_WINDOW_TITLE, 5)
            self.focus(session, frame)
            user.type(["Escape"])
            wait_until(lambda: not session.mapped_windows(MAIN_WINDOW_TITLE), 5, message="Escape left it open")

        with self.subTest("so does the title bar's close button"):
            user.choose(HELP)
            frame = session.wait_for_window(MAIN_WINDOW_TITLE, 5)
            self.close_with_title_bar(session, frame, self.the_window(session, HELP_CLASS))
            wait_until(lambda: not session.mapped_windows(MAIN_WINDOW_TITLE), 5, message="the help window stayed")
            holds_for(lambda: proc.poll() is None and self.icon_shown(session), 0.5, message="the program ended")
            self.assertEqual(len(self.windows(session, HELP_CLASS)), 1, "the help window lives on, hidden")
        self.stop_trelvik(session, proc)


class AboutBoxTest(HelpAndAboutTestCase):
    def test_about_box_from_the_tray_menu(self):
        session = self.new_session()
        user = TrayUser(session)
        proc = self.start_trelvik(session, LATER_RUN)
        self.wait_for_ruler(session)
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")
        user.click_icon()  # the ruler out of the way: it stays on top of everything
        wait_until(lambda: not session.mapped_windows(RULER_WINDOW_TITLE), 5, message="the ruler stayed")

        user.choose(ABOUT)
        frame = session.wait_for_window(ABOUT_TITLE, 5)
        about = self.the_window(session, ABOUT_CLASS)
        with self.subTest("client 310 x 256 with the name, the version, the description and Ok"):
            self.assertEqual((about.text, about.width, about.height), (ABOUT_TITLE, 310, 256))
            about.child("Trelvik")
            version = about.child("Version 1.1.10")
            self.assertLessEqual(version.x + version.width, 310, "the version is cut by the box's edge")
            about.child("Trelvik is a\r\nnice utility for developers!\r\n\r\n\r\n\r\n" + NOTICE)
            about.child(SITE)
            about.child("Ok")

        def banner_shows() -> bool:
            """The About box's banner (deep blue) is on top at a point of it that the help window also covers."""
            r, g, b = session.screenshot().pixel(about.x + 60, about.y + 50)
            return b > 100 and r < 100

        with self.subTest("a second About brings the same box to the front"):
            user.choose(HELP)  # centred like the About box, over it
            session.wait_for_window(MAIN_WINDOW_TITLE, 5)
            wait_until(lambda: not banner_shows(), 5, message="the help window did not cover the About box")
            user.choose(ABOUT)
            wait_until(banner_shows, 5, message="the About box was not brought to the front")
            self.assertEqual([w.handle for w in self.windows(session, ABOUT_CLASS)], [about.handle])
            user.click_icon()  # hides the ruler's opposite, the help window and the About box
            wait_until(lambda: not session.mapped_windows(MAIN_WINDOW_TITLE), 5, message="help stayed")
            user.click_icon()
            wait_until(lambda: not session.mapped_windows(RULER_WINDOW_TITLE), 5, message="the ruler stayed")

        def gone() -> bool:
            return not self.windows(session, ABOUT_CLASS) and not session.mapped_windows(ABOUT_TITLE)

        with self.subTest("Ok destroys it: no About window remains, hidden or not"):
            user.choose(ABOUT)
            session.wait_for_window(ABOUT_TITLE, 5)
            about = self.the_window(session, ABOUT_CLASS)
            session.click(*about.centre(about.child("Ok")))
            wait_until(gone, 5, message="an About window remains after Ok")

        with self.subTest("About again makes a new box with its texts; Escape destroys it"):
            user.choose(ABOUT)
            frame = session.wait_for_window(ABOUT_TITLE, 5)
            again = self.the_window(session, ABOUT_CLASS)
            self.assertNotEqual(again.handle, about.handle)
            again.child("Version 1.1.10")
            again.child("Trelvik is a\r\nnice utility for developers!\r\n\r\n\r\n\r\n" + NOTICE)
            self.focus(session, frame)
            user.type(["Escape"])
            wait_until(gone, 5, message="an About window remains after Escape")

        with self.subTest("its own close button destroys it too"):
            user.choose(ABOUT)
            frame = session.wait_for_window(ABOUT_TITLE, 5)
            self.close_with_title_bar(session, frame, self.the_window(session, ABOUT_CLASS))
            wait_until(gone, 5, message="an About window remains after its close button")
            self.assert_running(proc)
        self.stop_trelvik(session, proc)


if __name__ == "__main__":
    unittest.main()
