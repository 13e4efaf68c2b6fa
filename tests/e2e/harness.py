"""End-to-end harness: runs the real `velora --console` and `velora-remote` over loopback.

Each test script in this folder takes --velora PATH --remote PATH and calls `main()` with its
test classes. Servers get fresh temporary XDG_CONFIG_HOME and HOME folders and run either with
DISPLAY unset (the simulated platform) or on an Xvfb of their own. The program always uses the
fixed ports 21998/21999, so a lock file and a wait for free ports keep servers from overlapping,
also across scripts run at the same time.
"""

import argparse
import ctypes
import ctypes.util
import fcntl
import json
import os
import random
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import traceback
import unittest

CONTROL_PORT = 21998
DISCOVERY_PORT = 21999
PORT_LOCK = os.path.join(tempfile.gettempdir(), "velora-e2e-ports.lock")

VELORA = None  # path of the program, set by main()
REMOTE = None  # path of velora-remote, set by main()


def wait_until(predicate, timeout, step=0.05):
    """Polls `predicate` until it is true or `timeout` passes; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(step)


def end_process(proc, grace=3):
    """Ends one child by its process id: SIGTERM, then SIGKILL if it lingers."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
    proc.wait()


def ports_free():
    """True when nothing listens on the control port and nothing holds the discovery port."""
    tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        # Reuse lets the check pass over lingering TIME_WAIT sockets, never over a listener.
        tcp.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        tcp.bind(("0.0.0.0", CONTROL_PORT))
        udp.bind(("0.0.0.0", DISCOVERY_PORT))
        return True
    except OSError:
        return False
    finally:
        tcp.close()
        udp.close()


