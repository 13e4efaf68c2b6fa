"""End-to-end tests of the control server: discovery, pairing, admission and the hostile cases,
driven through velora-remote for the normal flows and raw sockets for the rest."""

import json
import os
import re
import stat
import signal
import socket
import subprocess
import tempfile
import time
import unittest

import harness
from harness import ServerTest, udp_probe

LOOPBACK = "127.0.0.1"




def lan_namespace(hosts):
    """A prefix that starts velora in namespaces of its own: one interface with known LAN
    addresses, and `hosts` as /etc/hosts, so that what it shows does not depend on the machine's
    network or name service."""
    setup = ("mount --bind \"$HOSTS_FILE\" /etc/hosts && ip link set lo up && "
             "ip tuntap add dev eth0 mode tap && ip addr add 192.168.77.7/24 dev eth0 && "
             "ip addr add fd77::7/64 dev eth0 && ip link set eth0 up && exec \"$0\" \"$@\"")
    return ["env", "HOSTS_FILE=" + hosts, "unshare", "--net", "--mount", "--map-root-user",
            "sh", "-c", setup]


# Each half block as (upper module light, lower module light) on a dark terminal.
HALF_BLOCKS = {" ": (False, False), "\u2580": (True, False), "\u2584": (False, True),
               "\u2588": (True, True)}


def read_terminal_code(lines, scale=4):
    """What zbarimg reads in half-block lines, pictured as a dark terminal shows them."""
    rows = []
    for line in lines:
        upper, lower = zip(*(HALF_BLOCKS[c] for c in line))
        rows += [upper, lower]
    width = max(len(row) for row in rows)
    pixels = bytearray()
    for row in rows:
        drawn = b"".join((b"\xff" if light else b"\x00") * scale
                         for light in row + (False,) * (width - len(row)))
        pixels += drawn * scale
    with tempfile.NamedTemporaryFile(suffix=".pgm") as picture:
        picture.write(b"P5 %d %d 255\n" % (width * scale, len(rows) * scale) + pixels)
        picture.flush()
        result = subprocess.run(["zbarimg", "--raw", "-q", picture.name], capture_output=True,
                                text=True, timeout=30)
    return result.stdout.splitlines()


def wrong(pin):
    return f"{(int(pin) + 1) % 1000000:06d}"


class DiscoveryTest(ServerTest):
    def test_probe_is_answered_with_the_server_identity(self):
        server_id = self.server.config()["serverId"]
        self.assertRegex(server_id, r"^[0-9a-f]{32}$")
        for probe in (b"RMK?", b"RMK?and more"):
            reply = udp_probe(probe, timeout=2)
            self.assertIsNotNone(reply, probe)
            self.assertTrue(reply.startswith(b"RMK!"), reply)
            info = json.loads(reply[4:].decode("utf-8"))
            self.assertEqual(set(info), {"name", "os", "ver", "port", "id"})
            self.assertEqual((info["os"], info["ver"], info["id"]), ("linux", "1.1.0", server_id))
            self.assertIs(type(info["port"]), int)
            self.assertEqual(info["port"], 21998)
            self.assertIsInstance(info["name"], str)

    def test_other_datagrams_get_no_answer(self):
        for datagram in (b"RMK", b"rmk?", b""):
            self.assertIsNone(udp_probe(datagram, timeout=0.4), datagram)
        self.assertIsNotNone(udp_probe(b"RMK?", timeout=2), "the responder stopped answering")

    def test_remote_lists_this_computer(self):
        result = self.remote.run("discover", "--timeout", "1")
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = [line.split("\t") for line in result.stdout.splitlines()]
        server_id = self.server.config()["serverId"]
        local = [r for r in rows if r[0] == LOOPBACK]
        self.assertEqual(len(local), 1, result.stdout)
        self.assertEqual(local[0][2:], ["linux", "1.1.0", "21998", server_id])


