"""A window that covers the whole X screen: it reports the pointer, button and key events that it
receives as JSON lines on stdout and paints itself in the colours asked for on stdin.

stdin commands, one per line:
  fill COLOUR           paint the whole window in one colour (#rrggbb)
  split COLOUR COLOUR   left half in the first colour, right half in the second
  quit
stdout: {"ev": "ready", "w": W, "h": H} once the window is mapped and has the keyboard focus,
then one object per event: motion, press, release (button b, root x/y, modifier state) and key
(keysym number and name, the text that the toolkit made of it, modifier state).
"""

import json
import os
import sys
import tkinter


def emit(**fields):
    sys.stdout.write(json.dumps(fields, ensure_ascii=True) + "\n")
    sys.stdout.flush()


class Probe:
    def __init__(self):
        self.root = tkinter.Tk()
        self.width = self.root.winfo_screenwidth()
        self.height = self.root.winfo_screenheight()
        # No window manager runs on the test server: place the window ourselves, undecorated.
        self.root.overrideredirect(True)
        self.root.geometry(f"{self.width}x{self.height}+0+0")
        self.canvas = tkinter.Canvas(self.root, width=self.width, height=self.height,
                                     highlightthickness=0, borderwidth=0, cursor="none")
        self.canvas.pack()
        self.fill("#808080")
        for sequence, kind in (("<Motion>", "motion"), ("<ButtonPress>", "press"),
                               ("<ButtonRelease>", "release")):
            self.canvas.bind(sequence, lambda e, kind=kind: self.pointer(kind, e))
        self.root.bind("<KeyPress>", self.key)
        self.root.createfilehandler(sys.stdin, tkinter.READABLE, self.command)
        self.pending = b""
        self.root.after(50, self.announce)

    def announce(self):
        self.root.focus_force()
        self.root.update_idletasks()
        if self.root.focus_get() is None or not self.root.winfo_viewable():
            self.root.after(50, self.announce)
            return
        emit(ev="ready", w=self.width, h=self.height)

    def pointer(self, kind, event):
        fields = dict(ev=kind, x=event.x_root, y=event.y_root, state=event.state)
        if kind != "motion":
            fields["b"] = event.num
        emit(**fields)

    def key(self, event):
        emit(ev="key", sym=event.keysym_num, name=event.keysym, char=event.char,
             state=event.state)

    def fill(self, colour):
        self.canvas.delete("all")
        self.canvas.create_rectangle(0, 0, self.width, self.height, fill=colour, width=0)

    def split(self, left, right):
        self.canvas.delete("all")
        half = self.width // 2
        self.canvas.create_rectangle(0, 0, half, self.height, fill=left, width=0)
        self.canvas.create_rectangle(half, 0, self.width, self.height, fill=right, width=0)

    def command(self, *_):
        chunk = os.read(sys.stdin.fileno(), 4096)
        if not chunk:
            self.root.destroy()
            return
        self.pending += chunk
        while b"\n" in self.pending:
            line, self.pending = self.pending.split(b"\n", 1)
            words = line.decode().split()
            if words[:1] == ["fill"]:
                self.fill(words[1])
            elif words[:1] == ["split"]:
                self.split(words[1], words[2])
            elif words[:1] == ["quit"]:
                self.root.destroy()
                return
            self.root.update_idletasks()
            emit(ev="done", cmd=words[0] if words else "")


if __name__ == "__main__":
    Probe().root.mainloop()
