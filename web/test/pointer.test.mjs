import test from "node:test";
import assert from "node:assert/strict";
import { accelerate, gain } from "../js/accel.js";
import { createCoalescer } from "../js/coalesce.js";

test("acceleration: slow is precise, fast covers ground, sensitivity scales", () => {
  const [slowX] = accelerate(1, 0, 16);
  const [fastX] = accelerate(40, 0, 16);
  assert.ok(slowX < 1, "slow movement is damped");
  assert.ok(fastX / 40 > 4, "fast movement is amplified");
  for (let v = 0; v < 3; v += 0.05) assert.ok(gain(v + 0.05) >= gain(v), "gain never falls");
  assert.deepEqual(accelerate(10, -5, 16, 2), accelerate(10, -5, 16, 1).map((d) => d * 2));
  // A repeated timestamp must not turn a small move into a jump.
  const [same] = accelerate(2, 0, 0);
  assert.ok(Number.isFinite(same) && same < 5);
});

function rig() {
  const sent = [];
  const frames = [];
  const c = createCoalescer((l) => sent.push(l), (fn) => frames.push(fn));
  const frame = () => frames.splice(0).forEach((fn) => fn());
  return { sent, frames, c, frame };
}

test("coalescing sends one move per frame and keeps fractions", () => {
  const { sent, frames, c, frame } = rig();
  c.add(1.4, 0.5);
  c.add(2.4, -0.2);
  c.add(0.1, -0.6);
  assert.equal(frames.length, 1);
  frame();
  assert.deepEqual(sent, ["M 3 0"]);
  c.add(0.2, -0.8);
  frame();
  assert.deepEqual(sent, ["M 3 0", "M 1 -1"]);
  c.add(0.3, 0.3);
  frame();
  assert.equal(sent.length, 2, "sub-pixel leftovers wait for more movement");
});

test("a forced flush sends at once and the stale frame callback sends nothing", () => {
  const { sent, c, frame } = rig();
  c.add(5, 5);
  c.flush();
  c.add(2, 0);
  frame();
  assert.deepEqual(sent, ["M 5 5", "M 2 0"]);
});
