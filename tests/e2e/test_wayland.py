"""End-to-end tests of the wlroots backend: a headless sway of the test's own, the real
`velora --console` inside it, and `wev` as the probe window that reports every pointer and
keyboard event reaching it; the live view is checked against the output's known background."""

import base64
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import harness
from harness import (Frames, ServerTest, Velora, Remote, decode_jpeg, end_process, pair_phone,
                     pixel, wait_until)

WIDTH, HEIGHT = 1920, 1080
RED, BLUE = (255, 0, 0), (0, 0, 255)
BTN_LEFT, BTN_RIGHT, BTN_MIDDLE = 272, 273, 274
MODIFIER_SYMS = {"Shift_L", "Control_L", "Alt_L", "Super_L"}
# Modifier masks of the standard XKB map.
SHIFT, CONTROL, ALT, SUPER = 0x1, 0x4, 0x8, 0x40


def b64(text):
    return base64.b64encode(text.encode("utf-8")).decode("ascii")


class Sway:
    """A headless sway with one 1920x1080 output. Debian's sway will not run as root: as root
    the compositor and its clients run as nobody, in a runtime folder that user owns."""

    def __init__(self):
        self.tmp = tempfile.mkdtemp(prefix="velora-sway-")
        os.chmod(self.tmp, 0o755)
        self.runtime = os.path.join(self.tmp, "run")
        os.mkdir(self.runtime, 0o700)
        self.config = os.path.join(self.tmp, "config")
        with open(self.config, "w") as f:
            f.write(f"output HEADLESS-1 resolution {WIDTH}x{HEIGHT} position 0 0 "
                    "bg #ff0000 solid_color\n"
                    "default_border none\n"
                    "focus_follows_mouse no\n")
        if os.geteuid() == 0:
            os.chown(self.runtime, 65534, 65534)
        self.proc = None
        self.socket = None

    def env(self):
        return {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "XDG_RUNTIME_DIR": self.runtime,
                "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
                "WLR_RENDERER": "pixman", "LANG": "C.UTF-8"}

    def command(self, argv):
        """`argv` as the session's user, in the session's environment."""
        if os.geteuid() != 0:
            return argv
        return ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", *argv]

    def start(self):
        self.proc = subprocess.Popen(self.command(["sway", "-c", self.config]), env=self.env(),
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)

        def socket_up():
            names = [n for n in os.listdir(self.runtime) if re.fullmatch(r"wayland-\d+", n)]
            return names and os.path.join(self.runtime, names[0])

        self.socket = wait_until(lambda: self.proc.poll() is not None or socket_up(), 15)
        if self.proc.poll() is not None or not isinstance(self.socket, str):
            self.stop()
            raise RuntimeError("sway did not start")
        return self

    def client(self, argv, **kwargs):
        env = dict(self.env(), WAYLAND_DISPLAY=os.path.basename(self.socket))
        return subprocess.Popen(self.command(argv), env=env, **kwargs)

    def swaymsg(self, *args):
        ipc = [n for n in os.listdir(self.runtime) if n.startswith("sway-ipc.")]
        env = dict(self.env(), SWAYSOCK=os.path.join(self.runtime, ipc[0]))
        subprocess.run(self.command(["swaymsg", *args]), env=env, check=True,
                       stdout=subprocess.DEVNULL)

    def stop(self):
        if self.proc:
            end_process(self.proc)
            self.proc = None
        shutil.rmtree(self.tmp, ignore_errors=True)


