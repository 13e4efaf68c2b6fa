import test from "node:test";
import assert from "node:assert/strict";
import { createConnection, tokenKey, BACKOFF, NAME_KEY } from "../js/pairing.js";
import { APP_VERSION } from "../js/protocol.js";
import { fakeTimers, fakeSockets, memoryStorage, settle } from "./fakes.mjs";

const ID = "0123456789abcdef0123456789abcdef";
const TOKEN = "fedcba9876543210fedcba9876543210";

function rig({ stored = {}, reachable = () => true } = {}) {
  const timers = fakeTimers();
  const sockets = fakeSockets();
  const storage = memoryStorage(stored);
  const states = [];
  const replies = [];
  const conn = createConnection({
    identify: () => (reachable() ? Promise.resolve({ id: ID, name: "Studio" })
      : Promise.reject(new Error("down"))),
    openSocket: sockets.open,
    storage,
    timers,
    defaultName: "Android phone",
    onState: (s) => states.push(s),
    onReply: (r) => replies.push(r),
  });
  return { conn, timers, sockets, storage, states, replies, phase: () => states.at(-1) };
}
const paired = () => ({ stored: { [tokenKey(ID)]: TOKEN, [NAME_KEY]: "Anna_s_phone" } });

test("without a stored token the page waits for Pair and never greets on its own", async () => {
  const r = rig();
  r.conn.start();
  await settle();
  assert.equal(r.phase().phase, "unpaired");
  assert.equal(r.phase().reason, null);
  assert.equal(r.sockets.all.length, 0);
  r.timers.advance(60000);
  r.conn.check();
  await settle();
  assert.equal(r.sockets.all.length, 0);
});

test("pairing by PIN stores the token under the computer's id", async () => {
  const r = rig();
  r.conn.start();
  await settle();
  r.conn.pair("Anna's phone");
  await settle();
  const s = r.sockets.last;
  s.accept();
  assert.deepEqual(s.sent, [`HELLO Anna's_phone - ${APP_VERSION}`]);
  s.reply("PIN");
  assert.equal(r.phase().phase, "pin");
  assert.equal(r.conn.submitPin("12345"), false, "five digits are not a PIN");
  assert.equal(r.conn.submitPin("012345"), true);
  assert.equal(s.sent.at(-1), "PIN 012345");
  s.reply(`OK ${TOKEN}`);
  assert.equal(r.phase().phase, "ready");
  assert.equal(r.storage.getItem(tokenKey(ID)), TOKEN);
  assert.equal(s.sent.at(-1), "INFO");
  s.reply('INFO {"os":"linux","power":true,"ax":true}');
  assert.equal(r.replies[0].info.os, "linux");
});

test("Allow on the computer admits without a PIN", async () => {
  const r = rig();
  r.conn.pair("x");
  await settle();
  r.sockets.last.accept();
  r.sockets.last.reply("PIN");
  r.sockets.last.reply(`OK ${TOKEN}`);
  assert.equal(r.phase().phase, "ready");
  assert.equal(r.conn.token, TOKEN);
});

test("pairing failures lead back to the pairing screen with their reason", async () => {
  for (const [reply, reason] of [["ERR pin", "wrong_pin"], ["ERR busy", "busy"], ["ERR what", "refused"]]) {
    const r = rig();
    r.conn.pair("x");
    await settle();
    r.sockets.last.accept();
    r.sockets.last.reply("PIN");
    r.sockets.last.reply(reply);
    assert.equal(r.phase().phase, "unpaired");
    assert.equal(r.phase().reason, reason);
    assert.equal(r.sockets.last.closed, true);
    r.timers.advance(60000);
    assert.equal(r.sockets.all.length, 1, "no retry without a token");
  }
  // The computer ends a timed-out prompt (or a blocked address) by closing the connection.
  const r = rig();
  r.conn.pair("x");
  await settle();
  r.sockets.last.accept();
  r.sockets.last.reply("PIN");
  r.sockets.last.drop();
  assert.deepEqual([r.phase().phase, r.phase().reason], ["unpaired", "ended"]);
  const down = rig({ reachable: () => false });
  down.conn.pair("x");
  await settle();
  assert.deepEqual([down.phase().phase, down.phase().reason], ["unpaired", "unreachable"]);
});