class Xvfb:
    """An X server of our own on a random display number, Unix socket only."""

    def __init__(self, screen="1280x800x24"):
        self.screen = screen
        self.proc = None
        self.display = None

    def start(self):
        for _ in range(30):
            n = random.randint(50, 250)
            if os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
                continue
            proc = subprocess.Popen(
                ["Xvfb", f":{n}", "-noreset", "-nolisten", "tcp", "-screen", "0", self.screen],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            up = wait_until(lambda: proc.poll() is not None
                            or os.path.exists(f"/tmp/.X11-unix/X{n}"), 10)
            if up and proc.poll() is None:
                self.proc, self.display = proc, f":{n}"
                return self.display
            end_process(proc)
        raise RuntimeError("could not start Xvfb")

    def stop(self):
        # SIGTERM lets Xvfb remove its socket and lock file.
        if self.proc:
            end_process(self.proc)
            self.proc = None


class Velora:
    """One `velora --console` with its own config folder; console output is collected.
    `prefix` is a command that starts velora with its arguments (as `exec "$@"` would).

    Korean by default: the console then shows each activity line exactly as log.txt keeps it, so
    that tests match the log's fixed texts on `log: ` lines. In another language the console
    shows them translated."""

    def __init__(self, with_x=False, lang="ko", screen="1280x800x24", extra_env=None, prefix=()):
        self.with_x = with_x
        self.extra_env = extra_env or {}
        self.prefix = list(prefix)
        self.screen = screen
        self.lang = lang
        self.tmp = None
        self.proc = None
        self.env = None
        self.xvfb = None
        self.lock = None
        self.lines = []
        self.cond = threading.Condition()
        self.reader = None

    # -- life cycle --------------------------------------------------------------------------

    def start(self, timeout=15, ready=None, before=None):
        """Starts velora and waits until it listens on both ports, or, given `ready`, until a
        console line matches that pattern instead. `before` runs once the ports are ours."""
        self.tmp = tempfile.mkdtemp(prefix="velora-e2e-")
        for sub in ("config", "home"):
            os.makedirs(os.path.join(self.tmp, sub))
        self.lock = open(PORT_LOCK, "a")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        if not wait_until(ports_free, 60, step=0.2):
            self.stop()
            raise RuntimeError("ports 21998/21999 stay busy")
        if before:
            before()
        env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "XDG_SESSION_TYPE"):
            env.pop(name, None)
        env.update(XDG_CONFIG_HOME=self.config_home, HOME=os.path.join(self.tmp, "home"),
                   VELORA_LANG=self.lang)
        env.update(self.extra_env)
        if self.with_x:
            self.xvfb = Xvfb(self.screen)
            env["DISPLAY"] = self.xvfb.start()
        self.env = env
        return self._launch(timeout, ready)

    def restart(self, timeout=15):
        """Ends velora and starts it again with the same config folder and X server, as a reboot
        of the program alone would; the port lock stays held and console marks stay valid."""
        self._end()
        if not wait_until(ports_free, 60, step=0.2):
            raise RuntimeError("ports 21998/21999 stay busy after the restart")
        return self._launch(timeout, None)

    def _launch(self, timeout, ready):
        since = self.mark()
        self.proc = subprocess.Popen([*self.prefix, VELORA, "--console"], env=self.env,
                                     stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        if ready:
            self.wait_line(ready, timeout, since)
            return self
        ready = self.wait_line(r"^(Listening on .*|Could not open .*)$", timeout, since)
        if ready.group(0) != "Listening on TCP 21998 and UDP 21999":
            self.stop()
            raise RuntimeError("velora could not open its ports: " + ready.group(0))
        self._check_ports_are_ours()
        return self

    def _end(self):
        if self.proc:
            end_process(self.proc)
            self.reader.join(5)
            self.proc.stdin.close()
            self.proc = None

    def _check_ports_are_ours(self):
        """Fails early when a velora started outside this harness shares the ports."""
        server_id = self.config()["serverId"]
        reply = udp_probe(b"RMK?", timeout=2) or b""
        if server_id.encode() not in reply:
            self.stop()
            raise RuntimeError(f"another program answers on UDP {DISCOVERY_PORT}: {reply!r}")

    def stop(self):
        self._end()
        if self.xvfb:
            self.xvfb.stop()
            self.xvfb = None
        if self.lock:
            self.lock.close()  # releases the port lock
            self.lock = None
        if self.tmp:
            shutil.rmtree(self.tmp, ignore_errors=True)
            self.tmp = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def _read(self):
        for raw in self.proc.stdout:
            line = raw.decode("utf-8", "replace").rstrip("\r\n")
            with self.cond:
                self.lines.append(line)
                self.cond.notify_all()

    # -- console -----------------------------------------------------------------------------

    @property
    def config_home(self):
        return os.path.join(self.tmp, "config")

    def config(self):
        with open(os.path.join(self.config_home, "velora", "config.json"), encoding="utf-8") as f:
            return json.load(f)

    def mark(self):
        """A position in the console output; later waits can look only past it."""
        with self.cond:
            return len(self.lines)

    def wait_line(self, pattern, timeout=5, since=0):
        """The match of the first console line from `since` on that matches `pattern`."""
        regex = re.compile(pattern)
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                for line in self.lines[since:]:
                    match = regex.search(line)
                    if match:
                        return match
                left = deadline - time.monotonic()
                if left <= 0 or (self.proc and self.proc.poll() is not None
                                 and not self.reader.is_alive()):
                    raise AssertionError(f"no console line matching {pattern!r} within "
                                         f"{timeout} s\n{self.tail()}")
                self.cond.wait(left)

    def count(self, pattern, since=0):
        regex = re.compile(pattern)
        with self.cond:
            return sum(1 for line in self.lines[since:] if regex.search(line))

    def wait_count(self, pattern, n, since=0, timeout=3):
        """Waits until `n` console lines from `since` on match; returns the final count."""
        wait_until(lambda: self.count(pattern, since) >= n, timeout)
        time.sleep(0.1)  # a surplus line would show up now
        return self.count(pattern, since)

    def type(self, text):
        """Types one line on the console's stdin."""
        self.proc.stdin.write(text.encode("utf-8") + b"\n")
        self.proc.stdin.flush()

    def allow(self, timeout=10):
        """Types allow until it counts: a request takes Allow only once it has been shown for a
        second, and an allow before that is answered "allow ignored"."""
        deadline = time.monotonic() + timeout
        while True:
            mark = self.mark()
            self.type("allow")
            reply = self.wait_line(r"^(allowed|allow ignored: .*|no pairing request is waiting)$",
                                   timeout, since=mark).group(0)
            if reply == "allowed":
                return
            if not reply.startswith("allow ignored") or time.monotonic() > deadline:
                raise AssertionError(f"allow did not count: {reply}\n{self.tail()}")
            time.sleep(0.2)

    def wait_pin(self, name, since=0, timeout=5):
        """The PIN of the pairing prompt that the console shows for phone `name`."""
        match = self.wait_line(r"^pair: " + re.escape(name) +
                               r" \(([^()]*)\) PIN (\d{6}) — type allow to approve$",
                               timeout, since)
        return match.group(2)

    def tail(self, n=40):
        with self.cond:
            shown = self.lines[-n:]
        return "velora console (last lines):\n" + "\n".join("  | " + line for line in shown)


class Remote:
    """velora-remote with a token folder of its own."""

    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="velora-remote-e2e-")

    def env(self):
        env = dict(os.environ)
        env["XDG_CONFIG_HOME"] = self.home
        return env

    def run(self, *args, stdin_text=None, timeout=30):
        return subprocess.run([REMOTE, *args], input=stdin_text, capture_output=True, text=True,
                              timeout=timeout, env=self.env(),
                              stdin=None if stdin_text is not None else subprocess.DEVNULL)

    def spawn(self, *args):
        """Starts velora-remote with stdin, stdout and stderr as pipes."""
        return subprocess.Popen([REMOTE, *args], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, env=self.env())

    @property
    def tokens_file(self):
        return os.path.join(self.home, "velora-remote", "tokens.json")

    def tokens(self):
        with open(self.tokens_file, encoding="utf-8") as f:
            return json.load(f)

    def cleanup(self):
        shutil.rmtree(self.home, ignore_errors=True)