class PairingTest(ServerTest):
    def pair_by_pin(self, name):
        """Pairs phone `name` through velora-remote and the PIN on the console; its token."""
        mark = self.server.mark()
        phone = self.remote.spawn("pair", LOOPBACK, "--name", name)
        pin = self.server.wait_pin(name, since=mark)
        out, err = phone.communicate(pin + "\n", timeout=10)
        self.assertEqual(phone.returncode, 0, err)
        self.assertIn("PIN requested; enter the PIN shown on the computer:", out)
        return self.remote.tokens()[self.server.config()["serverId"]]["token"]

    def open_prompt(self, name):
        """A raw phone that greeted without a token and got "PIN"; with the console's PIN."""
        mark = self.server.mark()
        phone = self.line()
        phone.send(f"HELLO {name} - 1.0")
        self.assertEqual(phone.read_line(), "PIN")
        return phone, self.server.wait_pin(name.replace("_", " "), since=mark)

    def test_pairing_by_pin_then_token_admits_at_once(self):
        mark = self.server.mark()
        token = self.pair_by_pin("Kitchen Phone")
        self.assertRegex(token, r"^[0-9a-f]{32}$")
        self.assertEqual(stat.S_IMODE(os.stat(self.remote.tokens_file).st_mode), 0o600)
        device = [d for d in self.server.config()["devices"] if d["token"] == token]
        self.assertEqual([(d["name"], d["ip"]) for d in device], [("Kitchen Phone", LOOPBACK)])
        self.server.wait_line(r"^log: Kitchen Phone \(127\.0\.0\.1\) 페어링 요청 — PIN \d{6} 표시$",
                              since=mark)

        mark = self.server.mark()
        phone = self.line()
        phone.send(f"HELLO Kitchen_Phone {token} 1.0")
        self.assertEqual(phone.read_line(), "OK " + token)
        self.server.wait_line(r"^log: Kitchen Phone \(127\.0\.0\.1\) 연결됨$", since=mark)
        self.assertEqual(self.server.count(r"^pair: ", since=mark), 0)

    def test_allow_on_the_console_pairs_without_the_pin(self):
        mark = self.server.mark()
        phone = self.remote.spawn("pair", LOOPBACK, "--name", "Tablet")
        self.server.wait_pin("Tablet", since=mark)
        self.server.allow()
        out, err = phone.communicate(timeout=10)  # stdin stays empty: no PIN is typed
        self.assertEqual(phone.returncode, 0, err)
        token = self.remote.tokens()[self.server.config()["serverId"]]["token"]
        self.assertIn(token, [d["token"] for d in self.server.config()["devices"]])
        result = self.remote.run("send", LOOPBACK, "PING", "--name", "Tablet")
        self.assertEqual((result.returncode, result.stdout), (0, "PONG\n"), result.stderr)

    def test_wrong_pin_is_refused_and_closes(self):
        mark = self.server.mark()
        phone = self.remote.spawn("pair", LOOPBACK, "--name", "Guesser")
        pin = self.server.wait_pin("Guesser", since=mark)
        _, err = phone.communicate(wrong(pin) + "\n", timeout=10)
        self.assertEqual(phone.returncode, 5, err)
        self.assertIn("ERR pin", err)
        self.server.wait_line(r"^log: Guesser \(127\.0\.0\.1\) PIN 불일치$", since=mark)
        # The failure is not a block: the next phone gets a prompt.
        self.open_prompt("Next")

    def test_second_phone_is_busy_while_a_prompt_is_open(self):
        first, _ = self.open_prompt("First")
        started = time.monotonic()
        result = self.remote.run("pair", LOOPBACK, "--name", "Second", "--pin", "000000")
        waited = time.monotonic() - started
        self.assertEqual(result.returncode, 4, result.stderr)
        self.assertIn("ERR busy", result.stderr)
        self.assertGreater(waited, 1.5)
        # The open prompt survived the busy attempt and can still be approved.
        self.server.allow()
        self.assertRegex(first.read_line(), r"^OK [0-9a-f]{32}$")

    def test_disconnect_during_prompt_frees_the_slot(self):
        first, _ = self.open_prompt("Leaver")
        first.close()
        # A slot still taken would answer "ERR busy" after its 2 s wait instead of "PIN".
        self.open_prompt("Stayer")


