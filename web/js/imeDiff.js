// Mirrors a text field onto the computer. The computer's caret is assumed to sit at the end of
// what was sent, so any change of the field is expressed as backspaces back to the longest
// common prefix followed by the new tail. Input methods that compose, replace or autocorrect
// words then cost only the characters that really changed, and nothing is typed twice.

import * as P from "./protocol.js";

const segmenter = typeof Intl !== "undefined" && Intl.Segmenter
  ? new Intl.Segmenter(undefined, { granularity: "grapheme" })
  : null;

// One backspace on the computer removes one user-perceived character.
export function graphemes(text) {
  if (!segmenter) return [...text];
  return Array.from(segmenter.segment(text), (s) => s.segment);
}

export function diffText(previous, next) {
  const a = graphemes(previous);
  const b = graphemes(next);
  let common = 0;
  while (common < a.length && common < b.length && a[common] === b[common]) common += 1;
  return { backspaces: a.length - common, text: b.slice(common).join("") };
}

// The protocol lines for one change of the field.
export function diffLines(previous, next) {
  const { backspaces, text } = diffText(previous, next);
  const lines = Array.from({ length: backspaces }, () => P.key("BACKSPACE"));
  if (text) lines.push(P.typeText(text));
  return lines;
}

// The field's sent state. update() is called after input events that are not composing and after
// compositionend; while an input method composes, the field holds text that is not final yet.
export function createTyper(send) {
  let sent = "";
  return {
    update(value, composing = false) {
      if (composing || value === sent) return;
      for (const line of diffLines(sent, value)) send(line);
      sent = value;
    },
    // The page emptied the field (after Enter, or its clear button): the computer keeps what it
    // has, and later typing continues from an empty field.
    reset() {
      sent = "";
    },
    get sent() {
      return sent;
    },
  };
}
