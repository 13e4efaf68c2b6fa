// Pointer acceleration: slow finger movement is scaled down for precision, fast movement is
// scaled up so that one swipe can cross a large display. The gain rises smoothly with the
// finger's speed between SLOW and FAST (CSS pixels per millisecond).

const SLOW = 0.05;
const FAST = 1.2;
const MIN_GAIN = 0.8;
const MAX_GAIN = 4.5;
// Touch events can carry identical or wildly spaced timestamps; bound dt so a single event
// neither divides by zero nor looks like a crawl after a pause.
const MIN_DT = 4;
const MAX_DT = 100;

export function gain(speed) {
  const t = Math.min(1, Math.max(0, (speed - SLOW) / (FAST - SLOW)));
  const eased = t * t * (3 - 2 * t);
  return MIN_GAIN + (MAX_GAIN - MIN_GAIN) * eased;
}

// Returns the pointer delta for a finger delta (dx, dy) observed over dtMs milliseconds.
// sensitivity multiplies the whole curve (1 is the default).
export function accelerate(dx, dy, dtMs, sensitivity = 1) {
  const dt = Math.min(MAX_DT, Math.max(MIN_DT, Number.isFinite(dtMs) ? dtMs : MAX_DT));
  const speed = Math.hypot(dx, dy) / dt;
  const g = gain(speed) * sensitivity;
  return [dx * g, dy * g];
}
