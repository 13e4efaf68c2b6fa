import test from "node:test";
import assert from "node:assert/strict";
import { createTouchpad, createScreenTouch, DRAG_WINDOW, LINE_PX } from "../js/gestures.js";

function pad(settings = { sensitivity: 1, natural: true }) {
  const lines = [];
  const moves = [];
  const tp = createTouchpad({ line: (l) => lines.push(l), move: (x, y) => moves.push([x, y]) }, settings);
  return { tp, lines, moves };
}
const pt = (id, x, y) => ({ id, x, y });

test("one finger: tap clicks left after the drag window, movement moves", () => {
  const { tp, lines, moves } = pad();
  tp.start(0, [pt(1, 100, 100)]);
  tp.move(16, [pt(1, 103, 101)]);
  tp.end(80, []);
  assert.deepEqual(lines, [], "the click waits out the drag window");
  assert.equal(tp.deadline(), 80 + DRAG_WINDOW);
  tp.poll(80 + DRAG_WINDOW - 1);
  assert.deepEqual(lines, []);
  tp.poll(80 + DRAG_WINDOW);
  assert.deepEqual(lines, ["C L"]);
  assert.equal(tp.deadline(), null);
  assert.deepEqual(moves, [], "jitter within the slop does not move the pointer");

  tp.start(1000, [pt(2, 100, 100)]);
  tp.move(1016, [pt(2, 120, 100)]);
  tp.move(1032, [pt(2, 140, 110)]);
  tp.end(1400, []);
  assert.equal(moves.length, 1);
  assert.ok(moves[0][0] > 0 && moves[0][1] > 0);
  tp.poll(5000);
  assert.deepEqual(lines, ["C L"], "a move is not a tap");
});

test("a long press without movement is not a click", () => {
  const { tp, lines } = pad();
  tp.start(0, [pt(1, 10, 10)]);
  tp.end(900, []);
  tp.poll(2000);
  assert.deepEqual(lines, []);
});

test("two- and three-finger taps click right and middle at once", () => {
  const { tp, lines } = pad();
  tp.start(0, [pt(1, 10, 10)]);
  tp.start(20, [pt(1, 10, 10), pt(2, 60, 10)]);
  tp.end(100, [pt(2, 60, 10)]);
  tp.end(110, []);
  assert.deepEqual(lines, ["C R"]);
  tp.start(500, [pt(3, 10, 10), pt(4, 40, 10), pt(5, 70, 10)]);
  tp.end(600, []);
  assert.deepEqual(lines, ["C R", "C M"]);
  assert.equal(tp.deadline(), null);
});

test("tap then touch within the window drags until that finger lifts", () => {
  const { tp, lines, moves } = pad();
  tp.start(0, [pt(1, 50, 50)]);
  tp.end(60, []);
  tp.start(60 + DRAG_WINDOW - 10, [pt(2, 50, 50)]);
  assert.deepEqual(lines, ["D L"], "no click before the press: it would make a double click");
  tp.move(400, [pt(2, 80, 50)]);
  tp.move(416, [pt(2, 120, 60)]);
  assert.ok(moves.length > 0);
  tp.end(600, []);
  assert.deepEqual(lines, ["D L", "U L"]);
  tp.poll(10000);
  assert.deepEqual(lines, ["D L", "U L"], "the first tap's click was consumed by the drag");
});

test("a quick second tap becomes a double click; a late one is two single clicks", () => {
  const quick = pad();
  quick.tp.start(0, [pt(1, 5, 5)]);
  quick.tp.end(50, []);
  quick.tp.start(150, [pt(2, 5, 5)]);
  quick.tp.end(200, []);
  assert.deepEqual(quick.lines, ["D L", "U L", "C L"]);

  const late = pad();
  late.tp.start(0, [pt(1, 5, 5)]);
  late.tp.end(50, []);
  late.tp.start(50 + DRAG_WINDOW + 1, [pt(2, 5, 5)]);
  assert.deepEqual(late.lines, ["C L"], "an overdue click fires before the new touch is judged");
  late.tp.end(400, []);
  late.tp.poll(400 + DRAG_WINDOW);
  assert.deepEqual(late.lines, ["C L", "C L"]);
});

test("cancel releases a held button and drops a waiting click", () => {
  const { tp, lines } = pad();
  tp.start(0, [pt(1, 5, 5)]);
  tp.end(50, []);
  tp.start(100, [pt(2, 5, 5)]);
  tp.cancel();
  assert.deepEqual(lines, ["D L", "U L"]);
  tp.cancel();
  assert.deepEqual(lines, ["D L", "U L"], "nothing is held twice");

  const waiting = pad();
  waiting.tp.start(0, [pt(1, 5, 5)]);
  waiting.tp.end(50, []);
  waiting.tp.cancel();
  waiting.tp.poll(5000);
  assert.deepEqual(waiting.lines, []);
});

