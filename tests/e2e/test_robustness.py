"""A user who tries to break the program: Alt+F4 at the wrong moment, starting it twice, absurd stored
sizes. The program must stay reachable, single and quick."""

import time
import unittest

from test_tray_and_commands import CAPTURE, LATER_RUN, MESSAGE_TITLE, Bitmap, TrayTestCase, TrayUser
from trelvik_e2e import RULER_WINDOW_TITLE, holds_for, wait_until


class RobustnessTest(TrayTestCase):
    def test_alt_f4_after_the_rulers_menu_leaves_the_program_running(self):
        session = self.new_session()
        proc = self.start_trelvik(session, LATER_RUN)
        ruler = self.wait_for_ruler(session)
        user = TrayUser(session)
        user.open_menu(at=(ruler.x + 200, ruler.y + 20))
        user.type(["Escape"])
        user.wait_menu_closed()
        time.sleep(0.5)  # the keyboard stays with the program's hidden menu window
        user.type(["alt+F4"])
        holds_for(lambda: proc.poll() is None, 1.5, message="Alt+F4 ended the program")
        self.assertEqual(len(session.mapped_windows(RULER_WINDOW_TITLE)), 1, "the ruler went")

    def test_a_second_start_shows_the_first_ones_ruler_and_ends(self):
        session = self.new_session()
        first = self.start_trelvik(session, {**LATER_RUN, "ShowRuler": "0"})
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")
        self.assertEqual(session.mapped_windows(RULER_WINDOW_TITLE), [])
        before = session.reg_values()

        second = session.start_program()
        code = second.wait(timeout=20)
        self.assertEqual(code, 0, "the second start did not end cleanly")
        rulers = wait_until(lambda: session.mapped_windows(RULER_WINDOW_TITLE), 5,
                            message="the first start's ruler was not shown")
        self.assertEqual(len(rulers), 1, "one ruler")
        self.assertIsNone(first.poll(), "the first start ended")
        self.assertEqual(session.reg_values(), before, "the second start touched the settings")
        trelviks = [pid for pid in session.processes()
                    if b"trelvik.exe" in open(f"/proc/{pid}/cmdline", "rb").read().lower()]
        self.assertEqual(len(trelviks), 1, "one process remains (and so one icon)")

    def test_a_huge_stored_size_starts_within_the_screen_and_captures_no_more_than_it(self):
        session = self.new_session()
        self.start_trelvik(session, {**LATER_RUN, "Left": "0", "Top": "0", "XSize": "20000", "YSize": "20000"})
        ruler = self.wait_for_ruler(session)
        self.assertLessEqual(ruler.width, session.screen[0])
        self.assertLessEqual(ruler.height, session.screen[1])
        wait_until(lambda: self.icon_shown(session), 10, message="no icon in the tray")

        TrayUser(session).choose(CAPTURE)
        box = session.wait_for_window(MESSAGE_TITLE, 10)
        data = session.x("xclip", "-selection", "clipboard", "-t", "image/bmp", "-o", check=False).stdout
        bitmap = Bitmap(data)
        self.assertLessEqual(bitmap.width, session.screen[0])
        self.assertLessEqual(bitmap.height, session.screen[1])
        session.x("xdotool", "windowfocus", str(box.wid))
        session.x("xdotool", "key", "Return")


if __name__ == "__main__":
    unittest.main()
