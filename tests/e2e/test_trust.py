"""End-to-end tests of what a person must be able to trust on the desktop: one instance per
user, settings that survive a damaged field, an Allow that reaches only the phone it was meant
for, typing that does not hold up other phones, and a limit on PIN guesses over all addresses."""

import base64
import json
import os
import subprocess
import threading
import time
import unittest

import harness
from harness import Line, ServerTest, Velora


def config_bytes(server):
    with open(os.path.join(server.config_home, "velora", "config.json"), "rb") as f:
        return f.read()


class SecondStartTest(ServerTest):
    def test_second_start_names_the_running_one_and_changes_nothing(self):
        before = config_bytes(self.server)
        second = subprocess.run([harness.VELORA, "--console"], env=self.server.env,
                                input=b"screen off\npower off\n", capture_output=True,
                                timeout=20)
        self.assertNotEqual(second.returncode, 0)
        self.assertIn(f"Velora is already running (process {self.server.proc.pid})",
                      second.stderr.decode())
        self.assertNotIn(b"Listening", second.stdout)
        self.assertEqual(config_bytes(self.server), before, "the second start wrote settings")
        phone, _ = self.paired("Served")
        phone.send("PING")
        self.assertEqual(phone.read_line(), "PONG")


class DamagedSettingsTest(unittest.TestCase):
    def test_one_bad_member_resets_only_itself_and_is_reported(self):
        device = {"token": "f" * 32, "name": "Kept", "ip": "127.0.0.1", "lastSeen": 1}
        text = json.dumps({"serverId": "a" * 32, "allowPower": "false", "allowScreen": False,
                           "devices": [device, {"token": 7}]})
        server = Velora(lang="en")
        self.addCleanup(server.stop)

        def damage():
            folder = os.path.join(server.config_home, "velora")
            os.makedirs(folder)
            with open(os.path.join(folder, "config.json"), "w", encoding="utf-8") as f:
                f.write(text)
        server.start(before=damage)
        notice = server.wait_line(r"^Velora settings repaired: .*config\.json\.corrupt.*$").group(0)
        self.assertIn("allowPower \u2192 true", notice)
        self.assertIn("devices[1] \u2192 removed", notice)
        config = server.config()
        self.assertEqual((config["serverId"], config["allowPower"], config["allowScreen"]),
                         ("a" * 32, True, False))
        self.assertEqual(config["devices"], [device])
        folder = os.path.join(server.config_home, "velora")
        with open(os.path.join(folder, "config.json.corrupt"), encoding="utf-8") as f:
            self.assertEqual(f.read(), text)
        with open(os.path.join(folder, "log.txt"), encoding="utf-8") as f:
            self.assertIn("설정 파일 손상 — config.json.corrupt 보관 · 초기화: allowPower, devices[1]",
                          f.read())
        phone = Line()
        self.addCleanup(phone.close)
        phone.send(f"HELLO Kept {device['token']} 1.0")
        self.assertEqual(phone.read_line(), "OK " + device["token"])


class AllowTimingTest(unittest.TestCase):
    """An Allow typed as one prompt gives way to the next must not approve the next phone. The
    delay is lengthened here so that "too early" is certain however slow the machine is."""

    def test_allow_right_after_a_prompt_is_replaced_is_ignored(self):
        server = Velora(extra_env={"VELORA_ALLOW_DELAY_MS": "600000"}).start()
        self.addCleanup(server.stop)
        mark = server.mark()
        first, second = Line(), Line()
        self.addCleanup(first.close)
        self.addCleanup(second.close)
        first.send("HELLO First - 1.0")
        self.assertEqual(first.read_line(), "PIN")
        second.send("HELLO Second - 1.0")
        server.wait_line(r"^log: Second \(127\.0\.0\.1\) 접속", since=mark)
        first.close()
        server.wait_line(r"^pairing request of First \(127\.0\.0\.1\) closed$", since=mark)
        pin = server.wait_pin("Second", since=mark)
        server.type("allow")
        server.wait_line(r"^allow ignored: the request of Second \(127\.0\.0\.1\) has only "
                         r"just appeared", since=mark)
        self.assertEqual(server.count(r"^allowed$", since=mark), 0)
        self.assertEqual(second.read_line(), "PIN")
        second.send("PIN " + pin)
        self.assertRegex(second.read_line() or "", r"^OK [0-9a-f]{32}$")
        self.assertEqual(len(server.config()["devices"]), 1)


