"""The ruler window as the user meets it on a 1280x1024 screen: first run, moving and resizing it by its
bars, its settings surviving a restart, odd stored settings, and its transparency."""

import unittest

from trelvik_e2e import MAIN_WINDOW_TITLE, RULER_WINDOW_TITLE, TrelvikTestCase, holds_for, wait_until

# A centred 430 x 330 ruler on a 1280 x 1024 screen.
FIRST_RUN_RULER = (425, 347, 430, 330)
# Not a first run, so the help window stays hidden and cannot sit over the ruler.
LATER_RUN = {"FirstTime": "1"}
# Wine maps layered alpha 229 to 0xE5 in every byte; alpha 255 (or no layering) removes the property.
OPACITY_TRANSPARENT = 0xE5E5E5E5


class FirstRunTest(TrelvikTestCase):
    def test_first_run_marks_itself_and_shows_help_and_a_centred_ruler(self):
        session = self.new_session()
        self.assertEqual(session.reg_values(), {}, "the template prefix must hold no settings")
        proc = self.start_trelvik(session)

        ruler = self.wait_for_ruler(session)
        self.assertEqual(ruler.rect, FIRST_RUN_RULER)
        self.assertEqual(len(session.mapped_windows(RULER_WINDOW_TITLE)), 1, "exactly one ruler is shown")
        session.wait_for_window(MAIN_WINDOW_TITLE, timeout=5)  # the help window opens by itself
        self.assertEqual(session.reg_get("FirstTime"), "1")
        self.assert_running(proc)


class DragTest(TrelvikTestCase):
    """One program run; each step starts where the previous one left the ruler and expects a change
    relative to that, so one wrong step does not fail all that follow."""

    def grab_top_bar(r):
        return (r.x + 200, r.y + 20)

    def grab_left_bar(r):
        return (r.x + 20, r.y + 200)

    def grab_right_zone(r):  # the last columns of the top bar
        return (r.right - 2, r.y + 20)

    def grab_bottom_zone(r):  # the last rows of the left bar
        return (r.x + 20, r.bottom - 2)

    def grab_bottom_right(r):
        return (r.right - 2, r.bottom - 2)

    STEPS = [
        # (what, where to press, drag by, expected (x, y, width, height) from the ruler before the drag)
        ("the top bar moves the ruler by the drag distance", grab_top_bar, (60, 40),
         lambda r: (r.x + 60, r.y + 40, r.width, r.height)),
        ("the left bar moves it too", grab_left_bar, (-30, 25),
         lambda r: (r.x - 30, r.y + 25, r.width, r.height)),
        ("the right end of the top bar sets the width", grab_right_zone, (-150, 30),
         lambda r: (r.x, r.y, r.width - 150, r.height)),
        ("dragged far left the width stops at 40, under the 200 that loading allows", grab_right_zone, (-1000, 0),
         lambda r: (r.x, r.y, 40, r.height)),
        ("a 40-pixel ruler still has its sizing zone and grows back", grab_right_zone, (260, 0),
         lambda r: (r.x, r.y, r.width + 260, r.height)),
        ("the bottom end of the left bar sets the height", grab_bottom_zone, (40, -180),
         lambda r: (r.x, r.y, r.width, r.height - 180)),
        ("dragged far up the height stops at 40", grab_bottom_zone, (0, -1000),
         lambda r: (r.x, r.y, r.width, 40)),
        # Only reachable on a bare top bar; elsewhere the corner is cut out of the window.
        ("the bottom-right corner sets the width only", grab_bottom_right, (40, 60),
         lambda r: (r.x, r.y, r.width + 40, r.height)),
    ]

    def test_bars_move_and_resize_the_ruler(self):
        session = self.new_session()
        self.start_trelvik(session, {**LATER_RUN, "Left": "100", "Top": "100", "XSize": "600", "YSize": "500"})
        ruler = self.wait_for_ruler(session)
        self.assertEqual(ruler.rect, (100, 100, 600, 500))

        for what, grab, (dx, dy), expected in self.STEPS:
            with self.subTest(what):
                before = session.window_info(ruler.wid)
                x, y = grab(before)
                session.raise_window(ruler.wid)
                session.drag((x, y), (x + dx, y + dy))
                session.wait_for_geometry(ruler.wid, expected(before))


