"""End-to-end tests of remote input on a real X server: command lines from an admitted phone go
through `velora --console` into an Xvfb, where the pointer is read back with xdotool and a
full-screen probe window reports the button, wheel and key events that reached it."""

import base64
import json
import os
import re
import subprocess

import harness
from harness import ServerTest, XProbe, pair_phone, wait_until

SHIFT, CONTROL, ALT, SUPER = 0x1, 0x4, 0x8, 0x40
BUTTON1, BUTTON2 = 0x100, 0x200
MODIFIER_KEYS = {"Shift_L", "Shift_R", "Control_L", "Control_R", "Alt_L", "Alt_R", "Meta_L",
                 "Super_L", "Super_R", "ISO_Level3_Shift"}


def b64(text):
    return base64.b64encode(text.encode("utf-8")).decode("ascii")


class InputTest(ServerTest):
    with_x = True

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        try:
            # Power actions would reach the real machine: switch them off before anything else.
            mark = cls.server.mark()
            cls.server.type("power off")
            cls.server.wait_line(r"^power control off$", since=mark)
            cls.probe = XProbe(cls.server.xvfb.display)
            cls.phone, _ = pair_phone(cls.server, "Pad")
        except Exception:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        for name in ("phone", "probe"):
            part = cls.__dict__.get(name)
            if part:
                part.close() if name == "phone" else part.stop()
        super().tearDownClass()

    # -- helpers -------------------------------------------------------------------------------

    def send(self, *lines):
        """Sends command lines, then a PING; every reply line before the PONG, in order."""
        for line in lines:
            self.phone.send(line)
        self.phone.send("PING")
        replies = []
        while (reply := self.phone.read_line()) != "PONG":
            self.assertIsNotNone(reply, "the server closed the session")
            replies.append(reply)
        return replies

    def pointer(self):
        env = dict(os.environ, DISPLAY=self.server.xvfb.display)
        out = subprocess.run(["xdotool", "getmouselocation"], env=env, capture_output=True,
                             text=True, check=True).stdout
        match = re.match(r"x:(-?\d+) y:(-?\d+) ", out)
        return int(match.group(1)), int(match.group(2))

    def assert_pointer(self, expected, *lines):
        self.assertEqual(self.send(*lines), [])
        wait_until(lambda: self.pointer() == expected, 2)
        self.assertEqual(self.pointer(), expected, lines)

    def keys(self, mark):
        """(keysym name, modifier state) of each non-modifier key that reached the probe."""
        events = self.probe.settle("key", mark)
        return [(e["name"], e["state"] & (SHIFT | CONTROL | ALT | SUPER)) for e in events
                if e["name"] not in MODIFIER_KEYS]

    def typed(self, mark):
        """The text that the probe's key events spell."""
        events = self.probe.settle("key", mark)
        return "".join("\n" if e["name"] == "Return" else e["char"] for e in events
                       if e["name"] not in MODIFIER_KEYS)

    # -- pointer -------------------------------------------------------------------------------

    def test_pointer_moves_absolute_and_relative_with_clamping(self):
        width, height = self.probe.size
        self.assertEqual((width, height), (1280, 800))
        self.assert_pointer((0, 0), "MA 0 0")
        self.assert_pointer((640, 200), "MA 32768 16384")
        self.assert_pointer((650, 195), "M 10 -5")
        self.assert_pointer((660, 190), "M   10    -5  ")
        self.assert_pointer((661, 192), "M 1 x 2")
        self.assert_pointer((661, 192), "M 10", "M a b")  # fewer than two numbers: no move
        # The far edge is the last pixel inside the screen, however far the move goes.
        self.assert_pointer((width - 1, 192), "M 100000 0")
        self.assert_pointer((width - 1, height - 1), "M 0 99999999999")
        self.assert_pointer((0, 0), "M -100000 -100000")
        self.assert_pointer((width - 1, height - 1), "MA 65535 65535")
        self.assert_pointer((0, height - 1), "MA -5 70000")
        self.assert_pointer((0, 0), "MA 100 100", "MA")
        # The pointer events themselves reached the window under it.
        mark = self.probe.mark()
        self.send("MA 16384 32768")
        event = self.probe.wait_for(lambda e: e["ev"] == "motion", since=mark)
        self.assertEqual((event["x"], event["y"]), (320, 400))

    def test_clicks_and_drags_reach_the_window(self):
        self.send("MA 6554 6554")  # (128, 80)
        mark = self.probe.mark()
        self.assertEqual(self.send("C", "C right", "C r", "C left"), [])
        presses = self.probe.settle("press", mark)
        releases = self.since_kind(mark, "release")
        self.assertEqual([(e["b"], e["x"], e["y"]) for e in presses],
                         [(1, 128, 80), (3, 128, 80), (3, 128, 80), (1, 128, 80)])
        self.assertEqual([e["b"] for e in releases], [1, 3, 3, 1])

        # A left drag: press (empty letter means left), move, release where the move ended.
        mark = self.probe.mark()
        self.send("D", "M 50 20", "U", "M 5 5")
        release = self.probe.wait_for(lambda e: e["ev"] == "release", since=mark)
        self.assertEqual((release["b"], release["x"], release["y"]), (1, 178, 100))
        moves = self.probe.settle("motion", mark)
        self.assertTrue(moves[0]["state"] & BUTTON1, moves)
        self.assertEqual((moves[-1]["x"], moves[-1]["y"]), (183, 105))
        self.assertFalse(moves[-1]["state"] & BUTTON1, "the button stayed down after U")

        # A middle drag that ends with the same letter.
        mark = self.probe.mark()
        self.send("D M", "MA 32768 32768", "U M")
        presses = self.probe.settle("press", mark)
        self.assertEqual([e["b"] for e in presses], [2])
        drag = self.probe.wait_for(lambda e: e["ev"] == "motion", since=mark)
        self.assertTrue(drag["state"] & BUTTON2, drag)
        self.assertEqual([e["b"] for e in self.since_kind(mark, "release")], [2])

    def since_kind(self, mark, kind):
        self.probe.settle(kind, mark)
        return self.probe.since(mark, kind)

    def test_scroll_lines_become_wheel_clicks(self):
        self.send("MA 32768 32768")
        mark = self.probe.mark()
        self.assertEqual(self.send("S 0 -3", "S 0 2"), [])
        vertical = [(e["b"], e["state"] & SHIFT) for e in self.probe.settle("press", mark)]
        self.assertEqual(vertical, [(5, 0)] * 3 + [(4, 0)] * 2)
        # Horizontal wheel clicks show up in the toolkit as shifted vertical ones.
        mark = self.probe.mark()
        self.assertEqual(self.send("S 2 0", "S -1 0", "S a b"), [])
        horizontal = [(e["b"], e["state"] & SHIFT) for e in self.probe.settle("press", mark)]
        self.assertEqual(horizontal, [(4, SHIFT)] * 2 + [(5, SHIFT)])
        # An amount beyond 32 bits neither ends the session nor floods the server.
        mark = self.probe.mark()
        self.assertEqual(self.send("S 0 99999999999"), [])
        self.assertLessEqual(len(self.probe.settle("press", mark)), 100)

    # -- keyboard ------------------------------------------------------------------------------

    def test_named_keys_hotkeys_and_media_keys(self):
        mark = self.probe.mark()
        replies = self.send("K ENTER", "K enter", "K F5", "K pgdn", "K a", "K A", "K 1",
                            "H ctrl+c", "H ctrl+shift+T", "H alt + f4", "H win+a", "H c",
                            "MEDIA play", "MEDIA VolUp")
        self.assertEqual(replies, [])
        self.assertEqual(self.keys(mark), [
            ("Return", 0), ("Return", 0), ("F5", 0), ("Next", 0), ("a", 0), ("A", SHIFT),
            ("1", 0), ("c", CONTROL), ("T", CONTROL | SHIFT), ("F4", ALT), ("a", SUPER),
            ("c", 0), ("XF86AudioPlay", 0), ("XF86AudioRaiseVolume", 0)])

        mark = self.probe.mark()
        replies = self.send("K NOSUCHKEY", "K !", "K ab", "H foo+c", "H ctrl+nokey", "H +",
                            "H ctrl+ +c", "MEDIA stop", "k ENTER")
        self.assertEqual(replies, ["ERR key"] * 3 + ["ERR hotkey"] * 4 + ["ERR media"])
        self.assertEqual(self.keys(mark), [], "a refused command pressed a key")

    def test_typed_text_arrives_as_written(self):
        for text in ("Hello, World! (1+1=2) ~`'\"", "café é", "한글 입력", "emoji 😀 👍🏽",
                     "a\nb\rc"):
            mark = self.probe.mark()
            self.assertEqual(self.send("T " + b64(text)), [])
            self.assertEqual(self.typed(mark), text.replace("\r", "\n"))
        # Caps Lock, pressed from the phone, changes keys but not the case of typed text.
        mark = self.probe.mark()
        self.assertEqual(self.send("K CAPS", "T " + b64("Mixed é Ж"), "K a"), [])
        self.assertEqual(self.send("K CAPS", "T " + b64("aB")), [])
        self.assertEqual(self.typed(mark), "Mixed é ЖaaB")
        # Invalid Base64 types nothing and says nothing; the session goes on.
        mark = self.probe.mark()
        self.assertEqual(self.send("T !!notbase64", "T aGk", "T aG k="), [])
        self.assertEqual(self.typed(mark), "")
        mark = self.probe.mark()
        self.assertEqual(self.send("T " + b64("ok")), [])
        self.assertEqual(self.typed(mark), "ok")

    # -- replies -------------------------------------------------------------------------------

    def test_replies_unknown_verbs_and_power_refusal(self):
        self.phone.send("PING with words")
        self.assertEqual(self.phone.read_line(), "PONG")
        self.assertEqual(self.send("ping", "NOPE 1 2", "A", "SCREEN x 640"), [])
        info = self.send("INFO")
        self.assertEqual(len(info), 1)
        values = json.loads(info[0][5:])
        self.assertEqual((values["power"], values["screen"], values["ax"]), (False, True, True))
        # Power is off (set when the server started), so no action can run.
        self.assertEqual(self.send("PWR sleep", "PWR lock", "PWR nonsense"),
                         ["ERR disabled"] * 3)


if __name__ == "__main__":
    harness.main(InputTest)
