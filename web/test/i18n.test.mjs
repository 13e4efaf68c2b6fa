import test from "node:test";
import assert from "node:assert/strict";
import { LANGUAGES, STRINGS, pickLanguage, isRtl, translate } from "../js/i18n.js";

test("language choice follows the first preferred language with the fallbacks", () => {
  const cases = [
    [["de-AT", "en"], "de"], [["EN-gb"], "en"], [["zh-TW"], "zh-Hant"], [["zh-Hant-CN"], "zh-Hant"],
    [["zh-HK"], "zh-Hant"], [["zh_MO"], "zh-Hant"], [["zh-CN"], "zh"], [["zh-Hans-HK"], "zh-Hant"],
    [["zh"], "zh"], [["no-NO"], "nb"], [["nn"], "nb"], [["nb"], "nb"], [["iw-IL"], "he"],
    [["in"], "id"], [["pt-PT"], "pt"], [["xx-YY", "de"], "en"], [[], "en"], [undefined, "en"],
  ];
  for (const [languages, expected] of cases) {
    assert.equal(pickLanguage(languages), expected, JSON.stringify(languages));
  }
  assert.ok(isRtl("ar") && isRtl("he") && !isRtl("fa") && !isRtl("en"));
});

test("every language has exactly the English keys, non-empty, with the same placeholders", () => {
  assert.equal(LANGUAGES.length, 30);
  assert.deepEqual(Object.keys(STRINGS).sort(), [...LANGUAGES].sort());
  const keys = Object.keys(STRINGS.en).sort();
  const holes = (s) => (s.match(/\{\w+\}/g) || []).sort().join();
  for (const lang of LANGUAGES) {
    assert.deepEqual(Object.keys(STRINGS[lang]).sort(), keys, lang);
    for (const key of keys) {
      const text = STRINGS[lang][key];
      assert.ok(typeof text === "string" && text.trim().length > 0, `${lang}.${key}`);
      assert.equal(holes(text), holes(STRINGS.en[key]), `${lang}.${key}`);
    }
  }
});

test("the English texts are the controls' accessible names", () => {
  const names = {
    tab_touchpad: "Touchpad", tab_keyboard: "Keyboard", tab_screen: "Screen", tab_media: "Media",
    tab_power: "Power", name_label: "Your phone's name", pair: "Pair", pin: "PIN",
    text_to_type: "Text to type", send: "Send", left_click: "Left click", right_click: "Right click",
    play: "Play/Pause", prev: "Previous", next: "Next", vol_up: "Volume up",
    vol_down: "Volume down", mute: "Mute", lock: "Lock", sleep: "Sleep", logout: "Log out",
    restart: "Restart", shutdown: "Shut down",
  };
  for (const [key, text] of Object.entries(names)) assert.equal(STRINGS.en[key], text, key);
});

test("placeholders are filled and unknown keys fall back to English", () => {
  assert.equal(translate("de", "st_connected", { name: "Studio" }), "Verbunden mit Studio");
  assert.equal(translate("en", "confirm_lines", { n: 3 }), "Send these 3 lines?");
  assert.equal(translate("xx", "pair"), "Pair");
});
