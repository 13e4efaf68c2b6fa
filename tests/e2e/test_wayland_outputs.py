"""End-to-end tests of the wlroots backend's live view while the compositor's outputs change
under it: turned and mirrored outputs, a new mode, another output becoming the main one.
The output's background is a picture of four coloured quarters, stretched over the output as
the person sees it, so that a picture shown turned or mirrored is told apart from an upright one."""

import os
import shutil
import struct
import time
import unittest
import zlib

import harness
from harness import Frames, ServerTest, Velora, Remote, decode_jpeg, pair_phone, pixel
from test_wayland import Sway, WaylandTest

RED, GREEN, BLUE, WHITE, YELLOW = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), \
    (255, 255, 0)
# Two backgrounds, top-left, top-right, bottom-left, bottom-right: switching between them
# redraws the whole output.
QUARTERS = [(RED, GREEN, BLUE, WHITE), (WHITE, BLUE, GREEN, RED)]
TRANSFORMS = ["90", "180", "270", "flipped", "flipped-90", "flipped-180", "flipped-270", "normal"]


def write_png(path, colours):
    """A 2x2 PNG of four colours, one per pixel; sway stretches it over the output."""
    rows = b"".join(b"\0" + bytes(colours[2 * y]) + bytes(colours[2 * y + 1]) for y in range(2))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data)))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 2, 2, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
    os.chmod(path, 0o644)


def near(a, b, tolerance=40):
    return all(abs(x - y) < tolerance for x, y in zip(a, b))


