"""End-to-end tests of the phone page in a real browser: headless Chromium, in a phone-sized
viewport with touch, opens the page that `velora --console` serves on its own Xvfb, pairs, and
drives the touchpad, the keyboard field and the live screen with touch and input-method events
sent through the DevTools protocol. A full-screen probe window reports what reached the X server.
"""

import http.server
import os
import re
import subprocess
import threading

from browser import SLOW, Browser, pair_by_pin
from selenium.webdriver.common.keys import Keys
import harness
from harness import ServerTest, XProbe, wait_until

BUTTON1 = 0x100
MODIFIER_KEYS = {"Shift_L", "Shift_R", "Control_L", "Control_R", "Alt_L", "Alt_R",
                 "ISO_Level3_Shift"}
PAIR_LINE = r"^pair: "


def foreign_server():
    """An HTTP server on another loopback port whose page opens the control port's WebSocket, as
    any web site in any browser on the LAN could; the page records what the socket did."""
    page = b"""<!doctype html><title>elsewhere</title><script>
const root = document.documentElement;
root.dataset.ws = "connecting";
const ws = new WebSocket("ws://127.0.0.1:21998/ws");
ws.onopen = () => { root.dataset.opened = "yes"; ws.send("HELLO Intruder - 1.0"); };
ws.onmessage = (e) => { root.dataset.reply = e.data; };
ws.onerror = () => { root.dataset.error = "yes"; };
ws.onclose = (e) => { root.dataset.ws = "closed " + e.code; };
</script>"""

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(page)))
            self.end_headers()
            self.wfile.write(page)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class PhonePageTest(ServerTest):
    with_x = True

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.browser = None
        cls.probe = None
        try:
            # Power actions would reach the real machine: switch them off before anything else.
            cls.power_off()
            cls.probe = XProbe(cls.server.xvfb.display)
            cls.browser = Browser()
            pair_by_pin(cls.browser, cls.server, "Main Phone")
        except Exception:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.browser:
            cls.browser.quit()
        if cls.probe:
            cls.probe.stop()
        super().tearDownClass()

    @classmethod
    def power_off(cls):
        mark = cls.server.mark()
        cls.server.type("power off")
        cls.server.wait_line(r"^power control off$", since=mark)

    def setUp(self):
        # Each test starts from the shared page in its control view.
        self.browser.wait_phase("ready")

    def fresh_browser(self):
        browser = Browser()
        self.addCleanup(browser.quit)
        return browser

    def pointer(self):
        env = dict(os.environ, DISPLAY=self.server.xvfb.display)
        out = subprocess.run(["xdotool", "getmouselocation"], env=env, capture_output=True,
                             text=True, check=True).stdout
        match = re.match(r"x:(-?\d+) y:(-?\d+) ", out)
        return int(match.group(1)), int(match.group(2))

    def put_pointer(self, x, y):
        env = dict(os.environ, DISPLAY=self.server.xvfb.display)
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=env, check=True)
        wait_until(lambda: self.pointer() == (x, y), 5)

    def typed(self, mark, expected):
        """The text that the probe's key events spell, once `expected` many keys came."""
        events = self.probe.settle("key", mark, len(expected), quiet=0.5, timeout=SLOW)
        return "".join("\n" if e["name"] == "Return" else "\b" if e["name"] == "BackSpace"
                       else e["char"] for e in events if e["name"] not in MODIFIER_KEYS)

    def touchpad(self):
        self.browser.tab("Touchpad")
        return self.browser.centre("pad")

    # -- pairing -------------------------------------------------------------------------------

    def test_pin_pairing_lasts_across_reloads(self):
        browser = self.fresh_browser()
        pair_by_pin(browser, self.server, "Reload Phone")
        self.assertTrue(browser.shown("control"))
        self.assertFalse(browser.shown("pairing"))
        token = browser.js("return Object.entries(localStorage)"
                           ".filter(([k]) => k.startsWith('velora.token.'))")
        self.assertEqual(len(token), 1, token)
        self.assertRegex(token[0][1], r"^[0-9a-f]{32}$")
        self.assertNotIn(token[0][1], browser.driver.current_url, "the token is never in the URL")

        mark = self.server.mark()
        browser.driver.refresh()
        browser.wait_phase("ready")
        self.assertTrue(browser.shown("control"))
        self.assertFalse(browser.shown("pairing"))
        self.assertEqual(self.server.count(PAIR_LINE, mark), 0, "a reload asked to pair again")

    def test_allow_pairing_and_another_origin_is_refused(self):
        browser = self.fresh_browser()
        browser.open()
        browser.wait_phase("unpaired")
        mark = self.server.mark()
        self.assertEqual(self.server.count(PAIR_LINE, mark), 0, "the page greeted before Pair")
        browser.field("Your phone's name").send_keys(Keys.CONTROL, "a")
        browser.field("Your phone's name").send_keys("Allowed Phone")
        browser.by_text("button", "Pair").click()
        self.server.wait_line(PAIR_LINE + "Allowed Phone ", SLOW, since=mark)
        browser.wait_phase("pin")
        self.server.allow(timeout=SLOW)
        browser.wait_phase("ready")
        self.assertTrue(browser.shown("control"))

        # A page of another origin in the same browser: the upgrade is refused, so its socket
        # never opens and no pairing prompt appears on the computer.
        elsewhere = foreign_server()
        self.addCleanup(elsewhere.server_close)
        self.addCleanup(elsewhere.shutdown)
        mark = self.server.mark()
        browser.open(f"http://127.0.0.1:{elsewhere.server_address[1]}/")
        ws = lambda: browser.js("return document.documentElement.dataset.ws")
        wait_until(lambda: (ws() or "").startswith("closed"), SLOW)
        self.assertRegex(ws(), r"^closed \d+$")
        data = browser.js("return {...document.documentElement.dataset}")
        self.assertEqual(data.get("error"), "yes", data)
        self.assertNotIn("opened", data)
        self.assertNotIn("reply", data)
        self.assertEqual(self.server.count(PAIR_LINE, mark), 0)

    # -- touchpad ------------------------------------------------------------------------------

    def test_one_finger_moves_the_pointer(self):
        x, y = self.touchpad()
        self.put_pointer(640, 400)
        self.browser.slide((x - 80, y), 160, 0)
        self.browser.touch("touchEnd")
        wait_until(lambda: self.pointer()[0] > 700, SLOW)
        px, py = self.pointer()
        self.assertGreater(px, 700, "a drag to the right moves the pointer to the right")
        self.assertLess(abs(py - 400), (px - 640) / 4, "a level drag stays level")

        self.put_pointer(640, 400)
        self.browser.slide((x, y + 60), 0, -120)
        self.browser.touch("touchEnd")
        wait_until(lambda: self.pointer()[1] < 360, SLOW)
        px, py = self.pointer()
        self.assertLess(py, 360, "a drag upwards moves the pointer up")
        self.assertLess(abs(px - 640), (400 - py) / 4)

    def test_two_finger_tap_right_clicks(self):
        x, y = self.touchpad()
        self.put_pointer(300, 200)
        mark = self.probe.mark()
        self.browser.tap((x - 30, y), (x + 30, y))
        press = self.probe.wait_for(lambda e: e["ev"] == "press", since=mark, timeout=SLOW)
        self.assertEqual((press["b"], press["x"], press["y"]), (3, 300, 200))
        self.probe.wait_for(lambda e: e["ev"] == "release" and e["b"] == 3, since=mark,
                            timeout=SLOW)
        self.assertEqual([e["b"] for e in self.probe.settle("press", mark, 1)], [3])

    def test_tap_then_drag_holds_the_left_button(self):
        x, y = self.touchpad()
        self.put_pointer(400, 300)
        mark = self.probe.mark()
        # The second touch comes within the tap's drag window: it presses instead of clicking.
        self.browser.tap((x, y))
        self.browser.slide((x, y), 100, 40)
        moved = self.probe.wait_for(lambda e: e["ev"] == "motion" and e["state"] & BUTTON1,
                                    since=mark, timeout=SLOW)
        self.assertGreater(moved["x"], 400, "the held drag moves the pointer")
        self.browser.touch("touchEnd")
        release = self.probe.wait_for(lambda e: e["ev"] == "release", since=mark, timeout=SLOW)
        self.assertEqual(release["b"], 1)
        self.assertEqual(self.pointer(), (release["x"], release["y"]))
        presses = self.probe.settle("press", mark, 1)
        self.assertEqual([e["b"] for e in presses], [1], "one press, no click before the drag")
        self.assertGreater(release["x"], presses[0]["x"])

    # -- keyboard ------------------------------------------------------------------------------

    def test_typed_and_composed_text_arrives_once(self):
        self.browser.tab("Keyboard")
        field = self.browser.field("Text to type")
        field.click()
        mark = self.probe.mark()
        field.send_keys("Hi there")
        self.assertEqual(self.typed(mark, "Hi there"), "Hi there")
        mark = self.probe.mark()
        field.send_keys(Keys.BACKSPACE, Keys.BACKSPACE, "RE", Keys.ENTER)
        self.assertEqual(self.typed(mark, "\b\bRE\n"), "\b\bRE\n")
        self.assertEqual(field.get_attribute("value"), "", "Enter starts a fresh line")

        # An input method composes a word in place, then commits it: only the commit is typed.
        for steps, word in ((["w", "wo", "wor", "worl", "world"], "world"),
                            (["ㅎ", "하", "한", "한ㄱ", "한그", "한글"], "한글")):
            mark = self.probe.mark()
            for step in steps:
                self.browser.cdp("Input.imeSetComposition", {
                    "text": step, "selectionStart": len(step), "selectionEnd": len(step)})
            self.browser.cdp("Input.insertText", {"text": word})
            self.assertEqual(self.typed(mark, word), word)
        self.assertEqual(field.get_attribute("value"), "world한글")
        # Clearing the field on the phone leaves the computer's text alone.
        mark = self.probe.mark()
        self.browser.by_text("button", "Clear").click()
        self.assertEqual(self.typed(mark, ""), "")

    # -- screen --------------------------------------------------------------------------------

    def frames(self):
        return int(self.browser.js(
            "return document.getElementById('screen-image').dataset.frames"))

    def test_screen_shows_frames_and_a_tap_clicks_there(self):
        self.browser.tab("Screen")
        self.addCleanup(self.browser.tab, "Touchpad")
        wait_until(lambda: self.browser.js(
            "return document.getElementById('screen-message').dataset.state") == "live", SLOW)
        # Frames follow changes of the screen: each new colour must bring a new picture, which
        # only comes once the page has acknowledged the one before.
        colours = ["#c03020", "#2050c0", "#30a040", "#d0a020", "#803090", "#208080"]
        for colour in colours:
            before = self.frames()
            self.probe.command("fill " + colour)
            self.assertTrue(wait_until(lambda: self.frames() > before, SLOW),
                            f"no new frame after painting {colour}; {self.frames()} so far")
        self.assertGreaterEqual(self.frames(), len(colours))
        width, height = self.browser.js(
            "const c = document.getElementById('screen-image'); return [c.width, c.height]")
        self.assertEqual(width * 800, height * 1280, "the picture keeps the display's shape")

        left, top, w, h = self.browser.rect("screen-image")
        x, y = round(left + w / 4), round(top + h * 3 / 4)
        mark = self.probe.mark()
        self.browser.tap((x, y))
        press = self.probe.wait_for(lambda e: e["ev"] == "press", since=mark, timeout=SLOW)
        self.assertEqual(press["b"], 1)
        self.assertAlmostEqual(press["x"], (x - left) / w * 1280, delta=2)
        self.assertAlmostEqual(press["y"], (y - top) / h * 800, delta=2)
        self.probe.wait_for(lambda e: e["ev"] == "release" and e["b"] == 1, since=mark,
                            timeout=SLOW)

    # -- restart -------------------------------------------------------------------------------

    def test_page_survives_a_restart_of_velora(self):
        x, y = self.touchpad()
        self.browser.js("""
            const status = document.getElementById('status');
            window.phases = [];
            new MutationObserver(() => window.phases.push(status.dataset.phase))
                .observe(status, {attributes: true, attributeFilter: ['data-phase']});""")
        mark = self.server.mark()
        self.server.restart(timeout=SLOW)
        self.power_off()
        wait_until(lambda: "reconnecting" in self.browser.js("return window.phases"), SLOW)
        self.browser.wait_phase("ready")
        self.assertIn("reconnecting", self.browser.js("return window.phases"))
        self.assertTrue(self.browser.shown("control"))
        self.assertEqual(self.server.count(PAIR_LINE, mark), 0, "the restart asked to pair again")
        # The new velora takes the page's commands.
        self.put_pointer(200, 100)
        mark = self.probe.mark()
        self.browser.tap((x - 30, y), (x + 30, y))
        press = self.probe.wait_for(lambda e: e["ev"] == "press", since=mark, timeout=SLOW)
        self.assertEqual((press["b"], press["x"], press["y"]), (3, 200, 100))


if __name__ == "__main__":
    harness.main(PhonePageTest)