def read_in_background(conn, into):
    """Reads one line of `conn` on a thread; `into` gets (line, monotonic time)."""
    def run():
        line = conn.read_line(60)
        into.append((line, time.monotonic()))
    thread = threading.Thread(target=run, daemon=True)
    thread.start()
    return thread


class TypingTest(ServerTest):
    def test_another_phone_is_answered_while_a_long_text_is_typed(self):
        typist, _ = self.paired("Typist")
        other, _ = self.paired("Other")
        # 780 000 bytes of T lines, each under the 64 KiB limit once decoded.
        chunk = base64.b64encode(b"a" * 45000).decode()
        lines = "".join(f"T {chunk}\n" for _ in range(13)) + "PING\n"
        self.assertGreaterEqual(len(lines), 780000)
        typist_reply, other_reply = [], []
        waiting = read_in_background(typist, typist_reply)
        typist.send_raw(lines.encode())
        other.send("PING")
        read_in_background(other, other_reply).join(30)
        waiting.join(60)
        self.assertEqual([r[0] for r in typist_reply + other_reply], ["PONG", "PONG"])
        self.assertLess(other_reply[0][1], typist_reply[0][1],
                        "the other phone waited for the whole text")

    def test_text_over_64_kib_is_refused_silently(self):
        typist, _ = self.paired("Long")
        typist.send("T " + base64.b64encode(b"b" * (64 * 1024 + 1)).decode())
        typist.send("PING")
        self.assertEqual(typist.read_line(), "PONG")


class PinGuessingTest(ServerTest):
    def test_guesses_from_both_loopback_addresses_hit_the_common_limit(self):
        phone, token = self.paired("Owner")
        mark = self.server.mark()

        def guess(host):
            since = self.server.mark()
            conn = Line(host=host)
            conn.send("HELLO Guesser - 1.0")
            self.assertEqual(conn.read_line(), "PIN")
            pin = int(self.server.wait_pin("Guesser", since=since))
            conn.send(f"PIN {(pin + 1) % 1000000:06d}")
            self.assertEqual(conn.read_line(), "ERR pin")
            conn.close()

        def admit(host):
            conn = Line(host=host)
            conn.send(f"HELLO Owner {token} 1.0")
            self.assertEqual(conn.read_line(), "OK " + token)
            conn.close()

        # Four misses per address, then the owner's admission clears that address's own count:
        # only the common limit stops the guessing.
        for _ in range(3):
            for host in ("127.0.0.1", "::1"):
                for _ in range(4):
                    if self.server.count(r"새 페어링 보류", since=mark):
                        break
                    guess(host)
                admit(host)
        self.server.wait_line(r"^log: PIN 불일치 20회 누적 \(마지막 (127\.0\.0\.1|::1)\) — "
                              r"\d\d:\d\d:\d\d까지 새 페어링 보류$", since=mark)
        self.assertEqual(self.server.count(r"새 페어링 보류", since=mark), 1)
        for host in ("127.0.0.1", "::1"):
            conn = Line(host=host)
            conn.send("HELLO Late - 1.0")
            self.assertEqual(conn.read_line(), "ERR busy")
            conn.close()
        phone.send("PING")
        self.assertEqual(phone.read_line(), "PONG")
        admit("::1")


if __name__ == "__main__":
    harness.main(SecondStartTest, DamagedSettingsTest, AllowTimingTest, TypingTest,
                 PinGuessingTest)