class Wev:
    """wev's window, which sway tiles over the whole output; its events parsed as they come."""

    HEAD = re.compile(r"^\[\s*\d+:\s*(\S+)\] (\w+)(?::\s?(.*))?$")

    def __init__(self, sway):
        self.proc = sway.client(["stdbuf", "-oL", "wev"], stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.events = []
        self.cond = threading.Condition()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for raw in self.proc.stdout:
            line = raw.decode("utf-8", "replace").rstrip("\n")
            head = self.HEAD.match(line)
            with self.cond:
                if head:
                    self.events.append({"iface": head.group(1), "ev": head.group(2),
                                        "text": head.group(3) or ""})
                elif self.events:
                    self.events[-1]["text"] += " " + line.strip()
                self.cond.notify_all()

    def mark(self):
        with self.cond:
            return len(self.events)

    def since(self, mark, iface=None):
        with self.cond:
            return [e for e in self.events[mark:] if iface is None or e["iface"] == iface]

    def wait_for(self, predicate, since=0, timeout=5):
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                for event in self.events[since:]:
                    if predicate(event):
                        return event
                left = deadline - time.monotonic()
                if left <= 0 or not self.reader.is_alive():
                    raise AssertionError(f"no such wev event within {timeout} s; have "
                                         f"{self.events[since:][-20:]}")
                self.cond.wait(left)

    def stop(self):
        end_process(self.proc)


def field(event, name):
    match = re.search(name + r": ([^;,]+?)(?:[;,]| \(|$)", event["text"])
    return match.group(1) if match else None


@unittest.skipUnless(shutil.which("sway") and shutil.which("wev"),
                     "sway and wev are not installed (scripts/deps.sh installs them)")
class WaylandTest(ServerTest):
    @classmethod
    def setUpClass(cls):
        cls.sway = Sway().start()
        try:
            cls.server = Velora(extra_env={"WAYLAND_DISPLAY": cls.sway.socket,
                                           "XDG_SESSION_TYPE": "wayland"}).start()
            cls.remote = Remote()
            mark = cls.server.mark()
            cls.server.type("power off")
            cls.server.wait_line(r"^power control off$", since=mark)
            cls.wev = Wev(cls.sway)
            # The window has the keyboard once the seat has one (velora's virtual keyboard).
            cls.wev.wait_for(lambda e: e["iface"] == "wl_keyboard" and e["ev"] == "enter")
            cls.phone, cls.token = pair_phone(cls.server, "Pad")
            # The first move may bring the pointer into the window: an enter, not a motion.
            mark = cls.wev.mark()
            cls.phone.send("MA 100 100")
            cls.wev.wait_for(lambda e: e["iface"] == "wl_pointer" and e["ev"] in ("enter", "motion"),
                             mark)
        except Exception:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        for name in ("phone", "wev", "server"):
            part = cls.__dict__.get(name)
            if part:
                part.close() if name == "phone" else part.stop()
        if cls.__dict__.get("remote"):
            cls.remote.cleanup()
        cls.sway.stop()

    # -- helpers -------------------------------------------------------------------------------

    def send(self, *lines):
        """Sends command lines and a PING; waits for the PONG and returns the replies before it."""
        for line in lines:
            self.phone.send(line)
        self.phone.send("PING")
        replies = []
        while (reply := self.phone.read_line()) != "PONG":
            self.assertIsNotNone(reply, "the server closed the session")
            replies.append(reply)
        return replies

    def settle(self, mark, iface, done, timeout=15):
        """The events of `iface` from `mark` on, once `done` holds for them and no more come."""
        wait_until(lambda: done(self.wev.since(mark, iface)), timeout)
        count = -1
        while count != len(self.wev.since(mark, iface)):
            count = len(self.wev.since(mark, iface))
            time.sleep(0.3)
        return self.wev.since(mark, iface)

    def pointer_events(self, mark, expected):
        """(event, detail) for the pointer's motion, button and discrete axis events."""
        events = self.settle(mark, "wl_pointer", lambda e: len(self.summary(e)) >= expected)
        return self.summary(events)

    @staticmethod
    def summary(events):
        out = []
        for e in events:
            if e["ev"] == "motion":
                x, y = re.search(r"x, y: ([-\d.]+), ([-\d.]+)", e["text"]).groups()
                out.append(("motion", (round(float(x)), round(float(y)))))
            elif e["ev"] == "button":
                out.append(("button", (int(field(e, "button")), int(field(e, "state")))))
            elif "discrete:" in e["text"]:  # wev prints axis_discrete under another name
                out.append(("axis", (int(field(e, "axis")), int(field(e, "discrete")))))
        return out

    def key_presses(self, mark, count):
        """(keysym name, depressed modifiers, utf8) of each pressed non-modifier key."""
        def presses(events):
            out, mods = [], 0
            for e in events:
                if e["ev"] == "modifiers":
                    mods = int(re.search(r"depressed: ([0-9a-f]+)", e["text"]).group(1), 16)
                elif e["ev"] == "key" and field(e, "state") == "1" and "utf8:" in e["text"]:
                    sym = re.search(r"sym: (\S+)", e["text"]).group(1)
                    text = re.search(r"utf8: '(.*)'$", e["text"]).group(1)
                    if sym not in MODIFIER_SYMS:
                        out.append((sym, mods, text))
            return out

        return presses(self.settle(mark, "wl_keyboard", lambda e: len(presses(e)) >= count))

    # -- tests ---------------------------------------------------------------------------------

    def test_the_console_names_the_wayland_backend(self):
        self.assertEqual(self.server.lines[0], "Velora 1.1.0 \u2014 console shell")
        self.assertEqual(self.server.lines[1], "Input and screen: wlroots (Wayland)")
        self.assertEqual(self.server.count(r"compositor|[Ww]ayland"), 1)

    def test_pointer_moves_clicks_drags_and_scrolls_reach_the_window_once_in_order(self):
        mark = self.wev.mark()
        self.assertEqual(self.send("MA 32768 16384", "M 10 -5", "MA 0 0", "MA 65535 65535",
                                   "C", "C right", "C M",
                                   "MA 16384 16384", "D", "M 50 20", "U",
                                   "S 0 -3", "S 0 2", "S 2 0"), [])
        self.assertEqual(self.pointer_events(mark, 17), [
            ("motion", (960, 270)), ("motion", (970, 265)), ("motion", (0, 0)),
            ("motion", (WIDTH - 1, HEIGHT - 1)),
            ("button", (BTN_LEFT, 1)), ("button", (BTN_LEFT, 0)),
            ("button", (BTN_RIGHT, 1)), ("button", (BTN_RIGHT, 0)),
            ("button", (BTN_MIDDLE, 1)), ("button", (BTN_MIDDLE, 0)),
            ("motion", (480, 270)), ("button", (BTN_LEFT, 1)), ("motion", (530, 290)),
            ("button", (BTN_LEFT, 0)),
            # Down 3, up 2, left 2: Wayland counts down and right as positive.
            ("axis", (0, 3)), ("axis", (0, -2)), ("axis", (1, -2)),
        ])

    def test_relative_moves_are_held_inside_the_layout(self):
        mark = self.wev.mark()
        self.send("MA 32768 32768", "M -5000 -5000", "M 100 50", "M 99999 0",
                  "MA 65535 65535", "M -10 -10")
        # An absolute move to the far edge ends on the last pixel, where relative moves go on.
        self.assertEqual(self.pointer_events(mark, 6), [
            ("motion", (960, 540)), ("motion", (0, 0)), ("motion", (100, 50)),
            ("motion", (WIDTH - 1, 50)), ("motion", (WIDTH - 1, HEIGHT - 1)),
            ("motion", (WIDTH - 11, HEIGHT - 11)),
        ])

    def test_named_keys_hotkeys_and_media_keys(self):
        mark = self.wev.mark()
        replies = self.send("K ENTER", "K F5", "K pgdn", "K a", "K A", "K 1",
                            "H ctrl+c", "H ctrl+shift+T", "H alt+f4", "H win+a",
                            "MEDIA play", "MEDIA VolUp")
        self.assertEqual(replies, [])
        presses = [(sym, mods) for sym, mods, _ in self.key_presses(mark, 12)]
        self.assertEqual(presses, [
            ("Return", 0), ("F5", 0), ("Next", 0), ("a", 0), ("A", SHIFT), ("1", 0),
            ("c", CONTROL), ("T", CONTROL | SHIFT), ("F4", ALT), ("a", SUPER),
            ("XF86AudioPlay", 0), ("XF86AudioRaiseVolume", 0),
        ])

    def test_text_in_any_script_is_typed_once_in_order(self):
        cases = [
            "Hello, World! 123 ~`|\\",
            "café é Ж ß",
            "한글 입력",
            "😀 👍🏽",
            "line one\nline two",
        ]
        for text in cases:
            with self.subTest(text=text):
                mark = self.wev.mark()
                self.assertEqual(self.send("T " + b64(text)), [])
                typed = "".join("\n" if sym == "Return" else utf8
                                for sym, _, utf8 in self.key_presses(mark, len(text)))
                # Skin tone modifiers are code points of their own, and so are their keys.
                self.assertEqual(typed, text)

    def test_a_line_of_new_characters_makes_one_keymap_upload(self):
        # Typed in slices of a few characters, but bound all at once before the first.
        text = "αβγδεζηθικλμνξοπρστυ"
        mark = self.wev.mark()
        self.assertEqual(self.send("T " + b64(text)), [])
        self.assertEqual("".join(u for _, _, u in self.key_presses(mark, len(text))), text)
        # The compositor may hand one map to the window more than once; each upload differs.
        keymaps = {e["text"] for e in self.wev.since(mark, "wl_keyboard") if e["ev"] == "keymap"}
        self.assertEqual(len(keymaps), 1, keymaps)

    def test_more_new_characters_than_spare_keys_arrive_in_order(self):
        # Hangul syllables from U+AC00 on: far more distinct keysyms in one line than there are
        # spare keys, so keys are bound again within the line.
        text = "".join(chr(0xAC00 + 7 * i) for i in range(300))
        mark = self.wev.mark()
        self.assertEqual(self.send("T " + b64(text)), [])
        typed = "".join(utf8 for _, _, utf8 in self.key_presses(mark, len(text)))
        self.assertEqual(typed, text)
        # The keys of the last characters are still bound: typing them again uploads nothing.
        again = text[-5:]
        mark = self.wev.mark()
        self.assertEqual(self.send("T " + b64(again)), [])
        self.assertEqual("".join(u for _, _, u in self.key_presses(mark, len(again))), again)
        keymaps = [e for e in self.wev.since(mark, "wl_keyboard") if e["ev"] == "keymap"]
        self.assertEqual(keymaps, [])

    def test_live_view_shows_the_output_and_keeps_alive_on_a_still_screen(self):
        # An empty workspace shows the output's background; the pointer goes to a corner.
        self.sway.swaymsg("workspace", "2")
        self.addCleanup(self.sway.swaymsg, "workspace", "1")
        self.send("MA 65535 65535")
        frames = Frames(f"SCREEN {self.token} 960 60 Viewer")
        self.addCleanup(frames.close)
        self.assertEqual(frames.header(), f"SCREEN {WIDTH} {HEIGHT}")

        def colour_arrives(colour):
            while True:
                data = frames.frame(timeout=5)
                self.assertIsNotNone(data, "the view closed")
                frames.ack()
                if data:
                    picture = decode_jpeg(data)
                    self.assertEqual(picture[:2], (960, 540))
                    if all(abs(a - b) < 24 for a, b in zip(pixel(picture, 480, 270), colour)):
                        return

        colour_arrives(RED)
        # A still screen: only keep-alives come, each an empty frame.
        for _ in range(2):
            self.assertEqual(frames.frame(timeout=3), b"")
            frames.ack()
        self.sway.swaymsg("output", "HEADLESS-1", "bg", "#0000ff", "solid_color")
        self.addCleanup(self.sway.swaymsg, "output", "HEADLESS-1", "bg", "#ff0000", "solid_color")
        colour_arrives(BLUE)


class UnreachableWaylandTest(unittest.TestCase):
    """A session that says Wayland where no compositor answers: Velora says so once and serves."""

    def test_no_backend_is_said_once_and_the_network_side_serves(self):
        server = Velora(extra_env={"XDG_SESSION_TYPE": "wayland",
                                   "WAYLAND_DISPLAY": "/nonexistent/wayland-9"})
        server.start()
        try:
            self.assertEqual(server.lines[1], "Input and screen: none (Wayland)")
            self.assertEqual(server.count(r"^No Wayland compositor answers"), 1)
            phone, _ = pair_phone(server, "Pad")
            phone.send("PING")
            self.assertEqual(phone.read_line(), "PONG")
            phone.close()
            with open(os.path.join(server.config_home, "velora", "log.txt"),
                      encoding="utf-8") as f:
                self.assertEqual(f.read().count("No Wayland compositor answers"), 1)
        finally:
            server.stop()

    def test_a_stale_wayland_display_leaves_the_x11_path_alone(self):
        server = Velora(with_x=True, extra_env={"WAYLAND_DISPLAY": "wayland-stale"})
        server.start()
        try:
            self.assertEqual(server.lines[1], "Input and screen: X11")
        finally:
            server.stop()


if __name__ == "__main__":
    harness.main(WaylandTest, UnreachableWaylandTest)
