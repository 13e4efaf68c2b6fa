"""The desktop portal stack that serves screen casts on a wlroots desktop, run the way a sway
session runs it: a headless sway of the test's own and, as the session's user on a session bus
of its own, pipewire, wireplumber, the wlroots portal backend (which picks the only output
without asking) and the portal itself. Checks that the bus offers the ScreenCast interface for
monitors, the interface the live view's PipeWire path starts from."""

import os
import shutil
import subprocess
import unittest

import harness
from harness import end_process, wait_until
from test_wayland import Sway

PORTAL = "/usr/libexec/xdg-desktop-portal"
PORTAL_WLR = "/usr/libexec/xdg-desktop-portal-wlr"
MONITOR = 1


class PortalStack:
    """Everything after the compositor, started in order and ended by process id."""

    def __init__(self, sway):
        self.sway = sway
        self.procs = []
        self.bus = os.path.join(sway.runtime, "bus")
        self.config = os.path.join(sway.tmp, "config-home")
        os.makedirs(os.path.join(self.config, "xdg-desktop-portal-wlr"), mode=0o755)
        with open(os.path.join(self.config, "xdg-desktop-portal-wlr", "config"), "w") as f:
            f.write("[screencast]\nchooser_type=none\noutput_name=HEADLESS-1\n")

    def env(self):
        return dict(self.sway.env(), WAYLAND_DISPLAY=os.path.basename(self.sway.socket),
                    DBUS_SESSION_BUS_ADDRESS=f"unix:path={self.bus}",
                    XDG_CURRENT_DESKTOP="sway", XDG_CONFIG_HOME=self.config)

    def spawn(self, argv, log):
        # Logs go to the runtime folder: the session's user can write there.
        with open(os.path.join(self.sway.runtime, log), "wb") as out:
            if os.geteuid() == 0:
                os.chown(out.name, 65534, 65534)
            proc = subprocess.Popen(self.sway.command(argv), env=self.env(),
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        self.procs.append(proc)
        return proc

    def start(self):
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
        self.spawn([PORTAL_WLR], "portal-wlr.log")
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

    def log(self, name):
        with open(os.path.join(self.sway.runtime, name), errors="replace") as f:
            return f.read()[-2000:]

    def stop(self):
        for proc in reversed(self.procs):
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


if __name__ == "__main__":
    harness.main(ScreenCastPortalTest)
