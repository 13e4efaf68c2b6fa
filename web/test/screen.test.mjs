import test from "node:test";
import assert from "node:assert/strict";
import { createScreenView, RETRY_MS } from "../js/screen.js";
import { fakeTimers, fakeSockets, settle } from "./fakes.mjs";

function rig({ decode = (buf) => Promise.resolve({ bytes: buf.byteLength }) } = {}) {
  const timers = fakeTimers();
  const sockets = fakeSockets();
  const states = [];
  const shown = [];
  const released = [];
  const view = createScreenView({
    openSocket: sockets.open,
    request: () => ({ token: "tok", width: 1170, quality: 60, name: "Anna_s_phone" }),
    decode,
    present: (p) => shown.push(p),
    release: (p) => released.push(p),
    timers,
    onState: (s) => states.push(s),
  });
  return { view, timers, sockets, states, shown, released };
}
const jpeg = (n) => new Uint8Array(n).buffer;

test("the request, header and every frame acknowledged once shown", async () => {
  const r = rig();
  r.view.start();
  const s = r.sockets.last;
  s.accept();
  assert.deepEqual(s.sent, ["SCREEN tok 1170 60 Anna_s_phone"]);
  s.reply("SCREEN 2560 1600");
  assert.deepEqual(r.states.at(-1), { state: "live", width: 2560, height: 1600 });
  s.reply(jpeg(0));
  assert.deepEqual(s.sent.slice(1), ["A"], "a keep-alive is acknowledged on arrival");
  s.reply(jpeg(10));
  s.reply(jpeg(20));
  assert.equal(s.sent.length, 2, "a picture is acknowledged only after it is shown");
  await settle();
  assert.deepEqual(r.shown, [{ bytes: 10 }, { bytes: 20 }]);
  assert.deepEqual(s.sent.slice(1), ["A", "A", "A"]);
});

test("a frame that cannot be decoded is still acknowledged", async () => {
  const r = rig({ decode: () => Promise.reject(new Error("bad jpeg")) });
  r.view.start();
  const s = r.sockets.last;
  s.accept();
  s.reply("SCREEN 100 100");
  s.reply(jpeg(5));
  await settle();
  assert.deepEqual(s.sent.slice(1), ["A"]);
  assert.deepEqual(r.shown, []);
});

test("refusals are reported and not retried", () => {
  for (const word of ["disabled", "busy", "perm", "auth"]) {
    const r = rig();
    r.view.start();
    r.sockets.last.accept();
    r.sockets.last.reply(`ERR ${word}`);
    assert.deepEqual(r.states.at(-1), { state: "refused", reason: word });
    assert.equal(r.sockets.last.closed, true);
    r.timers.advance(RETRY_MS * 5);
    assert.equal(r.sockets.all.length, 1);
  }
});

test("a lost view asks again; a stopped one does not, and drops late pictures", async () => {
  const r = rig();
  r.view.start();
  r.sockets.last.accept();
  r.sockets.last.drop();
  assert.equal(r.states.at(-1).state, "lost");
  r.timers.advance(RETRY_MS);
  assert.equal(r.sockets.all.length, 2);

  const s = r.sockets.last;
  s.accept();
  s.reply("SCREEN 10 10");
  s.reply(jpeg(7));
  r.view.stop();
  await settle();
  assert.deepEqual(r.shown, []);
  assert.deepEqual(r.released, [{ bytes: 7 }], "a picture decoded after stop is released");
  assert.equal(s.closed, true);
  assert.equal(r.view.running, false);
  r.timers.advance(RETRY_MS * 3);
  assert.equal(r.sockets.all.length, 2);
});
