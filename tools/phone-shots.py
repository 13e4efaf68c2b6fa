#!/usr/bin/env python3
"""Renders the phone page for docs/phone.md: a real `velora --console` on an Xvfb of its own that
shows a small desktop scene, and headless Chromium as a phone in portrait, light and dark, in
English and in Korean (which needs a Korean font such as Debian's fonts-nanum). Writes
docs/images/phone-*.png. Not part of the test suite; look at every picture before committing it.

    python3 tools/phone-shots.py --velora build/velora
"""

import argparse
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from browser import SLOW, Browser, pair_by_pin  # noqa: E402  (after the path is set)
import harness  # noqa: E402
from harness import wait_until  # noqa: E402

# A window on a plain desktop, so that the Screen section has something to show.
SCENE = r"""
import tkinter
root = tkinter.Tk()
w, h = root.winfo_screenwidth(), root.winfo_screenheight()
root.overrideredirect(True)
root.geometry(f"{w}x{h}+0+0")
c = tkinter.Canvas(root, width=w, height=h, highlightthickness=0, bg="#2d4f73")
c.pack()
c.create_rectangle(0, h - 48, w, h, fill="#1b2533", width=0)
c.create_rectangle(200, 120, 1080, 640, fill="#fafafa", outline="#0f1720", width=2)
c.create_rectangle(200, 120, 1080, 170, fill="#dde3ea", width=0)
c.create_text(230, 145, text="notes.txt", anchor="w", font=("DejaVu Sans", 20, "bold"))
lines = ["Shopping", "- coffee beans", "- oat milk", "", "Call Sam about Saturday",
         "Slides for Monday: intro, figures, questions"]
for i, line in enumerate(lines):
    c.create_text(230, 215 + i * 44, text=line, anchor="w", font=("DejaVu Sans", 22))
c.create_text(w - 30, h - 24, text="10:42", anchor="e", fill="#ffffff", font=("DejaVu Sans", 18))
root.after(200, lambda: print("ready", flush=True))
root.mainloop()
"""

TABS = [("touchpad", "Touchpad"), ("keyboard", "Keyboard"), ("screen", "Screen"),
        ("media", "Media"), ("power", "Power")]


def shot(browser, out, name):
    # Let transitions and the font settle: the picture is taken once two frames have been drawn.
    browser.driver.execute_async_script(
        "const done = arguments[0]; requestAnimationFrame(() => requestAnimationFrame(done));")
    path = os.path.join(out, f"phone-{name}.png")
    with open(path, "wb") as f:
        f.write(browser.driver.get_screenshot_as_png())
    print(path, os.path.getsize(path) // 1024, "KB")


def show_tab(browser, panel, label):
    browser.tab(label)
    if panel == "screen":
        shown = lambda: int(browser.js(
            "return document.getElementById('screen-image').dataset.frames")) > 0
        if not wait_until(shown, SLOW):
            raise RuntimeError("the Screen section shows no picture")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velora", default=os.path.join(ROOT, "build", "velora"))
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "images"))
    args = parser.parse_args()
    harness.VELORA = os.path.abspath(args.velora)

    server = harness.Velora(with_x=True, lang="en").start()
    scene = browsers = None
    try:
        # The Power section is only looked at, but no tap may ever reach the real machine.
        server.type("power off")
        server.wait_line(r"^power control off$")
        scene = subprocess.Popen([sys.executable, "-c", SCENE], stdout=subprocess.PIPE,
                                 env=dict(os.environ, DISPLAY=server.xvfb.display))
        if scene.stdout.readline().strip() != b"ready":
            raise RuntimeError("the desktop scene did not start")

        english = Browser(scale=2)
        korean = Browser(lang="ko", scale=2)
        browsers = [english, korean]

        english.open()
        english.wait_phase("unpaired")
        english.field("Your phone's name").clear()
        english.field("Your phone's name").send_keys("Anna's phone")
        for dark in (False, True):
            english.colours(dark)
            shot(english, args.out, "pairing-" + ("dark" if dark else "light"))
        english.colours(False)
        pair_by_pin(english, server, "Anna's phone")
        for dark in (False, True):
            english.colours(dark)
            for panel, label in TABS:
                show_tab(english, panel, label)
                shot(english, args.out, f"{panel}-{'dark' if dark else 'light'}")
        english.tab("Touchpad")

        korean.open()
        korean.wait_phase("unpaired")
        shot(korean, args.out, "ko-pairing")
        mark = server.mark()
        korean.driver.find_element("id", "pair-button").click()
        pin = server.wait_line(r"^pair: .* PIN (\d{6}) ", SLOW, since=mark).group(1)
        korean.driver.find_element("id", "pin-input").send_keys(pin)
        korean.driver.find_element("id", "pin-button").click()
        korean.wait_phase("ready")
        for panel in ("touchpad", "keyboard"):
            korean.driver.find_element("id", f"tab-{panel}").click()
            shot(korean, args.out, f"ko-{panel}")
    finally:
        for browser in browsers or []:
            browser.quit()
        if scene:
            harness.end_process(scene)
        server.stop()


if __name__ == "__main__":
    main()