test("a stored token is greeted on load and admits without a prompt", async () => {
  const r = rig(paired());
  r.conn.start();
  await settle();
  r.sockets.last.accept();
  assert.deepEqual(r.sockets.last.sent, [`HELLO Anna_s_phone ${TOKEN} ${APP_VERSION}`]);
  r.sockets.last.reply(`OK ${TOKEN}`);
  assert.equal(r.phase().phase, "ready");
  assert.equal(r.conn.send("M 1 2"), true);
  assert.equal(r.sockets.last.sent.at(-1), "M 1 2");
});

test("a forgotten token drops the connection and the token and asks to pair again", async () => {
  const r = rig(paired());
  r.conn.start();
  await settle();
  const s = r.sockets.last;
  s.accept();
  s.reply("PIN");
  assert.deepEqual([r.phase().phase, r.phase().reason], ["unpaired", "forgotten"]);
  assert.equal(s.closed, true, "closing ends the prompt the computer opened");
  assert.equal(r.storage.getItem(tokenKey(ID)), null);
  assert.equal(r.conn.submitPin("123456"), false);
  r.timers.advance(60000);
  assert.equal(r.sockets.all.length, 1);
});

test("a dropped connection reconnects with growing delays, greeting with the token only", async () => {
  let up = true;
  const r = rig({ ...paired(), reachable: () => up });
  r.conn.start();
  await settle();
  r.sockets.last.accept();
  r.sockets.last.reply(`OK ${TOKEN}`);
  up = false;
  r.sockets.last.drop();
  assert.deepEqual([r.phase().phase, r.phase().delay], ["reconnecting", BACKOFF[0]]);
  assert.equal(r.conn.send("C L"), false);
  const delays = [];
  for (let i = 0; i < BACKOFF.length + 1; i += 1) {
    r.timers.advance(r.phase().delay);
    await settle();
    delays.push(r.phase().delay);
  }
  assert.deepEqual(delays, [...BACKOFF.slice(1), BACKOFF.at(-1), BACKOFF.at(-1)]);
  up = true;
  r.timers.advance(r.phase().delay);
  await settle();
  const s = r.sockets.last;
  s.accept();
  assert.ok(s.sent[0].startsWith(`HELLO Anna_s_phone ${TOKEN} `));
  s.reply(`OK ${TOKEN}`);
  assert.equal(r.phase().phase, "ready");
  s.drop();
  assert.equal(r.phase().delay, BACKOFF[0], "admission resets the backoff");
  assert.ok(r.sockets.all.every((x) => !x.sent.some((l) => l.includes(" - "))));
});

test("a phone paired in this page reconnects with its new token when the connection drops", async () => {
  const r = rig();
  r.conn.pair("x");
  await settle();
  r.sockets.last.accept();
  r.sockets.last.reply("PIN");
  r.conn.submitPin("012345");
  r.sockets.last.reply(`OK ${TOKEN}`);
  r.sockets.last.drop();
  assert.deepEqual([r.phase().phase, r.phase().delay], ["reconnecting", BACKOFF[0]]);
  r.timers.advance(BACKOFF[0]);
  await settle();
  const s = r.sockets.last;
  s.accept();
  assert.ok(s.sent[0].startsWith(`HELLO x ${TOKEN} `), s.sent[0]);
  s.reply(`OK ${TOKEN}`);
  assert.equal(r.phase().phase, "ready");
});

test("coming back to the foreground: PING answered keeps, silence reconnects", async () => {
  const r = rig(paired());
  r.conn.start();
  await settle();
  const s = r.sockets.last;
  s.accept();
  s.reply(`OK ${TOKEN}`);
  r.conn.check();
  assert.equal(s.sent.at(-1), "PING");
  s.reply("PONG");
  r.timers.advance(5000);
  assert.equal(r.sockets.all.length, 1);
  assert.equal(r.replies.length, 0, "PONG is the connection's own business");

  r.conn.check();
  r.timers.advance(999);
  assert.equal(s.closed, false);
  r.timers.advance(1);
  await settle();
  assert.equal(s.closed, true);
  assert.equal(r.sockets.all.length, 2);
  s.drop();
  assert.equal(r.sockets.all.length, 2, "the old socket's late close is ignored");
});

test("coming back while waiting to reconnect tries at once", async () => {
  let up = false;
  const r = rig({ ...paired(), reachable: () => up });
  r.conn.start();
  await settle();
  for (let i = 0; i < 4; i += 1) {
    r.timers.advance(r.phase().delay);
    await settle();
  }
  assert.equal(r.phase().phase, "reconnecting");
  up = true;
  r.conn.check();
  await settle();
  assert.equal(r.sockets.all.length, 1);
});