class SessionTest(ServerTest):
    def test_ping_and_info(self):
        mark = self.server.mark()
        phone = self.remote.spawn("pair", LOOPBACK, "--name", "Pinger")
        phone.communicate(self.server.wait_pin("Pinger", since=mark) + "\n", timeout=10)
        self.assertEqual(phone.returncode, 0)
        result = self.remote.run("send", LOOPBACK, "ping", "PING", "PING with words", "INFO")
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(lines[:2], ["PONG", "PONG"])
        self.assertEqual(len(lines), 3, result.stdout)
        self.assertTrue(lines[2].startswith("INFO {"), lines[2])
        self.assertNotRegex(lines[2][5:], r"\s")
        info = json.loads(lines[2][5:], object_pairs_hook=list)
        self.assertEqual([k for k, _ in info], ["name", "os", "ver", "power", "ax", "screen"])
        values = dict(info)
        self.assertEqual((values["os"], values["ver"]), ("linux", "1.1.0"))
        self.assertEqual((values["power"], values["screen"]), (True, True))
        self.assertIsInstance(values["ax"], bool)

    def test_unknown_token_is_not_admitted(self):
        result = self.remote.run("send", LOOPBACK, "PING", "--token", "0" * 32)
        self.assertEqual(result.returncode, 7, result.stderr)
        self.assertNotIn("PONG", result.stdout)

    def test_bad_first_line_is_dropped_silently(self):
        mark = self.server.mark()
        # The greeting that follows a bad first line in the same chunk is not handled either.
        for data in (b"hello x - 1.0\n", b"HELLO\n", b"PING\n", b"GET /\nHELLO x - 1.0\n"):
            phone = self.line()
            phone.send_raw(data)
            self.assertEqual(phone.read_to_close(), b"", data)
        self.assertEqual(self.server.wait_count(r"^log: 127\.0\.0\.1 잘못된 인사말$", 4, mark), 4)
        # A request line is HTTP: this one is answered as a bad request, and logged nowhere.
        phone = self.line()
        phone.send_raw(b"GET / HTTP/1.1\nHELLO x - 1.0\n")
        self.assertTrue(phone.read_to_close().startswith(b"HTTP/1.1 400 "))
        self.assertEqual(self.server.count(r"^log: 127\.0\.0\.1 잘못된 인사말$", since=mark), 4)
        self.assertEqual(self.server.count(r"^pair: ", since=mark), 0)

    def test_connection_from_outside_address_is_refused(self):
        mark = self.server.mark()
        phone = self.line(bind="127.0.0.2")
        phone.send_raw(b"HELLO Stranger - 1.0\n")
        self.assertEqual(phone.read_to_close(), b"")
        self.server.wait_line(r"^log: 외부 주소 연결 거부: 127\.0\.0\.2$", since=mark)
        self.assertEqual(self.server.count(r"Stranger", since=mark), 0)


class BlockTest(ServerTest):
    """Five PIN mismatches from one address block it (this server stays blocked afterwards)."""

    def mismatch_raw(self, name):
        mark = self.server.mark()
        phone = self.line()
        phone.send(f"HELLO {name} - 1.0")
        self.assertEqual(phone.read_line(), "PIN")
        phone.send("PIN " + wrong(self.server.wait_pin(name, since=mark)))
        self.assertEqual(phone.read_to_close(), b"ERR pin\n")

    def test_fifth_mismatch_blocks_the_address(self):
        for n in range(1, 5):
            self.mismatch_raw(f"Guess{n}")
        # Four mismatches leave the address admissible; the fifth comes through velora-remote.
        mark = self.server.mark()
        phone = self.remote.spawn("pair", LOOPBACK, "--name", "Guess5")
        _, err = phone.communicate(wrong(self.server.wait_pin("Guess5", since=mark)) + "\n",
                                   timeout=10)
        self.assertEqual(phone.returncode, 5, err)
        # The phone may read "ERR pin" before the console prints the mismatch.
        self.server.wait_line(r"Guess5 .* PIN 불일치", since=mark)

        mark = self.server.mark()
        blocked = self.line()
        blocked.send_raw(b"HELLO Guess6 - 1.0\n")
        started = time.monotonic()
        self.assertEqual(blocked.read_to_close(timeout=8), b"")
        # Dropped at once, not by the 10 s greeting deadline.
        self.assertLess(time.monotonic() - started, 5)
        result = self.remote.run("pair", LOOPBACK, "--name", "Guess7", "--pin", "123456")
        self.assertEqual(result.returncode, 6, result.stderr)
        time.sleep(0.2)
        self.assertEqual(self.server.count(r"Guess[67]|127\.0\.0\.1", since=mark), 0)
        # Discovery applies no address filter and still answers.
        self.assertIsNotNone(udp_probe(b"RMK?", timeout=2))