function scrollBy(settings, dy, dx = 0, steps = 10) {
  const { tp, lines } = pad(settings);
  tp.start(0, [pt(1, 100, 100), pt(2, 160, 100)]);
  // Past the slop first; that part is not scrolled.
  tp.move(10, [pt(1, 100, 115), pt(2, 160, 115)]);
  for (let i = 1; i <= steps; i += 1) {
    const y = 115 + (dy * i) / steps;
    const x = (dx * i) / steps;
    tp.move(10 + i * 16, [pt(1, 100 + x, y), pt(2, 160 + x, y)]);
  }
  tp.end(1000, []);
  return lines;
}
const total = (lines) => lines.reduce((acc, l) => {
  const [, h, v] = l.split(" ").map(Number);
  return [acc[0] + h, acc[1] + v];
}, [0, 0]);

test("two fingers scroll in whole lines, keeping fractions, with a natural switch", () => {
  const natural = scrollBy({ sensitivity: 1, natural: true }, LINE_PX * 3.5);
  assert.ok(natural.every((l) => /^S -?\d+ -?\d+$/.test(l)));
  assert.deepEqual(total(natural), [0, 3]);
  assert.ok(natural.length >= 3, "small steps still add up to lines");
  assert.deepEqual(total(scrollBy({ sensitivity: 1, natural: false }, LINE_PX * 3.5)), [0, -3]);
  assert.deepEqual(total(scrollBy({ sensitivity: 1, natural: true }, 0, -LINE_PX * 2)), [-2, 0]);
  assert.ok(!scrollBy({ sensitivity: 1, natural: true }, 40).some((l) => l.startsWith("C")),
    "a scroll is not a right click");
});

test("lifting one of two scrolling fingers does not jump or move the pointer", () => {
  const { tp, lines, moves } = pad();
  tp.start(0, [pt(1, 100, 100), pt(2, 200, 100)]);
  tp.move(16, [pt(1, 100, 140), pt(2, 200, 140)]);
  const before = total(lines);
  tp.end(32, [pt(2, 200, 140)]);
  tp.move(48, [pt(2, 200, 300)]);
  tp.end(64, []);
  assert.deepEqual(total(lines), before);
  assert.deepEqual(moves, []);
});

function screenRig(size = { width: 400, height: 250 }) {
  const lines = [];
  const views = [];
  const st = createScreenTouch(
    { line: (l) => lines.push(l), view: (v) => views.push(v) },
    (x, y) => [Math.round((x / 400) * 65535), Math.round((y / 250) * 65535)],
    () => size,
  );
  return { st, lines, views };
}

test("screen: tap clicks there, drag presses at the start and releases at the end", () => {
  const { st, lines } = screenRig();
  st.start(0, [pt(1, 200, 125)]);
  st.end(100, [], [pt(1, 201, 125)]);
  assert.deepEqual(lines, ["MA 32768 32768", "C L"]);

  lines.length = 0;
  st.start(1000, [pt(2, 0, 0)]);
  st.move(1016, [pt(2, 100, 0)]);
  st.move(1032, [pt(2, 400, 250)]);
  st.end(1050, [], [pt(2, 400, 250)]);
  assert.deepEqual(lines, ["MA 0 0", "D L", "MA 16384 0", "MA 65535 65535", "MA 65535 65535", "U L"]);
});

test("screen: pinch zooms around the fingers, stays in bounds, and sends nothing", () => {
  const { st, lines, views } = screenRig();
  st.start(0, [pt(1, 150, 100), pt(2, 250, 100)]);
  st.move(16, [pt(1, 100, 100), pt(2, 300, 100)]);
  const v = views.at(-1);
  assert.equal(v.scale, 2);
  assert.equal(v.x, 200 - 200 * 2);
  st.move(32, [pt(1, 0, 100), pt(2, 4000, 100)]);
  assert.equal(views.at(-1).scale, 5);
  st.move(48, [pt(1, 199, 100), pt(2, 201, 100)]);
  assert.deepEqual(views.at(-1), { scale: 1, x: 0, y: 0 });
  st.end(60, [pt(2, 201, 100)], [pt(1, 199, 100)]);
  st.move(70, [pt(2, 300, 200)]);
  st.end(80, [], [pt(2, 300, 200)]);
  assert.deepEqual(lines, []);
});

test("screen: a second finger during a drag releases the button", () => {
  const { st, lines } = screenRig();
  st.start(0, [pt(1, 10, 10)]);
  st.move(16, [pt(1, 60, 10)]);
  st.start(30, [pt(1, 60, 10), pt(2, 90, 10)]);
  assert.equal(lines.at(-1), "U L");
  st.cancel();
  assert.equal(lines.filter((l) => l === "U L").length, 1);
});