class Line:
    """A raw TCP client of the control port that reads LF-terminated lines."""

    def __init__(self, bind=None, timeout=3, host="127.0.0.1"):
        family = socket.AF_INET6 if ":" in host else socket.AF_INET
        self.sock = socket.socket(family, socket.SOCK_STREAM)
        if bind:
            self.sock.bind((bind, 0))
        self.sock.settimeout(timeout)
        self.sock.connect((host, CONTROL_PORT))
        self.buffer = b""

    def send(self, text):
        self.sock.sendall(text.encode("utf-8") + b"\n")

    def send_raw(self, data):
        self.sock.sendall(data)

    def read_line(self, timeout=3):
        """The next line; None when the server closed the connection first."""
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError(f"no line within {timeout} s (have {self.buffer!r})")
            self.sock.settimeout(left)
            try:
                chunk = self.sock.recv(4096)
            except ConnectionResetError:
                chunk = b""
            except socket.timeout:
                continue
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode("utf-8")

    def read_to_close(self, timeout=3):
        """Everything the server sends until it closes; fails if it stays open."""
        deadline = time.monotonic() + timeout
        data, self.buffer = self.buffer, b""
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError(f"connection still open after {timeout} s")
            self.sock.settimeout(left)
            try:
                chunk = self.sock.recv(4096)
            except ConnectionResetError:
                return data
            except socket.timeout:
                continue
            if not chunk:
                return data
            data += chunk

    def close(self):
        self.sock.close()


