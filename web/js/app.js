// The phone page's DOM glue. All logic that can run without a browser lives in plain modules:
//   protocol.js  protocol lines, reply parsing, phone names, base64 of UTF-8, grid and widths
//   pairing.js   control connection: identify, greet, pair, PIN, reconnect with backoff, PING
//   gestures.js  touchpad state machine (taps, drag, scroll) and the screen's tap/drag/pinch
//   accel.js     pointer acceleration curve
//   coalesce.js  at most one "M" line per animation frame
//   imeDiff.js   mirrors the text field onto the computer as backspaces plus typed text
//   screen.js    the live view's socket: header, frames, acknowledgements, refusals
//   i18n.js      texts in 30 languages and the language choice
// This file only wires them to elements, events, storage and sockets.

import * as P from "./protocol.js";
import { createConnection } from "./pairing.js";
import { createTouchpad, createScreenTouch } from "./gestures.js";
import { createCoalescer } from "./coalesce.js";
import { createTyper, diffText } from "./imeDiff.js";
import { createScreenView } from "./screen.js";
import { pickLanguage, isRtl, translate } from "./i18n.js";

const $ = (id) => document.getElementById(id);
const lang = pickLanguage(navigator.languages?.length ? navigator.languages : [navigator.language]);
const t = (key, params) => translate(lang, key, params);
const store = window.localStorage;
const timers = { setTimeout: (fn, ms) => window.setTimeout(fn, ms), clearTimeout: (id) => window.clearTimeout(id) };
const wsUrl = () => `${location.protocol === "https:" ? "wss:" : "ws:"}//${location.host}/ws`;
const defaultName = P.defaultPhoneName(navigator);

let info = { power: true, ax: true, os: "linux" };
let activeTab = store.getItem("velora.tab") || "touchpad";
let everReady = false;

// ---- texts ----

function applyTexts() {
  document.documentElement.lang = lang;
  document.documentElement.dir = isRtl(lang) ? "rtl" : "ltr";
  for (const el of document.querySelectorAll("[data-i18n]")) el.textContent = t(el.dataset.i18n);
  for (const el of document.querySelectorAll("[data-i18n-label]")) {
    el.setAttribute("aria-label", t(el.dataset.i18nLabel));
    el.title = t(el.dataset.i18nLabel);
  }
}

let toastTimer = null;
function toast(text) {
  const el = $("toast");
  el.textContent = text;
  el.hidden = false;
  clearTimeout(toastTimer);
  toastTimer = setTimeout(() => { el.hidden = true; }, 2500);
}

// A small in-page dialog: window.confirm would block the socket handlers and looks out of place
// in a home-screen app.
function ask(text, okLabel) {
  return new Promise((resolve) => {
    const box = $("confirm");
    $("confirm-text").textContent = text;
    $("confirm-ok").textContent = okLabel;
    box.hidden = false;
    const done = (answer) => {
      box.hidden = true;
      $("confirm-ok").onclick = $("confirm-cancel").onclick = null;
      resolve(answer);
    };
    $("confirm-ok").onclick = () => done(true);
    $("confirm-cancel").onclick = () => done(false);
    $("confirm-ok").focus();
  });
}

// ---- connection ----

const conn = createConnection({
  identify: async () => {
    const res = await fetch("id", { cache: "no-store" });
    if (!res.ok) throw new Error(`id ${res.status}`);
    return res.json();
  },
  openSocket: () => new WebSocket(wsUrl()),
  storage: store,
  timers,
  defaultName,
  onState: showState,
  onReply: handleReply,
});

function send(line) {
  return conn.send(line);
}

const REASONS = {
  wrong_pin: "err_wrong_pin", busy: "err_busy", forgotten: "err_forgotten",
  unreachable: "err_unreachable", ended: "err_ended", refused: "err_refused",
};

