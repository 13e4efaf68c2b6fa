// The touchpad as a state machine fed with timestamps (ms) and the list of touches on the pad
// ({id, x, y} in CSS pixels, as TouchEvent.touches gives them after the event). It emits
// pointer deltas through sink.move(dx, dy) and every other protocol line through sink.line().
//
// One finger moves the pointer; a tap clicks left, a two-finger tap right, a three-finger tap
// middle. A tap's click is held back for DRAG_WINDOW: a touch that starts within it presses the
// left button instead, so the finger drags until it lifts. Two fingers scroll.

import { accelerate } from "./accel.js";
import * as P from "./protocol.js";

export const TAP_MS = 300;
export const DRAG_WINDOW = 250;
export const SLOP = 10;
export const LINE_PX = 18;

function centroid(points) {
  let x = 0;
  let y = 0;
  for (const p of points) {
    x += p.x;
    y += p.y;
  }
  return { x: x / points.length, y: y / points.length };
}

export function createTouchpad(sink, settings = { sensitivity: 1, natural: true }) {
  let g = null;
  let clickAt = null;
  let holding = false;

  function fireDueClick(t) {
    if (clickAt !== null && t >= clickAt) {
      clickAt = null;
      sink.line(P.click("L"));
    }
  }

  // Finger-count changes shift the centroid; re-anchor instead of reading that shift as motion.
  function anchor(points) {
    g.last = centroid(points);
    g.lastCount = points.length;
  }

  function pointerMove(t, p) {
    if (!g.moved) {
      if (Math.hypot(p.x - g.origin.x, p.y - g.origin.y) <= SLOP) return;
      g.moved = true;
      g.last = { x: p.x, y: p.y };
      g.lastT = t;
      return;
    }
    const [dx, dy] = accelerate(p.x - g.last.x, p.y - g.last.y, t - g.lastT, settings.sensitivity);
    g.last = { x: p.x, y: p.y };
    g.lastT = t;
    if (dx !== 0 || dy !== 0) sink.move(dx, dy);
  }

  function scrollMove(points) {
    const c = centroid(points);
    if (!g.moved) {
      if (Math.hypot(c.x - g.origin.x, c.y - g.origin.y) <= SLOP) return;
      g.moved = true;
      g.last = c;
      return;
    }
    // Natural scrolling moves the content with the fingers: fingers down shows what is above,
    // which is a wheel turned up (positive on the wire).
    const sign = settings.natural ? 1 : -1;
    g.sx += (sign * (c.x - g.last.x)) / LINE_PX;
    g.sy += (sign * (c.y - g.last.y)) / LINE_PX;
    g.last = c;
    const h = Math.trunc(g.sx);
    const v = Math.trunc(g.sy);
    if (h === 0 && v === 0) return;
    g.sx -= h;
    g.sy -= v;
    sink.line(P.scroll(h, v));
  }

  return {
    start(t, points) {
      if (points.length === 0) return;
      fireDueClick(t);
      if (!g) {
        const first = points[0];
        g = {
          startT: t, lastT: t, maxFingers: points.length, moved: false, drag: false,
          primary: first.id, origin: centroid(points), last: centroid(points),
          lastCount: points.length, sx: 0, sy: 0,
        };
        if (clickAt !== null) {
          clickAt = null;
          if (points.length === 1) {
            g.drag = true;
            holding = true;
            sink.line(P.down("L"));
          } else {
            sink.line(P.click("L"));
          }
        }
        return;
      }
      g.maxFingers = Math.max(g.maxFingers, points.length);
      if (!g.drag) {
        g.origin = centroid(points);
        g.moved = false;
      }
      anchor(points);
    },

    move(t, points) {
      if (!g || points.length === 0) return;
      if (g.drag || g.maxFingers === 1) {
        const p = points.find((q) => q.id === g.primary);
        if (p) pointerMove(t, p);
        return;
      }
      if (points.length !== g.lastCount) anchor(points);
      if (g.maxFingers === 2 && points.length === 2) scrollMove(points);
    },

    end(t, remaining) {
      if (!g) return;
      if (remaining.length > 0) {
        if (g.drag && !remaining.some((q) => q.id === g.primary)) {
          holding = false;
          g.drag = false;
          g.moved = true;
          sink.line(P.up("L"));
        }
        if (g.maxFingers > 1) anchor(remaining);
        return;
      }
      const tap = !g.moved && t - g.startT <= TAP_MS;
      if (g.drag) {
        holding = false;
        sink.line(P.up("L"));
        // A quick second tap completes a double click rather than an empty drag.
        if (tap) sink.line(P.click("L"));
      } else if (tap && g.maxFingers === 1) {
        clickAt = t + DRAG_WINDOW;
      } else if (tap && g.maxFingers === 2) {
        sink.line(P.click("R"));
      } else if (tap && g.maxFingers >= 3) {
        sink.line(P.click("M"));
      }
      g = null;
    },

    // touchcancel, page hide: no button may stay pressed on the computer.
    cancel() {
      g = null;
      clickAt = null;
      if (holding) {
        holding = false;
        sink.line(P.up("L"));
      }
    },

    poll: fireDueClick,
    deadline: () => clickAt,
  };
}