class ForgetTest(ServerTest):
    def test_forget_on_the_console_makes_every_phone_of_that_name_pair_again(self):
        tokens = {}
        for name in ("Twin", "Twin", "Solo", "Keeper"):
            phone, token = harness.pair_phone(self.server, name)
            phone.close()
            tokens.setdefault(name, []).append(token)
        for typed, reply in (("forget Nobody", "no paired device is named Nobody"),
                             ("forget Twin", "forgot 2 devices named Twin"),
                             ("forget  Solo ", "forgot Solo"),
                             ("forget Twin", "no paired device is named Twin"),
                             ("forget", "commands: allow, power on|off, screen on|off, devices, "
                                        "forget NAME, qr, quit")):
            mark = self.server.mark()
            self.server.type(typed)
            self.server.wait_line("^" + re.escape(reply) + "$", since=mark)
        self.assertEqual([d["name"] for d in self.server.config()["devices"]], ["Keeper"])
        # A forgotten token leads to a pairing prompt; the other phone is still let in.
        for name in ("Twin", "Twin", "Solo"):
            token = tokens[name].pop()
            mark = self.server.mark()
            phone = self.line()
            phone.send(f"HELLO {name} {token} 1.0")
            self.assertEqual(phone.read_line(), "PIN")
            phone.close()
            self.server.wait_line(r"^pairing request of " + name + r" \(127\.0\.0\.1\) closed$",
                                  since=mark)
        keeper = self.line()
        keeper.send(f"HELLO Keeper {tokens['Keeper'][0]} 1.0")
        self.assertEqual(keeper.read_line(), "OK " + tokens["Keeper"][0])