function showState(state) {
  const status = $("status");
  status.dataset.phase = state.phase;
  const texts = {
    starting: t("st_connecting"),
    unpaired: "",
    pairing: t("st_pairing"),
    pin: t("st_pairing"),
    ready: t("st_connected", { name: state.computer }),
    reconnecting: t("st_reconnecting"),
  };
  status.textContent = texts[state.phase];

  if (state.phase === "ready") everReady = true;
  if (state.phase === "unpaired") everReady = false;
  const pairingShown = ["unpaired", "pairing", "pin"].includes(state.phase);
  const controlShown = state.phase === "ready" || (state.phase === "reconnecting" && everReady);
  $("pairing").hidden = !pairingShown;
  $("pairing").dataset.state = state.phase;
  $("control").hidden = !controlShown;
  $("tabs").hidden = !controlShown;
  $("control").classList.toggle("offline", state.phase !== "ready");

  if (pairingShown) {
    $("pair-intro").textContent = t("pair_intro", { name: state.computer || "…" });
    $("pin-form").hidden = state.phase !== "pin";
    $("pair-form").hidden = state.phase === "pin";
    $("pair-button").disabled = state.phase === "pairing";
    if (state.phase === "unpaired") $("pair-message").textContent = state.reason ? t(REASONS[state.reason]) : "";
    if (state.phase === "pin") {
      $("pair-message").textContent = "";
      $("pin-input").value = "";
      $("pin-input").focus();
    }
  }
  if (state.phase !== "ready") releaseAll();
  syncScreen();
}

function handleReply(reply) {
  if (reply.type === "info") {
    info = { ...info, ...reply.info };
    $("ax-banner").hidden = info.ax !== false;
    showPower();
  } else if (reply.type === "done") {
    toast(t("done"));
  } else if (reply.type === "err") {
    if (reply.word === "disabled") {
      info.power = false;
      showPower();
      toast(t("power_off"));
    } else {
      toast(t("cmd_failed"));
    }
  }
}

function showPower() {
  $("power-message").hidden = info.power !== false;
  for (const b of document.querySelectorAll("[data-power]")) b.disabled = info.power === false;
}

// ---- pairing screen ----

$("phone-name").value = (store.getItem("velora.name") || defaultName).replace(/_/g, " ");
$("pair-form").addEventListener("submit", (e) => {
  e.preventDefault();
  conn.pair($("phone-name").value);
});
$("pin-input").addEventListener("input", () => {
  const field = $("pin-input");
  field.value = field.value.replace(/\D/g, "").slice(0, 6);
});
$("pin-form").addEventListener("submit", (e) => {
  e.preventDefault();
  conn.submitPin($("pin-input").value);
});

// ---- tabs ----

function selectTab(name) {
  activeTab = name;
  store.setItem("velora.tab", name);
  for (const tab of document.querySelectorAll("[role=tab]")) {
    const on = tab.dataset.panel === name;
    tab.setAttribute("aria-selected", String(on));
    tab.tabIndex = on ? 0 : -1;
    $(`panel-${tab.dataset.panel}`).hidden = !on;
  }
  releaseAll();
  syncScreen();
}
for (const tab of document.querySelectorAll("[role=tab]")) {
  tab.addEventListener("click", () => selectTab(tab.dataset.panel));
}

// ---- touchpad ----

const settings = {
  sensitivity: Number(store.getItem("velora.sensitivity")) || 1,
  natural: store.getItem("velora.natural") !== "false",
};
$("speed").value = String(settings.sensitivity);
$("natural").checked = settings.natural;
$("speed").addEventListener("change", () => {
  settings.sensitivity = Number($("speed").value);
  store.setItem("velora.sensitivity", String(settings.sensitivity));
});
$("natural").addEventListener("change", () => {
  settings.natural = $("natural").checked;
  store.setItem("velora.natural", String(settings.natural));
});

const moves = createCoalescer(send, (fn) => requestAnimationFrame(fn));
// Pending movement goes out first so that a click lands where the pointer was taken.
const padLine = (line) => {
  moves.flush();
  send(line);
};
const pad = createTouchpad({ line: padLine, move: moves.add }, settings);
let padTimer = null;

function armPadTimer() {
  clearTimeout(padTimer);
  const due = pad.deadline();
  if (due === null) return;
  // A timer may fire a fraction of a millisecond early; it then waits for the rest.
  padTimer = setTimeout(() => {
    pad.poll(performance.now());
    armPadTimer();
  }, Math.max(0, due - performance.now()));
}

