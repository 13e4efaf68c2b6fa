"""The desktop portal stack that serves screen casts on a wlroots desktop, run the way a sway
session runs it: a headless sway of the test's own and, as the session's user on a session bus
of its own, pipewire, wireplumber, the wlroots portal backend (which picks the only output
without asking) and the portal itself. Checks that the bus offers the ScreenCast interface for
monitors, and that the real `velora --console`, told to take its screen from the portal, shows
the output's known background through PipeWire while its input still goes through wlroots."""

import os
import shutil
import subprocess
import unittest

import harness
from harness import Frames, Velora, decode_jpeg, end_process, pair_phone, pixel, wait_until
from test_wayland import BLUE, HEIGHT, RED, WIDTH, Sway

PORTAL = "/usr/libexec/xdg-desktop-portal"
PORTAL_WLR = "/usr/libexec/xdg-desktop-portal-wlr"
MONITOR = 1


class PortalStack:
    """Everything after the compositor, started in order and ended by process id."""

    def __init__(self, sway):
        self.sway = sway
        self.procs = []
        self.portals = None
        self.bus = os.path.join(sway.runtime, "bus")
        self.config = os.path.join(sway.tmp, "config-home")
        os.makedirs(os.path.join(self.config, "xdg-desktop-portal-wlr"), mode=0o755)
        with open(os.path.join(self.config, "xdg-desktop-portal-wlr", "config"), "w") as f:
            f.write("[screencast]\nchooser_type=none\noutput_name=HEADLESS-1\n")

    def env(self):
        env = dict(self.sway.env(), WAYLAND_DISPLAY=os.path.basename(self.sway.socket),
                   DBUS_SESSION_BUS_ADDRESS=f"unix:path={self.bus}",
                   XDG_CURRENT_DESKTOP="sway", XDG_CONFIG_HOME=self.config)
        if self.portals:
            env["XDG_DESKTOP_PORTAL_DIR"] = self.portals
        return env

    def spawn(self, argv, log, stdin=subprocess.DEVNULL):
        # Logs go to the runtime folder: the session's user can write there.
        with open(os.path.join(self.sway.runtime, log), "wb") as out:
            if os.geteuid() == 0:
                os.chown(out.name, 65534, 65534)
            proc = subprocess.Popen(self.sway.command(argv), env=self.env(),
                                    stdin=stdin, stdout=out, stderr=subprocess.STDOUT)
        self.procs.append(proc)
        return proc

    def start(self, backend=None):
        """With `backend` (an argv), that program serves the portal's screen casts in place of
        the wlroots backend; it says "node N" once its PipeWire node exists."""
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                          f"--address=unix:path={self.bus}"], "dbus.log")
        if not wait_until(lambda: bus.poll() is not None or os.path.exists(self.bus), 15) or \
                bus.poll() is not None:
            raise RuntimeError("the session bus did not start")
        daemon = self.spawn(["pipewire"], "pipewire.log")
        socket = os.path.join(self.sway.runtime, "pipewire-0")
        if not wait_until(lambda: daemon.poll() is not None or os.path.exists(socket), 15) or \
                daemon.poll() is not None:
            raise RuntimeError("pipewire did not start")
        self.spawn(["wireplumber"], "wireplumber.log")
        if backend:
            cast = self.spawn(backend, "backend.log", stdin=subprocess.PIPE)
            if not wait_until(lambda: cast.poll() is not None or
                              "node " in self.log("backend.log"), 15) or cast.poll() is not None:
                raise RuntimeError("the cast backend did not start: " + self.log("backend.log"))
            portals = os.path.join(self.sway.tmp, "portals")
            os.mkdir(portals)
            with open(os.path.join(portals, "veloratest.portal"), "w") as f:
                f.write("[portal]\nDBusName=org.freedesktop.impl.portal.desktop.veloratest\n"
                        "Interfaces=org.freedesktop.impl.portal.ScreenCast;\nUseIn=sway\n")
            self.portals = portals
        else:
            # At INFO the backend says why a cast could not start.
            self.spawn([PORTAL_WLR, "-l", "INFO"], "portal-wlr.log")
        self.spawn([PORTAL, "-r"], "portal.log")
        return self

    def property(self, interface, name):
        """A property of the portal's desktop object as gdbus prints it; None when not offered."""
        done = subprocess.run(
            self.sway.command(["gdbus", "call", "--session", "--dest",
                               "org.freedesktop.portal.Desktop", "--object-path",
                               "/org/freedesktop/portal/desktop", "--method",
                               "org.freedesktop.DBus.Properties.Get", interface, name]),
            env=self.env(), capture_output=True, text=True, timeout=30)
        return done.stdout.strip() if done.returncode == 0 else None

    def log(self, name, tail=2000):
        """The end of a log file; empty when that program was not started."""
        path = os.path.join(self.sway.runtime, name)
        if not os.path.exists(path):
            return ""
        with open(path, errors="replace") as f:
            text = f.read()
        return text if tail is None else text[-tail:]

    def stop(self):
        for proc in reversed(self.procs):
            if proc.stdin:
                proc.stdin.close()
            end_process(proc)
        self.procs = []


