import test from "node:test";
import assert from "node:assert/strict";
import { createTyper, diffText } from "../js/imeDiff.js";

// Replays recorded field events and returns what the computer ends up with, applying the lines
// the way the computer does (backspace removes one character at the caret at the end).
function replay(events) {
  const lines = [];
  const typer = createTyper((l) => lines.push(l));
  for (const e of events) {
    if (e.type === "input") typer.update(e.value, e.isComposing);
    else if (e.type === "compositionend") typer.update(e.value, false);
    else if (e.type === "reset") typer.reset();
  }
  return lines;
}

function screenText(lines, start = "") {
  const chars = [...new Intl.Segmenter(undefined, { granularity: "grapheme" }).segment(start)]
    .map((s) => s.segment);
  for (const l of lines) {
    if (l === "K BACKSPACE") chars.pop();
    else if (l.startsWith("T ")) chars.push(...[...new Intl.Segmenter(undefined, { granularity: "grapheme" })
      .segment(Buffer.from(l.slice(2), "base64").toString("utf8"))].map((s) => s.segment));
  }
  return chars.join("");
}
const T = (text) => `T ${Buffer.from(text).toString("base64")}`;
const input = (value, isComposing = false) => ({ type: "input", value, isComposing });
const end = (value) => ({ type: "compositionend", value });

test("diff keeps the common prefix", () => {
  assert.deepEqual(diffText("hello", "help"), { backspaces: 2, text: "p" });
  assert.deepEqual(diffText("", "abc"), { backspaces: 0, text: "abc" });
  assert.deepEqual(diffText("abc", ""), { backspaces: 3, text: "" });
  assert.deepEqual(diffText("ok 👍🏽", "ok 👍"), { backspaces: 1, text: "👍" },
    "an emoji with a skin tone is one character to delete");
});

test("Android: a composed word is typed once, when it is committed", () => {
  // keyCode 229 keydowns carry nothing; the input events hold the composing text.
  const lines = replay([
    input("h", true), input("he", true), input("hel", true), input("hell", true),
    input("hello", true), end("hello"), input("hello "),
    input("hello w", true), input("hello wo", true), end("hello wo"), input("hello wo"),
  ]);
  assert.deepEqual(lines, [T("hello"), T(" "), T("wo")]);
});

test("Android: autocorrect replacing the last word sends only the change", () => {
  const lines = replay([
    input("I", true), end("I"), input("I "),
    input("I t", true), input("I te", true), input("I teh", true),
    // Space commits the suggestion: the composing text is rewritten, then the space follows.
    input("I the", true), end("I the"), input("I the "),
  ]);
  assert.equal(screenText(lines), "I the ");
  assert.equal(lines.filter((l) => l === "K BACKSPACE").length, 0, "nothing to undo: teh was never sent");
});

test("Android: picking a suggestion for an earlier word retypes from that word", () => {
  const lines = replay([
    input("hello wrold", true), end("hello wrold"), input("hello wrold "),
    // Tapping the misspelt word reopens its composition; the suggestion replaces it.
    input("hello wrold ", true), input("hello world ", true), end("hello world "),
  ]);
  assert.equal(screenText(lines), "hello world ");
  assert.deepEqual(lines.slice(2), [...Array(5).fill("K BACKSPACE"), T("orld ")]);
});

test("deletions become backspaces; a deleted composing word sends nothing", () => {
  const lines = replay([
    input("abc", true), end("abc"), input("abc "),
    input("abc"), input("ab"),
    input("abx", true), input("ab", true), end("ab"),
  ]);
  assert.deepEqual(lines, [T("abc"), T(" "), "K BACKSPACE", "K BACKSPACE"]);
  assert.equal(screenText(lines), "ab");
});

test("clearing the field from the page sends nothing, and typing goes on from there", () => {
  const lines = replay([input("first"), { type: "reset" }, input(""), input("x")]);
  assert.deepEqual(lines, [T("first"), T("x")]);
});

test("iOS: autocorrect on space replaces the word without composition events", () => {
  // Safari on iOS sends plain input events; the correction arrives as a replacement.
  const lines = replay([
    input("t"), input("th"), input("thw"),
    input("the"), input("the "),
    input("the q"), input("the qu"), input("the qui"), input("the quik"),
    input("the quick "),
  ]);
  assert.equal(screenText(lines), "the quick ");
  assert.deepEqual(lines.slice(-2), ["K BACKSPACE", T("ck ")]);
});

test("Japanese composition: kana turn into kanji and only the result is typed", () => {
  const lines = replay([
    input("に", true), input("にほ", true), input("にほん", true), input("日本", true),
    end("日本"), input("日本"),
  ]);
  assert.deepEqual(lines, [T("日本")]);
});