// Pointer events cover touch, pen and mouse alike; the map holds the contacts currently down.
function trackPointers(el, machine, toPoint, after = () => {}) {
  const down = new Map();
  const list = () => [...down.values()];
  el.addEventListener("pointerdown", (e) => {
    e.preventDefault();
    el.setPointerCapture?.(e.pointerId);
    down.set(e.pointerId, toPoint(e));
    machine.start(performance.now(), list());
    after();
  });
  el.addEventListener("pointermove", (e) => {
    if (!down.has(e.pointerId)) return;
    e.preventDefault();
    down.set(e.pointerId, toPoint(e));
    machine.move(performance.now(), list());
  });
  const lift = (e) => {
    if (!down.has(e.pointerId)) return;
    const lifted = toPoint(e);
    down.delete(e.pointerId);
    machine.end(performance.now(), list(), [lifted]);
    after();
  };
  el.addEventListener("pointerup", lift);
  el.addEventListener("pointercancel", () => {
    down.clear();
    machine.cancel();
    after();
  });
  return () => down.clear();
}

const clearPad = trackPointers($("pad"), pad, (e) => ({ id: e.pointerId, x: e.clientX, y: e.clientY }), armPadTimer);
$("left-click").addEventListener("click", () => padLine(P.click("L")));
$("right-click").addEventListener("click", () => padLine(P.click("R")));

// ---- keyboard ----

const mods = new Set();
const typer = createTyper(send);
const field = $("type-field");

function setMod(name, on) {
  if (on) mods.add(name);
  else mods.delete(name);
  document.querySelector(`[data-mod="${name}"]`).setAttribute("aria-pressed", String(on));
}
function takeMods() {
  const list = P.MODIFIERS.filter((m) => mods.has(m));
  for (const m of list) setMod(m, false);
  return list;
}
function pressKey(name) {
  send(mods.size ? P.hotkey(takeMods(), name) : P.key(name));
}

for (const b of document.querySelectorAll("[data-mod]")) {
  b.addEventListener("click", () => setMod(b.dataset.mod, !mods.has(b.dataset.mod)));
}
for (let i = 1; i <= 12; i += 1) {
  const b = document.createElement("button");
  b.type = "button";
  b.dataset.key = `F${i}`;
  b.textContent = `F${i}`;
  $("function-keys").append(b);
}
for (const b of document.querySelectorAll("[data-key]")) {
  b.addEventListener("click", () => pressKey(b.dataset.key));
}
for (const b of document.querySelectorAll("[data-shortcut]")) {
  b.addEventListener("click", () => {
    const primary = info.os === "macos" ? "cmd" : "ctrl";
    const lines = {
      copy: P.hotkey([primary], "c"),
      paste: P.hotkey([primary], "v"),
      undo: P.hotkey([primary], "z"),
      switch: P.hotkey([info.os === "macos" ? "cmd" : "alt"], "TAB"),
    };
    send(lines[b.dataset.shortcut]);
  });
}

// With a modifier armed, the next character typed combines with it instead of being typed.
function fieldChanged(composing) {
  if (composing) return;
  if (mods.size) {
    const { backspaces, text } = diffText(typer.sent, field.value);
    const chars = [...text];
    if (backspaces === 0 && chars.length === 1) {
      send(P.hotkey(takeMods(), chars[0].toLowerCase()));
      field.value = typer.sent;
      return;
    }
  }
  typer.update(field.value);
}
field.addEventListener("input", (e) => fieldChanged(e.isComposing));
field.addEventListener("compositionend", () => fieldChanged(false));
field.addEventListener("keydown", (e) => {
  if (e.isComposing || e.keyCode === 229) return;
  if (e.key === "Enter") {
    e.preventDefault();
    typer.update(field.value);
    pressKey("ENTER");
    field.value = "";
    typer.reset();
  } else if (e.key === "Backspace" && field.value === "") {
    // An empty field fires no input event, yet the person means to delete on the computer.
    pressKey("BACKSPACE");
  }
});
$("type-clear").addEventListener("click", () => {
  field.value = "";
  typer.reset();
  field.focus();
});

$("block-mask").addEventListener("change", () => {
  const masked = $("block-mask").checked;
  $("block-text").hidden = masked;
  $("block-secret").hidden = !masked;
  $("block-label").htmlFor = masked ? "block-secret" : "block-text";
});
$("block-form").addEventListener("submit", async (e) => {
  e.preventDefault();
  const source = $("block-mask").checked ? $("block-secret") : $("block-text");
  const text = source.value;
  if (!text) return;
  const lines = text.split(/\r\n|\r|\n/).length;
  if (lines > 1 && !(await ask(t("confirm_lines", { n: lines }), t("send")))) return;
  if (send(P.typeText(text))) source.value = "";
});

