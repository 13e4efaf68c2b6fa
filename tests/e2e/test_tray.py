"""End-to-end test of the tray shell: the real `velora` without --console on an Xvfb with a
system tray (trayer), paired by a raw phone connection through the pairing window."""

import fcntl
import json
import os
import re
import select
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


def tray_icons(display):
    """Velora's windows embedded anywhere below a tray host's window."""
    ours = {int(w) for w in xdotool(display, "search", "--class", "velora").stdout.split()}
    found = set()
    for host in xdotool(display, "search", "--class", "trayer").stdout.split():
        tree = subprocess.run(["xwininfo", "-tree", "-id", host], capture_output=True, text=True,
                              env=dict(os.environ, DISPLAY=display), timeout=5).stdout
        found |= ours & {int(w, 16) for w in re.findall(r"\b0x[0-9a-f]+\b", tree)}
    return sorted(found)


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
        self.env = None

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
        self.env = env
        if self.with_tray:
            self.start_tray()
        self.output = open(os.path.join(self.tmp, "velora.out"), "w+b")
        self.proc = subprocess.Popen([harness.VELORA], env=env, stdin=subprocess.DEVNULL,
                                     stdout=self.output, stderr=subprocess.STDOUT)
        if not wait_until(lambda: self._answers() or self.proc.poll() is not None, 15):
            raise RuntimeError("velora did not answer discovery\n" + self.console())
        if self.proc.poll() is not None:
            raise RuntimeError("velora ended early\n" + self.console())
        return self

    def start_tray(self):
        self.trayer = subprocess.Popen(["trayer", "--edge", "top", "--align", "right",
                                        "--widthtype", "request", "--height", "24"],
                                       env=self.env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: xdotool(self.display, "search", "--class", "trayer").stdout, 10):
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
        self.assertTrue(console.startswith("Velora 1.1.0 \u2014 tray shell\n"), console)
        self.assertNotIn("console shell", console)
        self.assertTrue(wait_until(lambda: tray_icons(self.app.display), 5), "an icon in the tray")

    def test_return_in_the_pairing_window_admits_the_phone(self):
        pair_by_return(self, self.app, "Tray_Phone")

    def test_pairing_window_closes_when_the_phone_gives_up(self):
        phone = self.phone()
        phone.send("HELLO Leaving - 1.0")
        self.assertEqual(phone.read_line(5), "PIN")
        self.assertTrue(wait_until(lambda: find_windows(self.app.display, PIN_TITLE), 10))
        phone.close()
        self.assertTrue(wait_until(lambda: not find_windows(self.app.display, PIN_TITLE), 10),
                        "the prompt of an ended pairing must not stay up")
        self.assertNotIn("Leaving", [d["name"] for d in self.app.config()["devices"]])

    def test_second_start_shows_the_running_ones_menu_and_ends(self):
        def shown():
            return set(xdotool(self.app.display, "search", "--onlyvisible", "--class",
                               "velora").stdout.split())
        before = shown()
        second = subprocess.run([harness.VELORA], env=self.app.env, capture_output=True,
                                text=True, timeout=20, stdin=subprocess.DEVNULL)
        self.assertNotEqual(second.returncode, 0)
        self.assertIn(f"Velora is already running (process {self.app.proc.pid})", second.stderr)
        self.assertIn("asked it to show its status", second.stderr)
        self.assertTrue(wait_until(lambda: shown() - before, 10), "the menu pops up")
        xdotool(self.app.display, "key", "Escape")


class LateTrayTest(unittest.TestCase):
    """A session whose panel comes up after Velora, as autostarted programs often see it."""

    def test_pairing_works_before_the_tray_and_the_icon_arrives_with_it(self):
        app = TrayApp(with_tray=False)
        self.addCleanup(app.stop)
        app.start()
        self.assertIn("tray shell", app.console())
        self.assertNotIn("console shell", app.console())
        pair_by_return(self, app, "Early_Phone")
        app.start_tray()
        self.assertTrue(wait_until(lambda: tray_icons(app.display), 10),
                        "the icon shows once a tray is up\n" + app.console())


class TraylessTest(unittest.TestCase):
    """A desktop that shows no system tray, as stock GNOME: the menu's entries open in a window
    of their own, and a second start shows it again."""

    def test_status_window_opens_and_a_second_start_shows_it_again(self):
        app = TrayApp(with_tray=False)
        self.addCleanup(app.stop)
        app.start()
        windows = wait_until(lambda: find_windows(app.display, "Velora"), 10)
        self.assertEqual(len(windows), 1, "the status window opens\n" + app.console())
        xdotool(app.display, "windowunmap", windows[0])
        self.assertTrue(wait_until(lambda: not find_windows(app.display, "Velora"), 10))
        second = subprocess.run([harness.VELORA], env=app.env, capture_output=True, text=True,
                                timeout=20, stdin=subprocess.DEVNULL)
        self.assertNotEqual(second.returncode, 0)
        self.assertIn("asked it to show its status", second.stderr)
        self.assertTrue(wait_until(lambda: find_windows(app.display, "Velora"), 10),
                        "the second start shows the window again\n" + app.console())
        self.assertIsNone(app.proc.poll(), "the first instance runs on")


def pair_by_return(test, app, name):
    """A new phone greets; Return in the pairing window admits it and the window goes."""
    phone = Line(timeout=5)
    test.addCleanup(phone.close)
    phone.send(f"HELLO {name} - 1.0")
    test.assertEqual(phone.read_line(5), "PIN")
    windows = wait_until(lambda: find_windows(app.display, PIN_TITLE), 10)
    test.assertEqual(len(windows), 1, "one pairing window\n" + app.console())
    # Return counts once the window has been up for a second; until then it does nothing.
    def press_return_until_answered():
        xdotool(app.display, "windowfocus", "--sync", windows[0])
        xdotool(app.display, "key", "--clearmodifiers", "Return")
        return select.select([phone.sock], [], [], 0.3)[0]
    test.assertTrue(wait_until(press_return_until_answered, 10), "Return was not taken")
    reply = phone.read_line(10)
    test.assertRegex(reply or "", r"^OK [0-9a-f]{32}$")
    devices = app.config()["devices"]
    test.assertIn((name.replace("_", " "), reply[3:]), [(d["name"], d["token"]) for d in devices])
    test.assertTrue(wait_until(lambda: not find_windows(app.display, PIN_TITLE), 5),
                    "the pairing window closes once the phone is admitted")


if __name__ == "__main__":
    harness.main(TrayTest, LateTrayTest, TraylessTest)
