// Gathers pointer deltas and sends at most one "M" line per scheduled flush (one animation frame
// in the page). Fractions are kept for the next flush so slow movement is not lost to rounding.

import { move } from "./protocol.js";

export function createCoalescer(send, schedule) {
  let x = 0;
  let y = 0;
  let scheduled = false;

  function flush() {
    scheduled = false;
    const dx = Math.trunc(x);
    const dy = Math.trunc(y);
    if (dx === 0 && dy === 0) return;
    x -= dx;
    y -= dy;
    send(move(dx, dy));
  }

  return {
    add(dx, dy) {
      x += dx;
      y += dy;
      if (!scheduled) {
        scheduled = true;
        // A flush forced in between has already sent this movement; the stale callback is skipped.
        schedule(() => {
          if (scheduled) flush();
        });
      }
    },
    // Sends what is pending at once, so a click that follows lands where the pointer went.
    flush,
    // Drops the pending movement and its fractions, for a new gesture.
    reset() {
      x = 0;
      y = 0;
    },
  };
}