// ---- media and power ----

for (const b of document.querySelectorAll("[data-media]")) {
  b.addEventListener("click", () => send(P.media(b.dataset.media)));
}
for (const b of document.querySelectorAll("[data-power]")) {
  b.addEventListener("click", async () => {
    const label = b.textContent;
    if (await ask(t("confirm_power", { name: label }), label)) send(P.power(b.dataset.power));
  });
}

// ---- screen ----

const canvas = $("screen-image");
const ctx = canvas.getContext("2d");
const screenBox = $("screen-box");
let frames = 0;

const SCREEN_TEXT = {
  waiting: "scr_waiting", lost: "scr_lost", disabled: "scr_disabled", busy: "scr_busy",
  perm: "scr_perm", auth: "err_forgotten",
};

const view = createScreenView({
  openSocket: () => {
    const ws = new WebSocket(wsUrl());
    ws.binaryType = "arraybuffer";
    return ws;
  },
  request: () => ({
    token: conn.token,
    width: P.screenWidth(screen.width, screen.height, devicePixelRatio),
    quality: 60,
    name: conn.name,
  }),
  decode: (buf) => createImageBitmap(new Blob([buf], { type: "image/jpeg" })),
  present: (bitmap) => {
    if (canvas.width !== bitmap.width || canvas.height !== bitmap.height) {
      canvas.width = bitmap.width;
      canvas.height = bitmap.height;
    }
    ctx.drawImage(bitmap, 0, 0);
    bitmap.close();
    frames += 1;
    canvas.dataset.frames = String(frames);
  },
  release: (bitmap) => bitmap.close(),
  timers,
  onState: (s) => {
    const msg = $("screen-message");
    msg.dataset.state = s.state;
    const key = s.state === "refused" ? SCREEN_TEXT[s.reason] || "scr_other" : SCREEN_TEXT[s.state];
    msg.textContent = key ? t(key) : "";
    msg.hidden = !key;
  },
});

// The view runs only while it can be seen: its tab is open, the page is in front, and the phone
// is admitted.
function syncScreen() {
  const want = activeTab === "screen" && document.visibilityState === "visible" && conn.phase === "ready";
  if (want && !view.running) view.start();
  else if (!want && view.running) view.stop();
}

const screenPoint = (e) => {
  const box = screenBox.getBoundingClientRect();
  return { id: e.pointerId, x: e.clientX - box.left, y: e.clientY - box.top };
};
const screenTouch = createScreenTouch(
  { line: send, view: (v) => { canvas.style.transform = `translate(${v.x}px, ${v.y}px) scale(${v.scale})`; } },
  (x, y) => {
    const box = screenBox.getBoundingClientRect();
    const pic = canvas.getBoundingClientRect();
    return [P.toGrid((x + box.left - pic.left) / pic.width), P.toGrid((y + box.top - pic.top) / pic.height)];
  },
  () => ({ width: canvas.offsetWidth, height: canvas.offsetHeight }),
);
const clearScreenTouch = trackPointers(screenBox, screenTouch, screenPoint);

// ---- page life ----

// Nothing may stay pressed on the computer once the phone stops touching the page.
function releaseAll() {
  clearPad();
  clearScreenTouch();
  pad.cancel();
  screenTouch.cancel();
  clearTimeout(padTimer);
}

document.addEventListener("visibilitychange", () => {
  if (document.visibilityState === "hidden") releaseAll();
  else conn.check();
  syncScreen();
});
window.addEventListener("pagehide", releaseAll);

if (document.fullscreenEnabled) {
  $("fullscreen").hidden = false;
  $("fullscreen").addEventListener("click", () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  });
}

// iOS clears a web page's storage after some days without a visit, which would lose the pairing;
// a home-screen app keeps it.
const ios = /iPhone|iPad|iPod/.test(navigator.userAgent) || (navigator.platform === "MacIntel" && navigator.maxTouchPoints > 1);
if (ios && !navigator.standalone && !store.getItem("velora.iosHint")) {
  $("ios-hint").hidden = false;
  $("ios-hint-close").addEventListener("click", () => {
    $("ios-hint").hidden = true;
    store.setItem("velora.iosHint", "1");
  });
}

applyTexts();
selectTab(["touchpad", "keyboard", "screen", "media", "power"].includes(activeTab) ? activeTab : "touchpad");
conn.start();
