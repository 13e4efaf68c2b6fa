"""End-to-end test of the tray shell: the real `velora` without --console on an Xvfb with a
system tray (trayer), paired by a raw phone connection through the pairing window."""

import fcntl
import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
from harness import Line, Xvfb, end_process, ports_free, udp_probe, wait_until

PIN_TITLE = "Velora connection request"


def xdotool(display, *args, timeout=5):
    return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=display),
                          capture_output=True, text=True, timeout=timeout)


def find_windows(display, name):
    """Ids of the mapped windows whose title is exactly `name`."""
    result = xdotool(display, "search", "--onlyvisible", "--name", f"^{name}$")
    return result.stdout.split()


class TrayApp:
    """Xvfb, a tray host on it unless `with_tray` is false, and one `velora` started without
    --console, with fresh folders."""

    def __init__(self, with_tray=True):
        self.with_tray = with_tray
        self.tmp = self.lock = self.xvfb = self.trayer = self.proc = self.output = None

    def start(self):
        self.tmp = tempfile.mkdtemp(prefix="velora-tray-e2e-")
        for sub in ("config", "home"):
            os.makedirs(os.path.join(self.tmp, sub))
        self.lock = open(harness.PORT_LOCK, "a")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        if not wait_until(ports_free, 60, step=0.2):
            raise RuntimeError("ports 21998/21999 stay busy")
        self.xvfb = Xvfb()
        display = self.xvfb.start()
        env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM",
                     "DBUS_SESSION_BUS_ADDRESS"):
            env.pop(name, None)
        env.update(DISPLAY=display, XDG_CONFIG_HOME=os.path.join(self.tmp, "config"),
                   HOME=os.path.join(self.tmp, "home"), VELORA_LANG="en")
        if self.with_tray:
            self._start_tray(display, env)
        self.output = open(os.path.join(self.tmp, "velora.out"), "w+b")
        self.proc = subprocess.Popen([harness.VELORA], env=env, stdin=subprocess.DEVNULL,
                                     stdout=self.output, stderr=subprocess.STDOUT)
        if not wait_until(lambda: self._answers() or self.proc.poll() is not None, 15):
            raise RuntimeError("velora did not answer discovery\n" + self.console())
        if self.proc.poll() is not None:
            raise RuntimeError("velora ended early\n" + self.console())
        return self

    def _start_tray(self, display, env):
        self.trayer = subprocess.Popen(["trayer", "--edge", "top", "--align", "right",
                                        "--widthtype", "request", "--height", "24"],
                                       env=env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: xdotool(display, "search", "--class", "trayer").stdout, 10):
            raise RuntimeError("the tray host did not come up")

    def _answers(self):
        try:
            server_id = self.config()["serverId"]
        except (OSError, ValueError, KeyError):
            return False
        return server_id.encode() in (udp_probe(b"RMK?", timeout=0.5) or b"")

    @property
    def display(self):
        return self.xvfb.display

    def config(self):
        path = os.path.join(self.tmp, "config", "velora", "config.json")
        with open(path, encoding="utf-8") as f:
            return json.load(f)

    def console(self):
        self.output.seek(0)
        return self.output.read().decode("utf-8", "replace")

    def stop(self):
        for proc in (self.proc, self.trayer):
            if proc:
                end_process(proc)
        self.proc = self.trayer = None
        if self.xvfb:
            self.xvfb.stop()
            self.xvfb = None
        if self.output:
            self.output.close()
            self.output = None
        if self.lock:
            self.lock.close()
            self.lock = None
        if self.tmp:
            shutil.rmtree(self.tmp, ignore_errors=True)
            self.tmp = None


class TrayTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.app = TrayApp()
        try:
            cls.app.start()
        except Exception:
            cls.app.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.app.stop()

    def phone(self):
        conn = Line(timeout=5)
        self.addCleanup(conn.close)
        return conn

    def test_runs_in_the_tray_not_the_terminal(self):
        console = self.app.console()
        self.assertNotIn("console shell", console)
        self.assertNotIn("running in the terminal", console)

    def test_return_in_the_pairing_window_admits_the_phone(self):
        phone = self.phone()
        phone.send("HELLO Tray_Phone - 1.0")
        self.assertEqual(phone.read_line(5), "PIN")
        windows = wait_until(lambda: find_windows(self.app.display, PIN_TITLE), 10)
        self.assertEqual(len(windows), 1, "one pairing window\n" + self.app.console())
        window = windows[0]
        xdotool(self.app.display, "windowfocus", "--sync", window)
        xdotool(self.app.display, "key", "--clearmodifiers", "Return")
        reply = phone.read_line(10)
        self.assertRegex(reply or "", r"^OK [0-9a-f]{32}$")
        devices = self.app.config()["devices"]
        self.assertEqual([(d["name"], d["token"]) for d in devices],
                         [("Tray Phone", reply[3:])])
        self.assertTrue(wait_until(lambda: not find_windows(self.app.display, PIN_TITLE), 5),
                        "the pairing window closes once the phone is admitted")

    def test_pairing_window_closes_when_the_phone_gives_up(self):
        phone = self.phone()
        phone.send("HELLO Leaving - 1.0")
        self.assertEqual(phone.read_line(5), "PIN")
        self.assertTrue(wait_until(lambda: find_windows(self.app.display, PIN_TITLE), 10))
        phone.close()
        self.assertTrue(wait_until(lambda: not find_windows(self.app.display, PIN_TITLE), 10),
                        "the prompt of an ended pairing must not stay up")
        self.assertNotIn("Leaving", [d["name"] for d in self.app.config()["devices"]])


class NoTrayTest(unittest.TestCase):
    def test_a_display_without_a_tray_gets_the_terminal_shell(self):
        app = TrayApp(with_tray=False)
        self.addCleanup(app.stop)
        app.start()
        console = app.console()
        self.assertIn("no system tray on this display; running in the terminal", console)
        self.assertIn("console shell", console)
        self.assertFalse(find_windows(app.display, PIN_TITLE))


if __name__ == "__main__":
    harness.main(TrayTest, NoTrayTest)