@unittest.skipUnless(all(map(shutil.which, ["sway", "pipewire", "wireplumber", "dbus-daemon",
                                            "gdbus", PORTAL, PORTAL_WLR])),
                     "the portal stack is not installed (scripts/deps.sh installs it)")
class ScreenCastPortalTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sway = Sway().start()
        try:
            cls.stack = PortalStack(cls.sway).start()
        except Exception:
            cls.sway.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.stack.stop()
        cls.sway.stop()

    def test_the_session_bus_offers_screen_casts_of_monitors(self):
        types = wait_until(lambda: self.stack.property("org.freedesktop.portal.ScreenCast",
                                                       "AvailableSourceTypes"), 30, step=0.5)
        self.assertIsNotNone(types, "no ScreenCast portal; its log:\n" +
                             self.stack.log("portal.log") + self.stack.log("portal-wlr.log"))
        # gdbus prints the variant as "(<uint32 N>,)".
        offered = int(types.split("uint32")[1].strip(" >,)"))
        self.assertTrue(offered & MONITOR, types)
        version = self.stack.property("org.freedesktop.portal.ScreenCast", "version")
        self.assertIsNotNone(version)


@unittest.skipUnless(all(map(shutil.which, ["sway", "swaybg", "pipewire", "wireplumber",
                                            "dbus-daemon", "gdbus", "djpeg", PORTAL, PORTAL_WLR])),
                     "the portal stack is not installed (scripts/deps.sh installs it)")
