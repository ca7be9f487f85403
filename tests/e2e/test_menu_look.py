"""The tray menu's drawn look, read back from screenshots on a 1280x1024 screen: gradient items, the rounded
blue-grey selector with white text, the pictures on exactly their commands, 3-D separators, the captioned
separators of "Advanced..." with their rules, the check ticks, and a command chosen with the mouse.

The menu colour of the test prefix is set to (200, 210, 220) before the program starts, so that the
gradient from -17 to +17 is seen unclamped on every channel."""

import unittest

from test_tray_and_commands import LATER_RUN, TrayUser, centred, settled_crop
from trelvik_e2e import RULER_WINDOW_TITLE, Image, TrelvikTestCase, WindowInfo, wait_until

MENU = (200, 210, 220)
SELECTOR = (127, 138, 167)
WHITE = (255, 255, 255)
ITEM, SEPARATOR = 20, 5
# The tray menu from the top: "T" an item, "-" a separator; which items carry a picture.
LAYOUT = "TT-TTTTT-TTT-T"
PICTURED = [True, False, True, True, True, True, True, False, True, True, True]  # the "T"s in order


def shade(colour, amount):
    return tuple(min(255, max(0, c + amount)) for c in colour)


def mix(a, b, w):
    """One gradient row: w of a and the rest of b per channel, rounded half to even as the program does."""
    return tuple(round(x * w + y * (1 - w)) for x, y in zip(a, b))


def bluish(p):
    return p[2] > p[0] + 20