export const MIN_ZOOM = 1;
export const MAX_ZOOM = 5;

// Touches on the live picture. One finger taps (pointer there, left click) or drags (pointer to
// the start, button down, pointer follows, button up); two fingers pinch and pan the picture on
// the phone only. toGrid(x, y) maps a client point to the computer's 0..65535 grid, and
// sink.view({scale, x, y}) receives the picture's transform (origin at its top-left corner),
// kept within the frame box of size() = {width, height}.
export function createScreenTouch(sink, toGrid, size) {
  let g = null;
  let view = { scale: 1, x: 0, y: 0 };

  const at = (p) => {
    const [x, y] = toGrid(p.x, p.y);
    return P.moveAbs(x, y);
  };

  function clampView(v) {
    const { width, height } = size();
    const scale = Math.min(MAX_ZOOM, Math.max(MIN_ZOOM, v.scale));
    const x = Math.min(0, Math.max(width - width * scale, v.x));
    const y = Math.min(0, Math.max(height - height * scale, v.y));
    return { scale, x, y };
  }

  function pinchStart(points) {
    const [a, b] = points;
    const c = centroid([a, b]);
    g = {
      pinch: true,
      dist: Math.max(1, Math.hypot(a.x - b.x, a.y - b.y)),
      scale: view.scale,
      // The picture point under the fingers' centre stays under it while they move.
      qx: (c.x - view.x) / view.scale,
      qy: (c.y - view.y) / view.scale,
    };
  }

  function release() {
    if (g?.dragging) sink.line(P.up("L"));
  }

  return {
    start(t, points) {
      if (points.length >= 2) {
        release();
        pinchStart(points);
      } else if (!g && points.length === 1) {
        const p = points[0];
        g = { pinch: false, id: p.id, origin: p, startT: t, dragging: false };
      }
    },

    move(t, points) {
      if (!g) return;
      if (g.pinch) {
        if (points.length < 2) return;
        const [a, b] = points;
        const c = centroid([a, b]);
        const scale = g.scale * (Math.hypot(a.x - b.x, a.y - b.y) / g.dist);
        const s = Math.min(MAX_ZOOM, Math.max(MIN_ZOOM, scale));
        view = clampView({ scale: s, x: c.x - g.qx * s, y: c.y - g.qy * s });
        sink.view(view);
        return;
      }
      const p = points.find((q) => q.id === g.id);
      if (!p) return;
      if (!g.dragging) {
        if (Math.hypot(p.x - g.origin.x, p.y - g.origin.y) <= SLOP) return;
        g.dragging = true;
        sink.line(at(g.origin));
        sink.line(P.down("L"));
      }
      sink.line(at(p));
    },

    end(t, remaining, lifted) {
      if (!g) return;
      if (g.pinch) {
        if (remaining.length === 0) g = null;
        else if (remaining.length >= 2) pinchStart(remaining);
        return;
      }
      if (remaining.some((q) => q.id === g.id)) return;
      const p = lifted.find((q) => q.id === g.id) || g.origin;
      if (g.dragging) {
        sink.line(at(p));
        sink.line(P.up("L"));
      } else if (t - g.startT <= TAP_MS) {
        sink.line(at(g.origin));
        sink.line(P.click("L"));
      }
      g = null;
    },

    cancel() {
      release();
      g = null;
    },

    resetView() {
      view = { scale: 1, x: 0, y: 0 };
      sink.view(view);
    },
  };
}
