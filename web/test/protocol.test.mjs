import test from "node:test";
import assert from "node:assert/strict";
import * as P from "../js/protocol.js";

test("phone names carry no spaces, controls or bidi marks and are capped", () => {
  assert.equal(P.sanitizeName("Anna's  Pixel 7"), "Anna's_Pixel_7");
  assert.equal(P.sanitizeName("a\nb\tc\u0000d"), "abcd");
  assert.equal(P.sanitizeName("\u202Eevil\u202C name"), "evil_name");
  assert.equal(P.sanitizeName("   "), "Phone");
  assert.equal(P.sanitizeName("", "iPhone"), "iPhone");
  const long = P.sanitizeName("😀".repeat(60));
  assert.equal([...long].length, P.NAME_MAX);
});

test("greeting uses '-' when there is no token", () => {
  assert.equal(P.hello("My phone", null), `HELLO My_phone - ${P.APP_VERSION}`);
  assert.equal(P.hello("x", "ab12"), `HELLO x ab12 ${P.APP_VERSION}`);
  assert.equal(P.screenRequest("tok", 1170.4, 60, "My phone"), "SCREEN tok 1170 60 My_phone");
});

test("typed text is padded base64 of its UTF-8 bytes, CR LF sent as one new line", () => {
  const decode = (line) => Buffer.from(line.slice(2), "base64").toString("utf8");
  assert.equal(P.typeText("hi"), "T aGk=");
  assert.equal(decode(P.typeText("Grüße 😀 日本")), "Grüße 😀 日本");
  assert.equal(decode(P.typeText("a\r\nb\rc")), "a\nb\nc");
  const big = "é".repeat(100000);
  assert.equal(decode(P.typeText(big)), big);
});

test("hotkeys join modifiers and key with plus signs", () => {
  assert.equal(P.hotkey(["ctrl", "shift"], "t"), "H ctrl+shift+t");
  assert.equal(P.hotkey([], "F4"), "H F4");
});

test("grid positions and screen widths stay in range", () => {
  assert.equal(P.toGrid(0), 0);
  assert.equal(P.toGrid(1), 65535);
  assert.equal(P.toGrid(0.5), 32768);
  assert.equal(P.toGrid(-0.2), 0);
  assert.equal(P.toGrid(1.7), 65535);
  assert.equal(P.toGrid(NaN), 0);
  assert.equal(P.screenWidth(390, 844, 3), 1280);
  assert.equal(P.screenWidth(320, 480, 1), 480);
  assert.equal(P.screenWidth(100, 100, 1), 320);
});

test("replies are parsed by verb", () => {
  assert.deepEqual(P.parseReply("OK 0123abcd"), { type: "ok", token: "0123abcd" });
  assert.deepEqual(P.parseReply("OK"), { type: "done" });
  assert.deepEqual(P.parseReply("PIN"), { type: "pin" });
  assert.deepEqual(P.parseReply("ERR busy\n"), { type: "err", word: "busy" });
  assert.deepEqual(P.parseReply("SCREEN 2560 1600"), { type: "screen", width: 2560, height: 1600 });
  assert.equal(P.parseReply("SCREEN x").type, "unknown");
  const info = P.parseReply('INFO {"name":"Studio","os":"linux","ver":"1.1.0","power":false,"ax":true,"screen":true}');
  assert.equal(info.type, "info");
  assert.equal(info.info.power, false);
  assert.equal(P.parseReply('INFO {"name":"a"b"}').type, "unknown");
});

test("default names follow the platform", () => {
  assert.equal(P.defaultPhoneName({ userAgent: "Mozilla/5.0 (iPhone; CPU iPhone OS 17_0)" }), "iPhone");
  assert.equal(P.defaultPhoneName({ userAgentData: { platform: "Android", mobile: true }, userAgent: "" }), "Android phone");
  assert.equal(P.defaultPhoneName({ userAgent: "Linux; Android 14; SM-X200) Safari" }), "Android tablet");
  assert.equal(P.defaultPhoneName({ platform: "MacIntel", maxTouchPoints: 5, userAgent: "" }), "iPad");
  assert.equal(P.defaultPhoneName({}), "Phone");
});