class XProbe:
    """The event window of xprobe.py on the server's X display, its events collected."""

    SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xprobe.py")

    def __init__(self, display):
        env = dict(os.environ, DISPLAY=display)
        self.proc = subprocess.Popen([sys.executable, self.SCRIPT], env=env, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.events = []
        self.cond = threading.Condition()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        ready = self.wait_for(lambda e: e["ev"] == "ready", timeout=15)
        self.size = (ready["w"], ready["h"])

    def _read(self):
        for raw in self.proc.stdout:
            event = json.loads(raw)
            with self.cond:
                self.events.append(event)
                self.cond.notify_all()

    def mark(self):
        with self.cond:
            return len(self.events)

    def since(self, mark, kind=None):
        with self.cond:
            return [e for e in self.events[mark:] if kind is None or e["ev"] == kind]

    def wait_for(self, predicate, timeout=5, since=0):
        """The first event from `since` on that satisfies `predicate`."""
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                for event in self.events[since:]:
                    if predicate(event):
                        return event
                left = deadline - time.monotonic()
                if left <= 0 or not self.reader.is_alive():
                    raise AssertionError(f"no such probe event within {timeout} s; "
                                         f"have {self.events[since:][-20:]}")
                self.cond.wait(left)

    def settle(self, kind, since, at_least=0, quiet=0.3, timeout=5):
        """The events of `kind` from `since` on, once there are `at_least` of them and none
        has come for `quiet` seconds."""
        deadline = time.monotonic() + timeout
        wait_until(lambda: len(self.since(since, kind)) >= at_least, timeout)
        count = -1
        while time.monotonic() < deadline:
            now = len(self.since(since, kind))
            if now == count:
                break
            count = now
            time.sleep(quiet)
        return self.since(since, kind)

    def command(self, text):
        """Sends a paint command and waits until the window has drawn it."""
        mark = self.mark()
        self.proc.stdin.write(text.encode() + b"\n")
        self.proc.stdin.flush()
        self.wait_for(lambda e: e["ev"] == "done", since=mark)

    def stop(self):
        end_process(self.proc)
        self.proc.stdin.close()


class Frames:
    """A raw screen connection: the request line, the header, then length-prefixed frames."""

    def __init__(self, request, timeout=5):
        self.sock = socket.create_connection(("127.0.0.1", CONTROL_PORT), timeout=timeout)
        self.buffer = b""
        self.sock.sendall(request.encode("utf-8") + b"\n")

    def _fill(self, n, timeout):
        """Reads until `n` bytes are buffered; False when the server closed first."""
        deadline = time.monotonic() + timeout
        while len(self.buffer) < n:
            left = deadline - time.monotonic()
            if left <= 0:
                raise socket.timeout(f"{n - len(self.buffer)} bytes missing after {timeout} s")
            self.sock.settimeout(left)
            try:
                chunk = self.sock.recv(65536)
            except ConnectionResetError:
                chunk = b""
            if not chunk:
                return False
            self.buffer += chunk
        return True

    def header(self, timeout=5):
        """The first line the server sends (a header or a refusal); None if it closed."""
        while b"\n" not in self.buffer:
            if not self._fill(len(self.buffer) + 1, timeout):
                return None
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode("utf-8")

    def frame(self, timeout=5):
        """The next frame's payload (b"" for a keep-alive); None if the server closed."""
        if not self._fill(4, timeout):
            return None
        length = int.from_bytes(self.buffer[:4], "big")
        if not self._fill(4 + length, timeout):
            return None
        payload, self.buffer = self.buffer[4:4 + length], self.buffer[4 + length:]
        return payload

    def ack(self):
        self.sock.sendall(b"A\n")

    def closed(self, timeout=3):
        """True when the server closes the connection within `timeout` (frames are skipped)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            self.sock.settimeout(max(deadline - time.monotonic(), 0.01))
            try:
                if not self.sock.recv(65536):
                    return True
            except ConnectionResetError:
                return True
            except socket.timeout:
                break
        return False

    def close(self):
        self.sock.close()


class Monitors:
    """Defines RandR monitors on an X display, as a desktop's display settings would."""

    class _Info(ctypes.Structure):
        _fields_ = [("name", ctypes.c_ulong), ("primary", ctypes.c_int),
                    ("automatic", ctypes.c_int), ("noutput", ctypes.c_int),
                    ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                    ("height", ctypes.c_int), ("mwidth", ctypes.c_int),
                    ("mheight", ctypes.c_int), ("outputs", ctypes.c_void_p)]

    def __init__(self, display):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.randr = ctypes.CDLL(ctypes.util.find_library("Xrandr"))
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XInternAtom.restype = ctypes.c_ulong
        self.x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.randr.XRRSetMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                             ctypes.POINTER(self._Info)]
        self.randr.XRRDeleteMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError(f"cannot open {display}")
        self.root = self.x11.XDefaultRootWindow(self.display)
        self.names = []

    def define(self, name, x, y, width, height, primary=False):
        atom = self.x11.XInternAtom(self.display, name.encode(), 0)
        info = self._Info(name=atom, primary=int(primary), x=x, y=y, width=width, height=height,
                          mwidth=width // 4, mheight=height // 4)
        self.randr.XRRSetMonitor(self.display, self.root, ctypes.byref(info))
        self.x11.XSync(self.display, 0)
        self.names.append(atom)

    def close(self):
        for atom in self.names:
            self.randr.XRRDeleteMonitor(self.display, self.root, atom)
        self.x11.XSync(self.display, 0)
        self.x11.XCloseDisplay(self.display)


def decode_jpeg(data):
    """A JPEG as (width, height, rgb bytes), decoded by djpeg."""
    ppm = subprocess.run(["djpeg", "-pnm"], input=data, capture_output=True, check=True).stdout
    match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
    if not match:
        raise AssertionError(f"djpeg gave no colour picture: {ppm[:20]!r}")
    width, height = int(match.group(1)), int(match.group(2))
    pixels = ppm[match.end():]
    if len(pixels) != width * height * 3:
        raise AssertionError("djpeg output is short")
    return width, height, pixels


def pixel(picture, x, y):
    width, _, pixels = picture
    at = (y * width + x) * 3
    return tuple(pixels[at:at + 3])


def pair_phone(server, name):
    """A raw phone greeted as `name` (no spaces) and paired by the PIN that the console shows;
    returns the admitted connection and its token."""
    mark = server.mark()
    phone = Line()
    phone.send(f"HELLO {name} - 1.0")
    if phone.read_line() != "PIN":
        raise AssertionError("no PIN prompt")
    phone.send("PIN " + server.wait_pin(name, since=mark))
    reply = phone.read_line() or ""
    if not re.fullmatch(r"OK [0-9a-f]{32}", reply):
        raise AssertionError(f"pairing failed: {reply!r}")
    return phone, reply[3:]


def udp_probe(payload, timeout=0.5):
    """Sends one datagram to the discovery port; the answer, or None."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.settimeout(timeout)
        s.sendto(payload, ("127.0.0.1", DISCOVERY_PORT))
        try:
            return s.recv(65536)
        except socket.timeout:
            return None


class ServerTest(unittest.TestCase):
    """A test class that shares one velora and one velora-remote among its tests."""

    with_x = False
    screen = "1280x800x24"  # of the Xvfb, when with_x

    @classmethod
    def setUpClass(cls):
        cls.server = Velora(with_x=cls.with_x, screen=cls.screen).start()
        cls.remote = Remote()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.remote.cleanup()

    def paired(self, name):
        """An admitted raw phone, closed when the test ends; with its token."""
        phone, token = pair_phone(self.server, name)
        self.addCleanup(phone.close)
        return phone, token

    def line(self, **kwargs):
        """A raw client connection, closed when the test ends."""
        conn = Line(**kwargs)
        self.addCleanup(conn.close)
        return conn


class _Result(unittest.TextTestResult):
    """Counts passes and shows the console of the server behind a failure."""

    passed = 0

    def addSuccess(self, test):
        super().addSuccess(test)
        self.passed += 1

    def _with_console(self, test, err):
        server = getattr(test, "server", None)
        if isinstance(server, Velora) and server.tmp:
            self.stream.write(server.tail() + "\n")

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self._with_console(test, err)

    def addError(self, test, err):
        super().addError(test, err)
        self._with_console(test, err)


def memory_is_measurable():
    """False for a program built with a sanitizer, whose runtime holds freed memory back and adds
    its own, so that the process's resident size says nothing about the program's."""
    with open(VELORA, "rb") as f:
        program = f.read()
    return b"__asan_init" not in program and b"__tsan_init" not in program


def _collect_sanitizer_reports():
    """Sends sanitizer reports of every child (velora, velora-remote) to files in a fresh folder:
    a sanitizer build's children are ended by signal or keep running after a report, so their
    exit status alone would not show it."""
    folder = tempfile.mkdtemp(prefix="velora-e2e-sanitizer-")
    for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS", "LSAN_OPTIONS"):
        options = [o for o in os.environ.get(name, "").split(":") if o]
        os.environ[name] = ":".join(options + [f"log_path={folder}/report"])
    return folder


def _print_sanitizer_reports(folder):
    """Prints each report the children wrote; returns how many there were."""
    found = 0
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            text = f.read()
        if text.strip():
            found += 1
            print(f"sanitizer report {name}:\n{text}")
    shutil.rmtree(folder, ignore_errors=True)
    return found


def main(*classes):
    """Runs the test classes; prints "N passed, N failed" and exits non-zero on a failure."""
    global VELORA, REMOTE
    parser = argparse.ArgumentParser()
    parser.add_argument("--velora", required=True)
    parser.add_argument("--remote", required=True)
    parser.add_argument("tests", nargs="*", help="optional test name filters (substrings)")
    args = parser.parse_args()
    VELORA, REMOTE = os.path.abspath(args.velora), os.path.abspath(args.remote)
    loader = unittest.TestLoader()
    if args.tests:
        loader.testNamePatterns = [f"*{t}*" for t in args.tests]
    suite = unittest.TestSuite(loader.loadTestsFromTestCase(c) for c in classes)
    reports = _collect_sanitizer_reports()
    started = time.monotonic()
    try:
        result = unittest.TextTestRunner(verbosity=2, resultclass=_Result,
                                         stream=sys.stdout).run(suite)
    except Exception:  # a crash of the runner itself still ends in a verdict line
        traceback.print_exc()
        print("0 passed, 1 failed")
        sys.exit(1)
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    failed += _print_sanitizer_reports(reports)
    print(f"took {time.monotonic() - started:.1f} s")
    print(f"{result.passed} passed, {failed} failed")
    sys.exit(1 if failed or result.passed == 0 else 0)
