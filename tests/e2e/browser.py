"""Headless Chromium as a phone, for the end-to-end tests and the documentation's screenshots:
a profile of its own, a phone's viewport and touch screen, driven through chromedriver and the
DevTools protocol. Everything stays on loopback."""

import os
import shutil
import sys
import tempfile

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:
    # Debian's python3-selenium belongs to the system interpreter; another python3 earlier on
    # PATH (pyenv, a venv) does not see it.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    raise

import harness
from harness import wait_until

PAGE = f"http://127.0.0.1:{harness.CONTROL_PORT}/"
# Sanitizer builds of velora answer slowly; every wait is for a state, with room to spare.
SLOW = 20


class Browser:
    """Headless Chromium with a profile of its own, driven through chromedriver, with a phone's
    viewport and touch screen. Everything stays on loopback."""

    def __init__(self, lang="en-US", dark=False, scale=3):
        self.profile = tempfile.mkdtemp(prefix="velora-e2e-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                    f"--user-data-dir={self.profile}", f"--lang={lang}",
                    "--no-first-run", "--no-default-browser-check",
                    "--disable-background-networking", "--disable-component-update",
                    "--disable-sync", "--disable-default-apps", "--disable-extensions",
                    "--window-size=390,844"):
            options.add_argument(arg)
        options.add_experimental_option("prefs", {"intl.accept_languages": lang})
        service = Service("/usr/bin/chromedriver", log_path=os.devnull)
        self.driver = webdriver.Chrome(service=service, options=options)
        self.driver.set_page_load_timeout(SLOW)
        self.cdp("Emulation.setDeviceMetricsOverride", {
            "width": 390, "height": 844, "deviceScaleFactor": scale, "mobile": True})
        self.cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.colours(dark)

    def colours(self, dark):
        self.cdp("Emulation.setEmulatedMedia", {"features": [
            {"name": "prefers-color-scheme", "value": "dark" if dark else "light"}]})

    def cdp(self, command, params=None):
        return self.driver.execute_cdp_cmd(command, params or {})

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def open(self, url=PAGE):
        self.driver.get(url)

    def quit(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    # -- page state ----------------------------------------------------------------------------

    def phase(self):
        return self.js("return document.getElementById('status').dataset.phase")

    def wait_phase(self, phase, timeout=SLOW):
        if not wait_until(lambda: self.phase() == phase, timeout):
            raise AssertionError(f"page phase {self.phase()!r}, not {phase!r} within {timeout} s")

    def shown(self, element_id):
        return self.js("const e = document.getElementById(arguments[0]);"
                       "return !!e && !e.hidden && e.getClientRects().length > 0", element_id)

    def by_text(self, role_selector, text):
        """The visible element matching `role_selector` whose text or aria-label is `text`."""
        for element in self.driver.find_elements(By.CSS_SELECTOR, role_selector):
            label = element.get_attribute("aria-label") or element.text
            if label.strip() == text and element.is_displayed():
                return element
        raise AssertionError(f"no {role_selector} called {text!r}")

    def field(self, label):
        """The input that the label with this text names."""
        for element in self.driver.find_elements(By.TAG_NAME, "label"):
            if element.text.strip() == label and element.is_displayed():
                return self.driver.find_element(By.ID, element.get_attribute("for"))
        raise AssertionError(f"no field labelled {label!r}")

    def tab(self, name):
        self.by_text("[role=tab]", name).click()
        wait_until(lambda: self.by_text("[role=tab]", name).get_attribute("aria-selected")
                   == "true", 5)

    def rect(self, element_id):
        return self.js("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                       "return [r.left, r.top, r.width, r.height]", element_id)

    def centre(self, element_id):
        left, top, width, height = self.rect(element_id)
        return round(left + width / 2), round(top + height / 2)

    # -- touch ---------------------------------------------------------------------------------

    def touch(self, kind, *points):
        """One touch event; `points` are the (x, y) of the fingers still down, ids by position."""
        self.cdp("Input.dispatchTouchEvent", {
            "type": kind, "touchPoints": [{"x": x, "y": y, "id": i}
                                          for i, (x, y) in enumerate(points)]})

    def tap(self, *points):
        self.touch("touchStart", *points)
        self.touch("touchEnd")

    def slide(self, start, dx, dy, steps=10):
        """One finger put down at `start` and moved by (dx, dy) in steps; it stays down."""
        x, y = start
        self.touch("touchStart", (x, y))
        for i in range(1, steps + 1):
            self.touch("touchMove", (x + dx * i / steps, y + dy * i / steps))


def pair_by_pin(browser, server, name):
    """Opens the page in `browser`, taps Pair as `name` and types the PIN that the console of
    `server` shows; returns when the page shows the control view."""
    browser.open()
    browser.wait_phase("unpaired")
    mark = server.mark()
    field = browser.field("Your phone's name")
    field.clear()
    field.send_keys(name)
    browser.by_text("button", "Pair").click()
    pin = server.wait_pin(name, since=mark, timeout=SLOW)
    browser.wait_phase("pin")
    browser.field("PIN").send_keys(pin)
    browser.by_text("#pin-form button", "Confirm").click()
    browser.wait_phase("ready")