class PortalLiveViewTest(unittest.TestCase):
    """velora as the session's user on the session's bus, with VELORA_SCREEN=portal."""

    size = (WIDTH, HEIGHT)

    @classmethod
    def backend(cls):
        """The argv of the portal's screen cast backend; None for the wlroots one."""
        return None

    @classmethod
    def setUpClass(cls):
        cls.sway = Sway().start()
        cls.stack = cls.server = cls.phone = None
        try:
            cls.stack = PortalStack(cls.sway).start(cls.backend())
            if not wait_until(lambda: cls.stack.property("org.freedesktop.portal.ScreenCast",
                                                          "version"), 30, step=0.5):
                raise RuntimeError("no ScreenCast portal; its log:\n" +
                                   cls.stack.log("portal.log") + cls.stack.log("portal-wlr.log"))
            env = cls.stack.env()
            cls.server = Velora(
                prefix=cls.sway.command([]),
                extra_env={name: env[name] for name in ("WAYLAND_DISPLAY", "XDG_RUNTIME_DIR",
                                                        "DBUS_SESSION_BUS_ADDRESS",
                                                        "XDG_CURRENT_DESKTOP")}
                | {"XDG_SESSION_TYPE": "wayland", "VELORA_SCREEN": "portal"})
            cls.server.start(before=cls.hand_config_to_session_user)
            cls.phone, cls.token = pair_phone(cls.server, "Pad")
        except Exception:
            cls.tearDownClass()
            raise

    @classmethod
    def hand_config_to_session_user(cls):
        if os.geteuid() != 0:
            return
        for folder, subs, files in os.walk(cls.server.tmp):
            for name in [folder, *(os.path.join(folder, n) for n in subs + files)]:
                os.chown(name, 65534, 65534)

    @classmethod
    def tearDownClass(cls):
        if cls.phone:
            cls.phone.close()
        if cls.server:
            cls.server.stop()
        if cls.stack:
            cls.stack.stop()
        cls.sway.stop()

    def cast_failed(self):
        """The wlroots portal backend gave up: without a GPU the compositor's screen copy offers
        no DMA-BUF format, and the backend (0.7) will not start a cast without one."""
        return self.backend() is None and \
            "unable to receive a valid format" in self.stack.log("portal-wlr.log", None)

    def view(self):
        """A live view once the portal's consent answer made the cast, its header checked; None
        when the portal backend could not start the cast."""
        def granted():
            frames = Frames(f"SCREEN {self.token} 960 60 Viewer")
            header = frames.header(timeout=10)
            if header and header.startswith("SCREEN "):
                return frames, header
            frames.close()
            return "failed" if self.cast_failed() else None

        opened = wait_until(granted, 30, step=0.5)
        self.assertTrue(opened, "the view stayed refused; portal log:\n" +
                        self.stack.log("portal.log") + self.stack.log("portal-wlr.log") +
                        self.stack.log("backend.log") + "\n".join(self.server.lines[-20:]))
        if opened == "failed":
            return None
        frames, header = opened
        self.addCleanup(frames.close)
        self.assertEqual(header, "SCREEN {} {}".format(*self.size))
        return frames

    def colour_arrives(self, frames, colour):
        while True:
            data = frames.frame(timeout=10)
            self.assertIsNotNone(data, "the view closed")
            frames.ack()
            if data:
                picture = decode_jpeg(data)
                self.assertEqual(picture[:2], (960, 960 * self.size[1] // self.size[0]))
                if all(abs(a - b) < 24 for a, b in zip(pixel(picture, 480, 270), colour)):
                    return

    def test_the_console_names_wlroots_input_and_the_portal_screen(self):
        self.assertEqual(self.server.lines[1],
                         "Input and screen: wlroots (Wayland), desktop portal screen")

    def test_live_view_comes_through_pipewire_and_keeps_alive_on_a_still_screen(self):
        # Input still goes through the compositor's virtual pointer: the move is taken.
        self.phone.send("MA 65535 65535")
        self.phone.send("PING")
        self.assertEqual(self.phone.read_line(), "PONG")
        frames = self.view()
        if frames is None:
            # The view is refused, not broken, and the phone's session goes on.
            refused = Frames(f"SCREEN {self.token} 960 60 Viewer")
            self.addCleanup(refused.close)
            self.assertEqual(refused.header(), "ERR perm")
            # The real portal handed the backend what velora selected: one monitor, the cursor
            # drawn in, the permission kept until revoked.
            backend = self.stack.log("portal-wlr.log", None)
            for option in ("option types:1", "option cursor_mode:2", "option persist_mode:2"):
                self.assertIn(option, backend)
            self.phone.send("PING")
            self.assertEqual(self.phone.read_line(), "PONG")
            self.skipTest("the wlroots portal backend cannot cast without DMA-BUF screen copy "
                          "(no GPU here); the refusal was checked instead")
        self.colour_arrives(frames, RED)
        for _ in range(2):
            self.assertEqual(frames.frame(timeout=5), b"")
            frames.ack()
        self.sway.swaymsg("output", "HEADLESS-1", "bg", "#0000ff", "solid_color")
        self.addCleanup(self.sway.swaymsg, "output", "HEADLESS-1", "bg", "#ff0000", "solid_color")
        self.colour_arrives(frames, BLUE)

class StandInBackendLiveViewTest(PortalLiveViewTest):
    """The same with a screen cast backend of the tests' own, which casts a still picture of one
    colour from its PipeWire node: the real portal, PipeWire and velora, on any machine."""

    size = (1280, 720)
    GREEN = (0x20, 0xc0, 0x40)

    @classmethod
    def backend(cls):
        helper = os.environ.get("VELORA_CAST_BACKEND") or os.path.join(
            os.path.dirname(harness.VELORA), "tests", "velora_test_cast_backend")
        return [helper, "20c040"]

    def test_live_view_comes_through_pipewire_and_keeps_alive_on_a_still_screen(self):
        self.phone.send("MA 65535 65535")
        self.phone.send("PING")
        self.assertEqual(self.phone.read_line(), "PONG")
        frames = self.view()
        self.assertIsNotNone(frames)
        self.colour_arrives(frames, self.GREEN)
        for _ in range(2):
            self.assertEqual(frames.frame(timeout=5), b"")
            frames.ack()


if __name__ == "__main__":
    harness.main(ScreenCastPortalTest, PortalLiveViewTest, StandInBackendLiveViewTest)
