// Line building and reply parsing for the control and screen connections. Every function returns
// one protocol line without its line end: the WebSocket carries one line per message.

export const APP_VERSION = "web-1.1.0";
export const NAME_MAX = 40;
export const GRID_MAX = 65535;

export const KEYS = ["ESC", "TAB", "UP", "DOWN", "LEFT", "RIGHT", "HOME", "END", "PGUP", "PGDN",
  "DEL", "ENTER", "BACKSPACE", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11",
  "F12"];
export const MODIFIERS = ["ctrl", "alt", "shift", "win"];
export const MEDIA = ["PLAY", "PREV", "NEXT", "VOLUP", "VOLDOWN", "MUTE"];
export const POWER = ["LOCK", "SLEEP", "LOGOFF", "RESTART", "SHUTDOWN"];

// The computer splits the greeting at spaces and turns "_" back into spaces, so a name carries
// "_" for each run of white space; control characters would end or corrupt the line, and bidi
// controls would garble the name where the computer shows it.
const UNWANTED = /[\p{Cc}\p{Zl}\p{Zp}\u200E\u200F\u202A-\u202E\u2066-\u2069]/gu;

export function sanitizeName(name, fallback = "Phone") {
  const chars = [...String(name ?? "").replace(UNWANTED, "").trim()]
    .slice(0, NAME_MAX).join("").trim();
  const wire = chars.replace(/\s+/gu, "_");
  return wire || fallback;
}

export function defaultPhoneName(nav) {
  const platform = nav?.userAgentData?.platform || nav?.platform || "";
  const ua = nav?.userAgent || "";
  if (/iPhone/i.test(ua) || /iPhone/i.test(platform)) return "iPhone";
  if (/iPad/i.test(ua) || (/Mac/i.test(platform) && nav?.maxTouchPoints > 1)) return "iPad";
  if (/Android/i.test(platform) || /Android/i.test(ua)) {
    return /Mobile/i.test(ua) || nav?.userAgentData?.mobile ? "Android phone" : "Android tablet";
  }
  return "Phone";
}

export const hello = (name, token) => `HELLO ${sanitizeName(name)} ${token || "-"} ${APP_VERSION}`;
export const pin = (digits) => `PIN ${digits}`;
export const screenRequest = (token, width, quality, name) =>
  `SCREEN ${token} ${Math.round(width)} ${Math.round(quality)} ${sanitizeName(name)}`;

export const move = (dx, dy) => `M ${dx} ${dy}`;
export const moveAbs = (x, y) => `MA ${x} ${y}`;
export const click = (button = "L") => `C ${button}`;
export const down = (button = "L") => `D ${button}`;
export const up = (button = "L") => `U ${button}`;
// Horizontal amount first, vertical second, in lines; positive means wheel up / wheel left.
export const scroll = (h, v) => `S ${h} ${v}`;
export const key = (name) => `K ${name}`;
export const hotkey = (mods, keyName) => `H ${[...mods, keyName].join("+")}`;
export const media = (name) => `MEDIA ${name}`;
export const power = (name) => `PWR ${name}`;

// A lone CR LF pair would reach the computer as one character instead of Return.
export const typeText = (text) => `T ${base64Utf8(text.replace(/\r\n?/g, "\n"))}`;

export function base64Utf8(text) {
  const bytes = new TextEncoder().encode(text);
  let binary = "";
  for (let i = 0; i < bytes.length; i += 0x8000) {
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(binary);
}

// Maps a fraction of the main display (0..1 from its left or top edge) onto the 0..65535 grid.
export function toGrid(fraction) {
  const clamped = Math.min(1, Math.max(0, Number.isFinite(fraction) ? fraction : 0));
  return Math.round(clamped * GRID_MAX);
}

// The computer clamps widths to 320..1920; wider frames than the phone can show only cost
// bandwidth, so the longer side of the phone's screen in device pixels bounds the request.
export function screenWidth(cssWidth, cssHeight, dpr, cap = 1280) {
  const longest = Math.max(cssWidth, cssHeight) * (dpr || 1);
  return Math.max(320, Math.min(cap, Math.round(longest)));
}

export function parseReply(line) {
  const text = String(line).trim();
  const space = text.indexOf(" ");
  const verb = space < 0 ? text : text.slice(0, space);
  const arg = space < 0 ? "" : text.slice(space + 1).trim();
  switch (verb) {
    case "OK": return arg ? { type: "ok", token: arg } : { type: "done" };
    case "PIN": return { type: "pin" };
    case "PONG": return { type: "pong" };
    case "ERR": return { type: "err", word: arg };
    case "INFO": {
      try {
        return { type: "info", info: JSON.parse(arg) };
      } catch {
        return { type: "unknown", line: text };
      }
    }
    case "SCREEN": {
      const [w, h] = arg.split(/\s+/).map(Number);
      if (Number.isInteger(w) && Number.isInteger(h)) return { type: "screen", width: w, height: h };
      return { type: "unknown", line: text };
    }
    default: return { type: "unknown", line: text };
  }
}