class ConsoleTest(unittest.TestCase):
    """The console shell's start and end, each with a velora of its own."""

    def start(self, lang="ko", **kwargs):
        server = harness.Velora(lang=lang)
        self.addCleanup(server.stop)
        return server.start(**kwargs)

    def test_activity_lines_are_shown_in_the_chosen_language_and_logged_in_korean(self):
        server = self.start(lang="de")
        phone, _ = harness.pair_phone(server, "Anna")
        server.wait_line(r"^log: Anna \(127\.0\.0\.1\) verbunden$")
        phone.close()
        server.wait_line(r"^log: Anna getrennt$")
        with open(os.path.join(server.config_home, "velora", "log.txt"), encoding="utf-8") as f:
            entries = [line[9:] for line in f.read().splitlines()]
        # Each entry is written before it is shown: the log holds all the console has shown.
        self.assertIn("Anna (127.0.0.1) 연결됨", entries)
        self.assertIn("Anna 연결 해제", entries)
        self.assertRegex("\n".join(entries), r"Anna \(127\.0\.0\.1\) 페어링 요청 — PIN \d{6} 표시")
        shown = [line for line in server.lines if line.startswith("log: ")]
        self.assertEqual(len(shown), len(entries))
        self.assertEqual([line for line in shown if re.search("[\uAC00-\uD7A3]", line)], [])

    def test_a_discovery_port_held_by_another_program_is_said_on_the_console(self):
        holder = socket.socket(socket.AF_INET6, socket.SOCK_DGRAM)
        self.addCleanup(holder.close)
        holder.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
        server = self.start(
            before=lambda: holder.bind(("::", harness.DISCOVERY_PORT)),
            ready=r"^Listening on TCP 21998 only: phones cannot discover this computer$")
        self.assertEqual(server.count(r"^log: .*탐색 포트를 열지 못했습니다"), 1)
        self.assertEqual(server.count(r"^Listening on TCP 21998 and"), 0)
        phone = harness.Line(timeout=5)
        self.addCleanup(phone.close)
        phone.send("HELLO Phone - 1.0")
        self.assertEqual(phone.read_line(5), "PIN")

    def test_ports_held_by_other_programs_are_said_on_the_console(self):
        holders = []
        for kind, port in ((socket.SOCK_STREAM, harness.CONTROL_PORT),
                           (socket.SOCK_DGRAM, harness.DISCOVERY_PORT)):
            holder = socket.socket(socket.AF_INET6, kind)
            self.addCleanup(holder.close)
            holder.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
            # Connections of earlier tests may linger in TIME_WAIT; a listener still excludes
            # every other one.
            holder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            holders.append((holder, port))

        def hold():
            for holder, port in holders:
                holder.bind(("::", port))
            holders[0][0].listen(1)

        server = self.start(
            before=hold,
            ready=r"^Could not open TCP 21998 or UDP 21999: phones cannot reach this computer$")
        self.assertEqual(server.count(r"^Listening on"), 0)

    def test_commands_typed_at_once_all_run_before_quit_ends_the_program(self):
        server = self.start()
        server.type("power off\nscreen off\ndevices\n quit \nscreen on")
        self.assertEqual(server.proc.wait(timeout=5), 0)
        server.wait_line(r"^screen viewing off$")
        self.assertEqual(server.count(r"^power control off$"), 1)
        self.assertEqual(server.count(r"^screen viewing allowed$"), 0)
        config = server.config()
        self.assertFalse(config["allowPower"])
        self.assertFalse(config["allowScreen"])

    def phone_page(self, server, since):
        """The address, the other addresses and what the code reads as, from the block that
        the console printed from `since` on."""
        lines = server.lines[since:]
        first = next(i for i, line in enumerate(lines) if line.startswith("Phone page: "))
        end = lines.index("Open the address in your phone's browser, or scan the code.", first)
        url = re.fullmatch(r"Phone page: (\S+) \((this computer's name: the same after "
                           r"restarts and network changes|a network address: it may change when "
                           r"the network assigns a new one)\)", lines[first]).group(1)
        others = [line[len("Also at: "):] for line in lines[first + 1:end]
                  if line.startswith("Also at: ")]
        code = lines[first + 1 + len(others):end]
        self.assertGreaterEqual(len(code), 15, "a version 1 code and its quiet zone at least")
        self.assertTrue(all(set(line) <= set(HALF_BLOCKS) for line in code), code)
        return url, others, read_terminal_code(code)

    def test_the_phone_page_address_and_its_code_at_start_and_on_qr(self):
        host = socket.gethostname().split(".")[0].lower()
        address, ipv6 = "http://192.168.77.7:21998/", "http://[fd77::7]:21998/"
        # The name is preferred where it resolves to this computer (over mDNS on a LAN; here
        # through the hosts file), the first LAN address where it does not.
        cases = [(f"192.168.77.7 {host}.local\n", f"http://{host}.local:21998/", [address, ipv6]),
                 ("192.168.77.9 elsewhere.local\n", address, [ipv6])]
        for hosts, url, others in cases:
            with self.subTest(url=url), tempfile.NamedTemporaryFile("w", suffix=".hosts") as f:
                f.write("127.0.0.1 localhost\n" + hosts)
                f.flush()
                server = harness.Velora(prefix=lan_namespace(f.name))
                # Stopped before the next case starts, also when this one fails: that one waits
                # for the port lock.
                try:
                    server.start(ready=r"^Open the address in your phone's browser, or scan the "
                                       r"code\.$")
                    self.assertEqual(server.lines[0], "Velora 1.1.0 \u2014 console shell")
                    self.assertIn("Listening on TCP 21998 and UDP 21999", server.lines[1:3])
                    self.assertEqual(self.phone_page(server, since=2), (url, others, [url]))

                    mark = server.mark()
                    server.type("qr")
                    server.wait_line(r"^Open the address in your phone's browser", since=mark)
                    self.assertEqual(self.phone_page(server, since=mark), (url, others, [url]))
                    server.type("what")
                    server.wait_line(r"^commands: .*\bqr\b", since=mark)
                finally:
                    server.stop()

    def test_a_signal_ends_it_even_while_a_line_is_half_typed(self):
        server = self.start()
        server.proc.stdin.write(b"power o")
        server.proc.stdin.flush()
        server.proc.send_signal(signal.SIGINT)
        self.assertEqual(server.proc.wait(timeout=5), 0)
        self.assertTrue(server.config()["allowPower"])


if __name__ == "__main__":
    harness.main(DiscoveryTest, PairingTest, SessionTest, BlockTest, ForgetTest, ConsoleTest)