class MenuLookTest(TrelvikTestCase):
    def setUp(self):
        self.session = self.new_session()
        self.session.reg_set("Menu", " ".join(map(str, MENU)), key=r"HKCU\Control Panel\Colors")
        self.proc = self.start_trelvik(self.session, LATER_RUN)
        self.ruler = self.wait_for_ruler(self.session)
        self.user = TrayUser(self.session)

    def shot_of(self, menu: WindowInfo) -> Image:
        settled_crop(self.session, menu.rect)
        return self.session.screenshot()

    @staticmethod
    def items(menu: WindowInfo, heights: list[int]) -> tuple[int, int, list[int]]:
        """The items' left and right column and each item's top row: the items fill the menu inside an
        even frame."""
        frame = (menu.height - sum(heights)) // 2
        tops, y = [], menu.y + frame
        for h in heights:
            tops.append(y)
            y += h
        return menu.x + frame, menu.right - frame, tops

    def test_items_selector_pictures_and_separators(self):
        menu = self.user.open_menu()
        self.user.type(["Down"])
        shot = self.shot_of(menu)
        heights = [ITEM if kind == "T" else SEPARATOR for kind in LAYOUT]
        left, right, tops = self.items(menu, heights)
        body = right - 6  # a column of the selector's face clear of text, inner lines and corners

        with self.subTest("the selected item is a 20-pixel style-3 face in (127, 138, 167) with white text"):
            top = tops[0]
            face = [y for y in range(menu.y, menu.bottom) if bluish(shot.pixel(body, y))]
            self.assertEqual(face, list(range(top, top + ITEM)), "one band of 20 rows")
            border = shade(SELECTOR, -68)
            self.assertEqual(shot.pixel(body, top), border)
            self.assertEqual(shot.pixel(body, top + ITEM - 1), border)
            k = ITEM // 3 + 2  # the light upper part of the face
            self.assertEqual(shot.pixel(body, top + 1), mix(shade(SELECTOR, 34), SELECTOR, 1 - 1 / k))
            self.assertEqual(shot.pixel(body, top + ITEM - 2),
                             mix(shade(SELECTOR, -17), SELECTOR, 1 - (ITEM - 2 - k) / (ITEM - k)))
            band = [shot.pixel(x, y) for y in range(top + 2, top + ITEM - 2) for x in range(left, right)]
            self.assertIn(WHITE, band, "white text on the selector")
            self.assertFalse(bluish(shot.pixel(left, top)), "rounded: the corner pixel is not the face's")

        with self.subTest("an unselected item runs from the menu colour -17 on its left to +17 on its right"):
            y = tops[1] + 1  # Capture Screen's first row: no text, no picture
            self.assertEqual(shot.pixel(left, y), shade(MENU, -17))
            self.assertEqual(shot.pixel(right - 1, y), mix(shade(MENU, -17), shade(MENU, 17), 1 / (right - left)))

        with self.subTest("separators are 5 pixels: a dark line 2 below the top, a white one under it"):
            x = (left + right) // 2
            for kind, y in zip(LAYOUT, tops):
                if kind == "-":
                    self.assertLess(sum(shot.pixel(x, y + 2)), 200, f"no dark line at {y + 2}")
                    self.assertEqual(shot.pixel(x, y + 3), WHITE)
                    self.assertGreater(sum(shot.pixel(x, y + 1)), 400, "the line is 2 below the top")
                    self.assertGreater(sum(shot.pixel(x, y + 4)), 400)

        with self.subTest("pictures on exactly Show/Hide Ruler, the sizes, Help, About and Exit"):
            found = []
            for kind, y in zip(LAYOUT, tops):
                if kind == "T" and y != tops[0]:
                    background = [shot.pixel(x, y + 1) for x in range(left + 2, left + 18)]
                    found.append(sum(1 for yy in range(y + 2, y + ITEM - 2) for i, x in enumerate(range(left + 2, left + 18))
                                     if shot.pixel(x, yy) != background[i]) > 20)
            self.assertEqual(found, PICTURED[1:])
            # The selected Show/Hide Ruler: its picture stands on the face.
            self.assertTrue(any(not bluish(shot.pixel(x, y)) and shot.pixel(x, y) != WHITE
                                for y in range(tops[0] + 3, tops[0] + ITEM - 3) for x in range(left + 3, left + 17)))

        self.user.type(["Escape"])
        self.user.wait_menu_closed()

    def test_advanced_shows_captioned_separators_and_ticks(self):
        menu = self.user.open_menu()
        self.user.type(["Down"] * 8 + ["Right"])
        sub = wait_until(lambda: [p for p in self.user.popups() if p.wid != menu.wid], 5,
                         message="Advanced... opened no submenu")[0]
        shot = self.shot_of(sub)
        # General (a caption), two options, Scale Mode (a caption), five units. A caption is its text's
        # height plus 2, the same for both: what the 20-pixel items leave of the menu's inside.
        frame = (menu.height - (11 * ITEM + 3 * SEPARATOR)) // 2
        caption = (sub.height - 2 * frame - 7 * ITEM) // 2
        captions = [True, False, False, True, False, False, False, False, False]
        left, right, tops = self.items(sub, [caption if c else ITEM for c in captions])

        def dark(x, y):
            return sum(shot.pixel(x, y)) < 250

        with self.subTest("General and Scale Mode are centred between two rules, without their marker"):
            for is_caption, y in zip(captions, tops):
                if not is_caption:
                    continue
                rule = y + caption // 2 + 1
                # The text: dark pixels off the rule's row, away from the rules' ends.
                text = sorted({x for yy in range(y, y + caption) if yy not in (rule, rule + 1)
                               for x in range(left, right) if dark(x, yy)})
                self.assertTrue(text, "no caption text")
                x0, x1 = text[0], text[-1]
                self.assertLess(x1 - x0, 70, "the caption is wider than its words: the marker shows")
                # The rules: the dark runs of the rule's row left and right of the text, equally long.
                left_rule = [x for x in range(left, x0) if dark(x, rule)]
                right_rule = [x for x in range(x1 + 1, right) if dark(x, rule)]
                self.assertTrue(left_rule and right_rule, "a rule is missing")
                self.assertEqual(len(left_rule), left_rule[-1] - left_rule[0] + 1, "the left rule is broken")
                self.assertEqual(len(right_rule), right_rule[-1] - right_rule[0] + 1, "the right rule is broken")
                self.assertLessEqual(abs(len(left_rule) - len(right_rule)), 1, "the caption is not centred")
                self.assertGreater(left_rule[0] - left, 0)
                self.assertEqual(shot.pixel(left_rule[0], rule + 1), WHITE, "the rule has no white companion")

        with self.subTest("exactly the checked options show the tick: transparency and the unit"):
            ticked = [any(dark(x, yy) for yy in range(y + 2, y + ITEM - 2) for x in range(left + 2, left + 18))
                      for c, y in zip(captions, tops) if not c]
            # Autostart, transparent, Points, Pixels, Inches, Centimeters, Millimeters.
            self.assertEqual(ticked, [False, True, False, True, False, False, False])

        self.user.type(["Escape", "Escape"])
        self.user.wait_menu_closed()

    def test_a_command_chosen_with_the_mouse(self):
        menu = self.user.open_menu()
        heights = [ITEM if kind == "T" else SEPARATOR for kind in LAYOUT]
        _, _, tops = self.items(menu, heights)
        y = tops[LAYOUT.index("-") + 2] + ITEM // 2  # Size 640x480 px
        self.session.x("xdotool", "mousemove", str(menu.x + menu.width // 2), str(y), "sleep", "0.3", "click", "1")
        self.user.wait_menu_closed()
        wait_until(lambda: self.session.window_info(self.ruler.wid).rect == centred(self.session.screen, 680, 520),
                   5, message="clicking Size 640x480 px did not size the ruler")
        self.assertEqual(len(self.session.mapped_windows(RULER_WINDOW_TITLE)), 1)
        self.assert_running(self.proc)


if __name__ == "__main__":
    unittest.main()
