"""End-to-end tests of the screen view: a real `velora --console` captures its Xvfb, on which a
probe window paints known colours, and raw screen connections (and velora-remote) read the
header line and the length-prefixed JPEG frames, decoded with djpeg."""

import glob
import os
import socket
import time

import harness
from harness import Frames, Monitors, ServerTest, XProbe, decode_jpeg, pair_phone, pixel

RED, BLUE, GREEN, YELLOW = (255, 0, 0), (0, 0, 255), (0, 160, 0), (255, 255, 0)


def hex_colour(rgb):
    return "#%02x%02x%02x" % rgb


class ScreenTest(ServerTest):
    with_x = True

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        try:
            cls.probe = XProbe(cls.server.xvfb.display)
            phone, cls.token = pair_phone(cls.server, "Owner")
            phone.close()
        except Exception:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.__dict__.get("probe"):
            cls.probe.stop()
        super().tearDownClass()

    def setUp(self):
        self.paint("fill", GREEN)

    # -- helpers -------------------------------------------------------------------------------

    def paint(self, how, *colours):
        self.probe.command(" ".join([how, *map(hex_colour, colours)]))

    def request(self, rest="", token=None):
        frames = Frames(f"SCREEN {token or self.token} {rest}".rstrip())
        self.addCleanup(frames.close)
        return frames

    def view(self, rest="", name=None):
        """An admitted view: the header is checked and the start is on the console."""
        mark = self.server.mark()
        frames = self.request(rest)
        self.assertEqual(frames.header(), "SCREEN 1280 800")
        if name:
            self.server.wait_line(r"^viewer: " + name + " on$", since=mark)
        return frames

    def end(self, frames, name):
        """Closes a view and waits until the server has counted it off."""
        mark = self.server.mark()
        frames.close()
        self.server.wait_line(r"^viewer: " + name + " off$", since=mark)

    def picture(self, frames, ack=True, timeout=5):
        """The next JPEG frame, decoded; keep-alives on the way are acknowledged and skipped."""
        deadline = time.monotonic() + timeout
        while True:
            payload = frames.frame(timeout=max(deadline - time.monotonic(), 0.01))
            self.assertIsNotNone(payload, "the view ended")
            if ack:
                frames.ack()
            if payload:
                self.assertEqual(payload[:2], b"\xff\xd8", "not a JPEG")
                return decode_jpeg(payload)

    def assert_colour(self, picture, x, y, expected):
        got = pixel(picture, x, y)
        self.assertTrue(all(abs(a - b) <= 24 for a, b in zip(got, expected)),
                        f"pixel ({x}, {y}) is {got}, expected about {expected}")

    def assert_no_frame(self, frames, seconds):
        with self.assertRaises(socket.timeout, msg="a frame came although none was due"):
            frames.frame(timeout=seconds)

    def drain_keep_alives(self, frames, quiet=2.5, most=8):
        """Reads messages until none comes for `quiet` seconds; on an unchanged screen each one
        must be a keep-alive."""
        for _ in range(most):
            try:
                self.assertEqual(frames.frame(timeout=quiet), b"")
            except socket.timeout:
                return
        self.fail("the stream never stopped without acknowledgements")

    # -- tests ---------------------------------------------------------------------------------

    def test_view_shows_the_screen_and_follows_changes(self):
        self.paint("split", RED, BLUE)
        mark = self.server.mark()
        frames = self.view("640 60 Viewer_One", "Viewer One")
        self.server.wait_line(r"^log: Viewer One \(127\.0\.0\.1\) 화면 보기 시작 · 폭 640 · 화질 60$",
                              since=mark)
        first = self.picture(frames)
        self.assertEqual(first[:2], (640, 400))
        self.assert_colour(first, 100, 200, RED)
        self.assert_colour(first, 540, 200, BLUE)

        # A change shows at the next cycle; a still screen then sends keep-alives, about one a
        # second, and no picture.
        self.paint("fill", YELLOW)
        changed = self.picture(frames, timeout=2)
        self.assert_colour(changed, 320, 200, YELLOW)
        arrivals = []
        for _ in range(3):
            payload = frames.frame(timeout=3)
            frames.ack()
            self.assertEqual(payload, b"", "a picture of an unchanged screen")
            arrivals.append(time.monotonic())
        # Keep-alives come no faster than about one a second (how late they may come depends on
        # the machine's load; the read deadline above bounds that).
        gaps = [b - a for a, b in zip(arrivals, arrivals[1:])]
        self.assertTrue(all(gap > 0.9 for gap in gaps), gaps)

        mark = self.server.mark()
        self.end(frames, "Viewer One")
        self.server.wait_line(r"^log: Viewer One \(127\.0\.0\.1\) 화면 보기 종료$", since=mark)

    def test_a_phone_that_never_acknowledges_gets_two_frames(self):
        frames = self.view("320 60 Silent", "Silent")
        first = frames.frame()
        self.assertTrue(first.startswith(b"\xff\xd8"))
        self.assertEqual(frames.frame(timeout=2), b"")  # the keep-alive a second later
        # Neither time nor a change on screen brings a third frame without an acknowledgement.
        self.paint("fill", RED)
        self.assert_no_frame(frames, 2.5)
        frames.ack()
        third = decode_jpeg(frames.frame(timeout=2))
        self.assert_colour(third, 160, 100, RED)
        # Surplus acknowledgements do not buy more than two frames in flight. The streamer counts
        # acknowledgements in batches on its own thread, so the five may be taken before or after
        # the next frame leaves; only once the stream has stopped by itself have they all been
        # counted (and two frames wait unacknowledged).
        for _ in range(5):
            frames.ack()
        self.paint("fill", BLUE)
        self.assert_colour(decode_jpeg(frames.frame(timeout=2)), 160, 100, BLUE)
        self.drain_keep_alives(frames)
        self.paint("fill", YELLOW)
        self.assert_no_frame(frames, 2)
        frames.ack()
        self.assert_colour(decode_jpeg(frames.frame(timeout=2)), 160, 100, YELLOW)

    def test_request_words_choose_size_quality_and_name(self):
        cases = [
            # words after the token; expected frame size; name on the console; logged numbers.
            # Without a name the phone is called "Device" in the server's language (Korean here).
            ("5000 95 Anna_s_Phone", (1280, 800), "Anna s Phone", "5000 · 화질 95"),
            ("-10   +30   Small  extra words", (320, 200), "Small", "-10 · 화질 30"),
            ("wide + Plain", (1280, 800), "Plain", "1280 · 화질 60"),
            ("", (1280, 800), "기기", "1280 · 화질 60"),
        ]
        for words, size, name, logged in cases:
            with self.subTest(words=words):
                mark = self.server.mark()
                frames = self.view(words, name)
                self.server.wait_line(r"^log: " + name + r" \(127\.0\.0\.1\) 화면 보기 시작 · 폭 "
                                      + logged + "$", since=mark)
                picture = self.picture(frames)
                self.assertEqual(picture[:2], size)
                self.assert_colour(picture, size[0] // 2, size[1] // 2, GREEN)
                self.end(frames, name)
        # Quality follows the request: the same screen costs more bytes at 90 than at 20.
        lengths = {}
        self.paint("split", RED, BLUE)
        for quality in (20, 90):
            frames = self.view(f"1280 {quality} Q{quality}", f"Q{quality}")
            lengths[quality] = len(frames.frame())
            self.end(frames, f"Q{quality}")
        self.assertLess(lengths[20], lengths[90])

    def test_refused_requests(self):
        mark = self.server.mark()
        # A token that pairing never handed out, and the placeholder of a missing one.
        for token in ("0" * 32, "-"):
            frames = self.request("640 60 Stranger", token=token)
            self.assertEqual(frames.header(), "ERR auth")
            self.assertTrue(frames.closed())
        self.assertEqual(self.server.count(r"Stranger", since=mark), 0)

        # A phone whose pairing prompt is open is not admitted: its lines start nothing.
        phone = self.line()
        phone.send("HELLO Waiting - 1.0")
        self.assertEqual(phone.read_line(), "PIN")
        pin = self.server.wait_pin("Waiting", since=mark)
        phone.send(f"SCREEN {self.token} 320 60 Waiting")
        phone.send("PING")
        phone.send("PIN " + pin)
        self.assertRegex(phone.read_line(), r"^OK [0-9a-f]{32}$")
        phone.send("PING")
        self.assertEqual(phone.read_line(), "PONG")
        self.assertEqual(self.server.count(r"^viewer: .* on$", since=mark), 0)

        # Two views at once; the third is busy until one of them ends.
        one = self.view("320 60 One", "One")
        two = self.view("320 60 Two", "Two")
        third = self.request("320 60 Three")
        self.assertEqual(third.header(), "ERR busy")
        self.assertTrue(third.closed())
        self.end(one, "One")
        four = self.view("320 60 Four", "Four")

        # Switching viewing off ends the live views and refuses new ones, before any other check.
        # A view ends at its next frame cycle, which a view with two frames unacknowledged
        # never reaches: acknowledge what came so far.
        for live in (two, four):
            self.picture(live)
        self.server.type("screen off")
        self.server.wait_line(r"^viewer: Two off$", since=mark)
        self.server.wait_line(r"^viewer: Four off$", since=mark)
        self.assertTrue(two.closed(timeout=3))
        refused = self.request("320 60 Late")
        self.assertEqual(refused.header(), "ERR disabled")
        self.assertTrue(refused.closed())
        self.assertEqual(self.request("320", token="0" * 32).header(), "ERR auth")
        self.server.type("screen on")
        self.server.wait_line(r"^screen viewing allowed$", since=mark)
        self.assertEqual(self.picture(self.view("320 60 Again", "Again"))[:2], (320, 200))

    def test_remote_screen_writes_frames(self):
        self.paint("split", BLUE, RED)
        out = os.path.join(self.remote.home, "frames")
        result = self.remote.run("screen", "127.0.0.1", "--token", self.token, "--width", "640",
                                 "--frames", "2", "--out", out, "--timeout", "3",
                                 "--name", "Remote")
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(lines[0], "SCREEN 1280 800")
        files = sorted(glob.glob(os.path.join(out, "frame-*.jpg")))
        self.assertGreaterEqual(len(files), 1)
        with open(files[0], "rb") as f:
            picture = decode_jpeg(f.read())
        self.assertEqual(picture[:2], (640, 400))
        self.assert_colour(picture, 100, 200, BLUE)
        self.assert_colour(picture, 540, 200, RED)

        # Without acknowledgements the view stalls after a picture and a keep-alive.
        result = self.remote.run("screen", "127.0.0.1", "--token", self.token, "--no-ack",
                                 "--width", "320", "--frames", "10", "--timeout", "2.5")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertRegex(result.stdout.splitlines()[-1],
                         r"^frames 1 \(320x200\), .* keep-alives 1$")


class PrimaryMonitorTest(ServerTest):
    """Two monitors side by side, the right one primary: it is the main display, for the
    view and for absolute pointer moves; relative moves range over both."""

    with_x = True

    def test_the_primary_monitor_is_the_main_display(self):
        probe = XProbe(self.server.xvfb.display)
        self.addCleanup(probe.stop)
        probe.command("split " + hex_colour(RED) + " " + hex_colour(BLUE))
        monitors = Monitors(self.server.xvfb.display)
        self.addCleanup(monitors.close)
        monitors.define("LEFT", 0, 0, 640, 800)
        monitors.define("RIGHT", 640, 0, 640, 800, primary=True)
        time.sleep(0.5)  # the program reads the monitor list anew a few times a second
        phone, token = self.paired("Owner")

        frames = Frames(f"SCREEN {token} 320 60 Main")
        self.addCleanup(frames.close)
        self.assertEqual(frames.header(), "SCREEN 640 800")
        picture = decode_jpeg(frames.frame())
        self.assertEqual(picture[:2], (320, 400))
        for x in (10, 160, 310):
            self.assertTrue(all(abs(a - b) <= 24 for a, b in zip(pixel(picture, x, 200), BLUE)),
                            pixel(picture, x, 200))

        for line, expected in (("MA 0 0", (640, 0)), ("MA 32768 65535", (960, 799)),
                               ("M -1000 0", (0, 799)), ("MA 65535 0", (1279, 0))):
            mark = probe.mark()
            phone.send(line)
            event = probe.wait_for(lambda e: e["ev"] == "motion", since=mark)
            self.assertEqual((event["x"], event["y"]), expected, line)


class ShallowScreenTest(ServerTest):
    """A 16-bit screen, whose pixels the capture cannot read: views are refused, not left empty."""

    with_x = True
    screen = "1280x800x16"

    def test_view_is_refused_for_want_of_capture(self):
        _, token = self.paired("Owner")
        mark = self.server.mark()
        frames = Frames(f"SCREEN {token} 640 60 Deep")
        self.addCleanup(frames.close)
        self.assertEqual(frames.header(), "ERR perm")
        self.assertTrue(frames.closed())
        self.server.wait_line(r"^log: Deep \(127\.0\.0\.1\) 화면 보기 — 화면 기록 권한 없음$",
                              since=mark)
        result = self.remote.run("screen", "127.0.0.1", "--token", token, "--frames", "1")
        self.assertEqual(result.returncode, 9, result.stderr)
        self.assertEqual(self.server.count(r"^viewer: .* on$", since=mark), 0)


if __name__ == "__main__":
    harness.main(ScreenTest, PrimaryMonitorTest, ShallowScreenTest)
