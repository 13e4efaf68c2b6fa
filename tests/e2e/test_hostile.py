"""End-to-end tests of hostile peers: floods of connections that never greet, bytes that trickle
in, names built to break the log, a PIN brute force, a discovery flood and screen viewers that
never read. The server must stay small, keep serving the phones it already has, and keep every
log entry on one line."""

import ctypes
import os
import random
import re
import resource
import socket
import threading
import time

import harness
from harness import ServerTest, udp_probe, wait_until

LOOPBACK = "127.0.0.1"
STAMP = re.compile(r"^\d\d:\d\d:\d\d ")
LINE_BREAKERS = re.compile("[\x00-\x1f\x7f-\x9f\u2028\u2029]")


def status_kib(pid, field):
    with open(f"/proc/{pid}/status", encoding="ascii") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise AssertionError(f"{field} missing from /proc/{pid}/status")


def open_fds(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def raise_file_limit():
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    if soft < hard:
        resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    return resource.getrlimit(resource.RLIMIT_NOFILE)[0]


class HostileServerTest(ServerTest):
    def pair(self, name):
        """A raw phone paired through Allow on the console; the open connection and its token."""
        mark = self.server.mark()
        phone = self.line()
        phone.send(f"HELLO {name} - 1.0")
        self.assertEqual(phone.read_line(), "PIN")
        self.server.wait_pin(name, since=mark)
        self.server.allow()
        reply = phone.read_line()
        self.assertRegex(reply, r"^OK [0-9a-f]{32}$")
        return phone, reply[3:]

    def assert_served_promptly(self, phone):
        phone.send("PING")
        self.assertEqual(phone.read_line(timeout=2), "PONG")


class FloodTest(HostileServerTest):
    def test_connections_that_never_greet_cannot_crowd_out_phones(self):
        keeper, token = self.pair("Keeper")
        pid = self.server.proc.pid
        fds_before = open_fds(pid)

        idle = [self.line() for _ in range(64)]
        # The server has taken all 64 once it holds a descriptor for each.
        self.assertTrue(wait_until(lambda: open_fds(pid) >= fds_before + 64, 10),
                        "the server did not take the 64 connections")
        extra = self.line()
        started = time.monotonic()
        self.assertEqual(extra.read_to_close(timeout=5), b"")
        # Closed at once, not by the 10 s greeting deadline.
        self.assertLess(time.monotonic() - started, 5, "the 65th connection was not closed at once")
        self.assert_served_promptly(keeper)

        # Thousands more: idle, half-closed right away, and reset right away.
        count = min(3000, raise_file_limit() - 200)
        flood = []
        for i in range(count):
            s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            s.settimeout(2)
            try:
                s.connect((LOOPBACK, harness.CONTROL_PORT))
            except OSError:
                s.close()
                continue
            if i % 3 == 1:
                s.shutdown(socket.SHUT_WR)
            elif i % 3 == 2:
                s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\0\0\0\0\0\0\0")
                s.close()
                continue
            flood.append(s)
        self.assertGreater(len(flood), count // 2)
        # The server closes what it cannot admit and settles at the 64 unadmitted it may hold.
        self.assertTrue(wait_until(lambda: open_fds(pid) < fds_before + 64 + 20, 10),
                        (open_fds(pid), fds_before))
        self.assert_served_promptly(keeper)

        for s in flood + [c.sock for c in idle]:
            s.close()
        # Once it has seen them close, a new phone has room again.
        self.assertTrue(wait_until(lambda: open_fds(pid) <= fds_before + 1, 10),
                        (open_fds(pid), fds_before))
        phone = self.line()
        phone.send(f"HELLO Later {token} 1.0")
        self.assertEqual(phone.read_line(), "OK " + token)
        self.assertEqual(self.server.proc.poll(), None)

    def test_phone_that_never_reads_its_replies(self):
        keeper, token = self.pair("Reader")
        pid = self.server.proc.pid
        flooder = self.line()
        flooder.send(f"HELLO Flooder {token} 1.0")
        self.assertEqual(flooder.read_line(), "OK " + token)
        rss_before = status_kib(pid, "VmRSS")
        chunk = b"PING\n" * 20000
        pending = b""
        sent = 0
        flooder.sock.setblocking(False)
        started = time.monotonic()
        while time.monotonic() - started < 3:
            if not pending:
                pending = chunk
            try:
                n = flooder.sock.send(pending)
            except BlockingIOError:
                time.sleep(0.01)
                continue
            sent += n
            pending = pending[n:]
        rss_after = status_kib(pid, "VmRSS")
        self.assert_served_promptly(keeper)
        # Each PING costs a reply that the phone does not read; the server holds only a bounded
        # amount of them and leaves the rest of the PINGs unread in the socket.
        if harness.memory_is_measurable():
            self.assertLess(rss_after - rss_before, 4 * 1024, (rss_before, rss_after))

        # Once the phone reads again, every reply comes, in order: one PONG per PING, then INFO.
        flooder.sock.setblocking(True)
        writer = threading.Thread(target=flooder.sock.sendall, args=(pending + b"INFO\n",))
        writer.start()
        pings = (sent + len(pending)) // 5
        data = bytearray()
        flooder.sock.settimeout(5)
        while b"INFO" not in data[-400:]:
            chunk = flooder.sock.recv(1 << 20)
            self.assertTrue(chunk, "closed before all replies came")
            data += chunk
        writer.join()
        replies = bytes(data).split(b"\n")
        self.assertTrue(replies[-2].startswith(b"INFO {"), replies[-2][:40])
        self.assertEqual(len(replies) - 2, pings)
        self.assertEqual(set(replies[:-2]), {b"PONG"})

    def test_lines_trickling_in_a_byte_at_a_time(self):
        _, token = self.pair("Trickle")
        phone = self.line()
        for data in (f"HELLO Trickle {token} 1.0\n".encode(), b"M 5 -5\nK ENTER\nPING\n"):
            for byte in data:
                phone.send_raw(bytes([byte]))
                time.sleep(0.002)
            if data.startswith(b"HELLO"):
                self.assertEqual(phone.read_line(), "OK " + token)
        self.assertEqual(phone.read_line(), "PONG")
        # A multi-byte character split between reads is still one character.
        for byte in "PING é\n".encode():
            phone.send_raw(bytes([byte]))
            time.sleep(0.002)
        self.assertEqual(phone.read_line(), "PONG")

    def test_names_with_control_characters_and_broken_utf8_stay_on_one_line(self):
        _, token = self.pair("Namer")
        nasty = [b"Evil\x1b[2J\rX\x0bY\x7fZ", b"\xc2\x85Next\xe2\x80\xa8Line\xe2\x80\xa9",
                 b"\xff\xfe\xc3(Bad\x00Nul\x9b", "Zoë_日本".encode()]
        mark = self.server.mark()
        for name in nasty:
            phone = self.line()
            phone.send_raw(b"HELLO " + name + b" " + token.encode() + b" 1\x1b.0\n")
            self.assertEqual(phone.read_line(), "OK " + token)
            phone.send("PING")
            self.assertEqual(phone.read_line(), "PONG")
            phone.close()
        # A phone paired under such a name keeps it in the store, where JSON escapes it.
        phone = self.line()
        phone.send_raw(b"HELLO Pair\x1b]0;owned\x07Me - 1.0\n")
        self.assertEqual(phone.read_line(), "PIN")
        self.server.wait_line(r"^pair: Pair\?\]0;owned\?Me ", since=mark)
        self.server.allow()
        self.assertRegex(phone.read_line(), r"^OK [0-9a-f]{32}$")
        self.assertIn("Pair\x1b]0;owned\x07Me", [d["name"] for d in self.server.config()["devices"]])
        self.server.type("devices")
        self.server.wait_line(r"^Pair\?\]0;owned\?Me \(127\.0\.0\.1\)$", since=mark)
        self.server.wait_count(r"^log: Zoë 日本 연결 해제$", 1, since=mark)

        console = self.server.lines[mark:]
        for line in console:
            self.assertIsNone(LINE_BREAKERS.search(line), repr(line))
        with open(os.path.join(self.server.config_home, "velora", "log.txt"), "rb") as f:
            log = f.read().decode("utf-8")  # strict: the log stays valid UTF-8
        entries = log.split("\n")
        self.assertEqual(entries[-1], "")
        for entry in entries[:-1]:
            self.assertRegex(entry, STAMP)
            self.assertIsNone(LINE_BREAKERS.search(entry), repr(entry))
        # Every entry the console showed is one line of the file, in the same order.
        shown = [line[5:] for line in self.server.lines if line.startswith("log: ")]
        self.assertEqual([e[9:] for e in entries[:-1]], shown)

    def test_discovery_flood_is_answered_at_a_bounded_rate(self):
        replies = []
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 20)
            s.settimeout(0.2)
            stop = threading.Event()

            def collect():
                while not stop.is_set():
                    try:
                        replies.append(s.recv(65536))
                    except socket.timeout:
                        pass

            reader = threading.Thread(target=collect)
            reader.start()
            sent = 0
            started = time.monotonic()
            while time.monotonic() - started < 2.0:
                for _ in range(100):
                    s.sendto(b"RMK?", (LOOPBACK, harness.DISCOVERY_PORT))
                sent += 100
            time.sleep(0.3)
            stop.set()
            reader.join()
        self.assertGreater(sent, 2000)
        self.assertTrue(all(r.startswith(b"RMK!") for r in replies))
        # Two seconds of flood span at most three rate windows of 100 replies.
        self.assertGreaterEqual(len(replies), 100)
        self.assertLessEqual(len(replies), 300)
        time.sleep(1.0)
        self.assertIsNotNone(udp_probe(b"RMK?", timeout=2), "the responder stopped answering")


class BruteForceTest(HostileServerTest):
    """Guesses the PIN from the loopback address until blocked (the server stays blocked)."""

    def test_pin_brute_force_is_blocked_after_five_misses(self):
        keeper, _ = self.pair("Keeper")
        mark = self.server.mark()
        # Many guesses in one burst are one miss: the first wrong PIN ends the session.
        guesser = self.line()
        guesser.send("HELLO Burst - 1.0")
        self.assertEqual(guesser.read_line(), "PIN")
        pin = self.server.wait_pin("Burst", since=mark)
        guesses = [f"{n:06d}" for n in range(1000) if f"{n:06d}" != pin]
        guesser.send_raw("".join(f"PIN {g}\n" for g in guesses).encode())
        self.assertEqual(guesser.read_to_close(), b"ERR pin\n")
        self.assertEqual(self.server.wait_count(r"^log: Burst .* PIN 불일치$", 1, mark), 1)

        for n in range(2, 6):
            mark = self.server.mark()
            guesser = self.line()
            guesser.send(f"HELLO Guess{n} - 1.0")
            self.assertEqual(guesser.read_line(), "PIN")
            pin = self.server.wait_pin(f"Guess{n}", since=mark)
            guesser.send("PIN " + f"{(int(pin) + 7) % 1000000:06d}")
            self.assertEqual(guesser.read_to_close(), b"ERR pin\n")

        # Blocked now: no prompt, nothing read, even for the right PIN sent blind.
        mark = self.server.mark()
        for _ in range(20):
            guesser = self.line()
            try:
                guesser.send_raw(b"HELLO Again - 1.0\nPIN 123456\n")
            except OSError:
                pass
            self.assertEqual(guesser.read_to_close(timeout=1), b"")
        time.sleep(0.2)
        self.assertEqual(self.server.count(r"^pair: |Again", since=mark), 0)
        # The phone admitted before the block keeps its connection and its service.
        self.assert_served_promptly(keeper)


class XPainter:
    """Draws random rectangles on the Xvfb root window so that every frame differs."""

    def __init__(self, display):
        self.x = ctypes.CDLL("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XCreateGC.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                     ctypes.c_void_p]
        self.x.XCreateGC.restype = ctypes.c_void_p
        self.x.XSetForeground.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_ulong]
        self.x.XFillRectangle.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p,
                                          ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.dpy = self.x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open " + display)
        self.root = self.x.XDefaultRootWindow(self.dpy)
        self.gc = self.x.XCreateGC(self.dpy, self.root, 0, None)
        self.stop = threading.Event()
        self.thread = threading.Thread(target=self._paint, daemon=True)

    def _paint(self):
        rng = random.Random(7)
        while not self.stop.is_set():
            for _ in range(200):
                self.x.XSetForeground(self.dpy, self.gc, rng.getrandbits(24))
                self.x.XFillRectangle(self.dpy, self.root, self.gc, rng.randrange(1280),
                                      rng.randrange(800), rng.randrange(4, 64), rng.randrange(4, 64))
            self.x.XFlush(self.dpy)
            time.sleep(0.02)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stop.set()
        self.thread.join()
        self.x.XCloseDisplay(self.dpy)


class ViewerTest(HostileServerTest):
    with_x = True

    def test_viewers_that_do_not_read_keep_the_server_small(self):
        keeper, token = self.pair("Keeper")
        pid = self.server.proc.pid
        with XPainter(self.server.xvfb.display):
            # One viewer reads nothing and acknowledges nothing; the other acknowledges a
            # flood of frames it never reads.
            stalled = self.line()
            stalled.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            stalled.send(f"SCREEN {token} 1280 95 Stalled")
            acker = self.line()
            acker.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            acker.send(f"SCREEN {token} 1280 95 Acker")
            self.server.wait_line(r"^viewer: Acker on$")
            acks = b"A\n" * 5000
            acker.sock.settimeout(0.5)

            def flood(seconds):
                sent = 0
                started = time.monotonic()
                next_check = started
                while time.monotonic() - started < seconds:
                    try:
                        sent += acker.sock.send(acks)
                    except socket.timeout:
                        pass
                    if time.monotonic() >= next_check:
                        self.assert_served_promptly(keeper)
                        next_check += 0.5
                return sent

            # Warm up until both views hold their pictures and socket buffers are full, then
            # watch: frames of about 300 KB at up to 15 a second would add megabytes a second if
            # the server queued them for the viewer that does not read.
            flood(2.0)
            rss_warm = status_kib(pid, "VmRSS")
            self.assertGreater(flood(4.0), 100000)
            rss_after = status_kib(pid, "VmRSS")
            self.assert_served_promptly(keeper)
        # Queued frames would add well over 15 MB in those four seconds; the allocator's own
        # ups and downs stay within a few.
        if harness.memory_is_measurable():
            self.assertLess(rss_after - rss_warm, 8 * 1024, (rss_warm, rss_after))
        # Both viewers hold the two viewer places: a third is told so and closed.
        third = self.line()
        third.send(f"SCREEN {token} 640 50 Third")
        self.assertEqual(third.read_to_close(), b"ERR busy\n")
        stalled.close()
        acker.close()
        self.server.wait_line(r"^viewer: Acker off$")


if __name__ == "__main__":
    harness.main(FloodTest, BruteForceTest, ViewerTest)