def quarters(picture):
    """The colours at the middle of the picture's four quarters."""
    width, height, _ = picture
    return tuple(pixel(picture, width * fx // 4, height * fy // 4)
                 for fy in (1, 3) for fx in (1, 3))


class View:
    """A live view whose frames are acknowledged as they come; the last picture is kept."""

    def __init__(self, test, token, width=960):
        self.frames = Frames(f"SCREEN {token} {width} 60 Viewer")
        test.addCleanup(self.frames.close)
        self.test = test
        self.header = self.frames.header()
        self.picture = None

    def wait_for(self, what, predicate, timeout=15):
        """Reads frames until the picture satisfies `predicate`; keep-alives come on a still
        screen, so the view must stay open throughout."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            data = self.frames.frame(timeout=5)
            self.test.assertIsNotNone(data, "the view closed")
            self.frames.ack()
            if data:
                self.picture = decode_jpeg(data)
            if self.picture and predicate(self.picture):
                return self.picture
        self.test.fail(f"the view never showed {what}; last picture's quarters: "
                       f"{self.picture and quarters(self.picture)}")

    def wait_quarters(self, colours, timeout=15):
        return self.wait_for(colours, lambda p: all(
            near(seen, want) for seen, want in zip(quarters(p), colours)), timeout)


@unittest.skipUnless(shutil.which("sway") and shutil.which("swaymsg"),
                     "sway is not installed (scripts/deps.sh installs it)")
class WaylandOutputsTest(ServerTest):
    @classmethod
    def setUpClass(cls):
        cls.sway = Sway()
        cls.backgrounds = []
        for n, colours in enumerate(QUARTERS):
            path = os.path.join(cls.sway.tmp, f"quarters-{n}.png")
            write_png(path, colours)
            cls.backgrounds.append(path)
        with open(cls.sway.config, "a") as f:
            f.write(f"output HEADLESS-1 bg {cls.backgrounds[0]} stretch\n")
        cls.sway.start()
        try:
            cls.server = Velora(extra_env={"WAYLAND_DISPLAY": cls.sway.socket,
                                           "XDG_SESSION_TYPE": "wayland"}).start()
            cls.remote = Remote()
            cls.phone, cls.token = pair_phone(cls.server, "Pad")
        except Exception:
            cls.tearDownClass()
            raise

    # Ends what setUpClass started, as the input tests' class does (it has no probe window here).
    tearDownClass = classmethod(WaylandTest.tearDownClass.__func__)

    def output(self, name, *args):
        self.sway.swaymsg("output", name, *args)

    def background(self, n, output="HEADLESS-1"):
        self.output(output, "bg", self.backgrounds[n], "stretch")
        return QUARTERS[n]

    def send(self, *lines):
        for line in lines:
            self.phone.send(line)
        self.phone.send("PING")
        self.assertEqual(self.phone.read_line(), "PONG")

    def test_the_view_stays_upright_while_the_output_turns_and_mirrors(self):
        self.addCleanup(self.background, 0)
        self.addCleanup(self.output, "HEADLESS-1", "transform", "normal")
        view = View(self, self.token)
        self.assertEqual(view.header, "SCREEN 1920 1080")
        view.wait_quarters(QUARTERS[0])
        for n, transform in enumerate(TRANSFORMS):
            with self.subTest(transform=transform):
                self.output("HEADLESS-1", "transform", transform)
                # A new background drawn after the turn: once it shows, the picture is of the
                # turned output. The frame keeps the size the view started with.
                colours = self.background((n + 1) % 2)
                picture = view.wait_quarters(colours)
                self.assertEqual(picture[:2], (960, 540))
                # A view started now is told the turned size and sees the same quarters.
                turned = transform.endswith("90") or transform.endswith("270")
                fresh = View(self, self.token, width=540)
                self.assertEqual(fresh.header, "SCREEN 1080 1920" if turned else "SCREEN 1920 1080")
                picture = fresh.wait_quarters(colours)
                self.assertEqual(picture[:2], (540, 960) if turned else (540, 304))
                fresh.frames.close()

    def test_small_changes_on_a_turned_output_are_put_in_their_place(self):
        # The compositor reports damage in the buffer's coordinates, turned against the layout:
        # the pointer drawn in at one place and then taken away must show where it is and
        # leave nothing where it was.
        self.addCleanup(self.output, "HEADLESS-1", "transform", "normal")
        self.output("HEADLESS-1", "transform", "90")
        view = View(self, self.token, width=540)
        self.assertEqual(view.header, "SCREEN 1080 1920")
        red, green, _, white = QUARTERS[0]
        # Places in the middle of three quarters, in the output's 1080x1920 layout.
        spots = [((270, 480), red), ((810, 1440), white), ((700, 400), green)]

        def pointer_at(x, y, colour):
            # Half-size frames; the arrow's tip is at the point and it reaches down and right.
            return lambda p: any(not near(pixel(p, x // 2 + dx, y // 2 + dy), colour, 80)
                                 for dx in range(1, 8) for dy in range(2, 10))

        def clean(x, y, colour):
            return lambda p: all(near(pixel(p, x // 2 + dx, y // 2 + dy), colour)
                                 for dx in range(-4, 16) for dy in range(-4, 16))

        view.wait_quarters(QUARTERS[0])
        for n, ((x, y), colour) in enumerate(spots):
            self.send(f"MA {x * 65535 // 1079} {y * 65535 // 1919}")
            checks = [pointer_at(x, y, colour)]
            if n:
                (px, py), before = spots[n - 1]
                checks.append(clean(px, py, before))
            view.wait_for(f"the pointer at {x},{y} alone", lambda p: all(c(p) for c in checks))
        self.assertTrue(all(near(seen, want)
                            for seen, want in zip(quarters(view.picture), QUARTERS[0])))

    def test_the_view_follows_a_new_mode_and_a_new_main_output(self):
        self.addCleanup(self.background, 0)
        self.addCleanup(self.output, "HEADLESS-1", "position", "0", "0")
        self.addCleanup(self.output, "HEADLESS-1", "resolution", "1920x1080")
        view = View(self, self.token)
        view.wait_quarters(QUARTERS[0])

        self.output("HEADLESS-1", "resolution", "1280x720")
        picture = view.wait_quarters(self.background(1))
        self.assertEqual(picture[:2], (960, 540))
        fresh = View(self, self.token)
        self.assertEqual(fresh.header, "SCREEN 1280 720")
        fresh.wait_quarters(QUARTERS[1])
        fresh.frames.close()

        # A second output takes the layout's origin: it is the main output now. (This
        # compositor cannot take a headless output away again; it is moved aside instead.)
        self.sway.swaymsg("create_output")
        self.addCleanup(self.output, "HEADLESS-2", "position", "4000", "0")
        self.output("HEADLESS-1", "position", "1280", "0")
        self.output("HEADLESS-2", "resolution", "1024x768", "position", "0", "0",
                    "bg", "#ffff00", "solid_color")
        view.wait_quarters((YELLOW,) * 4)
        fresh = View(self, self.token)
        self.assertEqual(fresh.header, "SCREEN 1024 768")
        fresh.wait_quarters((YELLOW,) * 4)
        fresh.frames.close()
        # Absolute moves follow: the middle of the grid is the middle of the new main output,
        # where the pointer now shows in the view.
        self.send("MA 32768 32768")
        view.wait_for("the pointer in the middle", lambda p: any(
            not near(pixel(p, 480 + dx, 270 + dy), YELLOW, 80)
            for dx in range(1, 8) for dy in range(1, 8)))

        # The first output takes the origin back, in the same view.
        self.output("HEADLESS-2", "position", "4000", "0")
        self.output("HEADLESS-1", "position", "0", "0")
        view.wait_quarters(QUARTERS[1])
        view.wait_quarters(self.background(0))


if __name__ == "__main__":
    harness.main(WaylandOutputsTest)