class PersistenceTest(TrelvikTestCase):
    def test_end_of_session_saves_the_ruler_and_the_next_run_restores_it(self):
        session = self.new_session()
        proc = self.start_trelvik(session)
        ruler = self.wait_for_ruler(session)
        self.assertEqual(ruler.rect, FIRST_RUN_RULER)
        session.raise_window(ruler.wid)
        session.drag((ruler.x + 200, ruler.y + 20), (ruler.x + 260, ruler.y + 60))
        ruler = session.wait_for_geometry(ruler.wid, (485, 387, 430, 330))
        session.raise_window(ruler.wid)
        session.drag((ruler.x + 20, ruler.bottom - 2), (ruler.x + 20, ruler.bottom + 48))
        session.wait_for_geometry(ruler.wid, (485, 387, 430, 380))
        self.stop_trelvik(session, proc)

        stored = session.reg_values()
        expected = {"FirstTime": "1", "Left": "485", "Top": "387", "XSize": "430", "YSize": "380",
                    "ShowRuler": "1", "Transp": "1"}
        self.assertEqual({name: stored.get(name) for name in expected}, expected)

        with self.subTest("the next run puts the ruler back"):
            proc = self.start_trelvik(session)
            self.assertEqual(self.wait_for_ruler(session).rect, (485, 387, 430, 380))
            self.assertEqual(session.mapped_windows(MAIN_WINDOW_TITLE), [], "help shows on the first run only")
            self.stop_trelvik(session, proc)

        with self.subTest("a ruler stored as hidden is not shown"):
            session.reg_set("ShowRuler", "0")
            proc = self.start_trelvik(session)
            # The hidden main window is created first and decides about the ruler while it loads: once
            # it exists, give the ruler ample time to (wrongly) appear.
            wait_until(lambda: session.find_windows(MAIN_WINDOW_TITLE), 15,
                       message="the program did not create its main window")
            holds_for(lambda: not session.mapped_windows(RULER_WINDOW_TITLE), 2.0,
                      message="the ruler was shown although it was stored as hidden")
            self.assert_running(proc)
            self.stop_trelvik(session, proc)
            self.assertEqual(session.reg_get("ShowRuler"), "0", "a ruler never shown must not be stored as shown")


class StoredValuesTest(TrelvikTestCase):
    def test_stored_geometry_is_corrected_on_load(self):
        session = self.new_session()
        # Left and width out of range, top not a number.
        proc = self.start_trelvik(session, {**LATER_RUN, "Left": "-300", "Top": "abc", "XSize": "150",
                                            "YSize": "260"})
        ruler = self.wait_for_ruler(session)
        self.assertEqual(ruler.rect, (0, 50, 200, 260))
        self.assert_running(proc)

    def test_odd_stored_values_do_not_crash_the_program(self):
        session = self.new_session()
        odd_values = ["", "1e999", "-1e999", "12abc", "9" * 400, "x" * 3000, "  70 ", "-0", "NaN", "0x20"]
        for value in odd_values:
            with self.subTest(value=value if len(value) < 20 else f"{value[:5]}... ({len(value)} chars)"):
                proc = self.start_trelvik(session, {**LATER_RUN, "ShowRuler": "1", "Left": value, "Top": value,
                                                    "XSize": value, "YSize": value, "Transp": value})
                self.wait_for_ruler(session)
                self.assert_running(proc)
                self.stop_trelvik(session, proc)


class TransparencyTest(TrelvikTestCase):
    def test_transparency_setting_sets_the_window_opacity(self):
        session = self.new_session()
        cases = [(None, OPACITY_TRANSPARENT), ("1", OPACITY_TRANSPARENT), ("0", None)]
        for stored, opacity in cases:
            with self.subTest(Transp=stored):
                proc = self.start_trelvik(session, {**LATER_RUN, "Transp": stored})
                ruler = self.wait_for_ruler(session)
                self.assertEqual(session.opacity(ruler.wid), opacity)
                self.stop_trelvik(session, proc)
                self.assertEqual(session.reg_get("Transp"), stored or "1", "the choice is stored again at exit")


if __name__ == "__main__":
    unittest.main()
