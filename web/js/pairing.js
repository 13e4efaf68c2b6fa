// The control connection: identifies the computer, greets it with the token stored for it,
// pairs when the person asks to, and reconnects with backoff while a token exists.
//
// A greeting without a known token opens a pairing prompt on the computer, so the page only
// sends one when the person taps Pair. If the computer answers a stored token with PIN, it has
// forgotten the phone: the connection is dropped (closing that prompt) along with the token.
//
// Phases reported through onState({phase, reason, attempt, delay, computer}):
//   starting      identifying the computer and greeting with the stored token
//   unpaired      waiting for the person to tap Pair; reason tells why, if there is one
//   pairing       greeting without a token sent, waiting for the computer
//   pin           the computer shows a PIN; the phone may send it, or Allow is pressed there
//   ready         admitted; commands may be sent
//   reconnecting  the connection dropped; a new attempt follows after delay ms

import * as P from "./protocol.js";

export const BACKOFF = [500, 1000, 2000, 4000, 8000, 15000];
export const PING_TIMEOUT = 1000;
export const NAME_KEY = "velora.name";
export const tokenKey = (id) => `velora.token.${id}`;

export const backoffDelay = (attempt) => BACKOFF[Math.min(attempt, BACKOFF.length - 1)];

export function createConnection({ identify, openSocket, storage, timers, defaultName, onState,
  onReply }) {
  let phase = "starting";
  let mode = "token";
  let ws = null;
  let gen = 0;
  let attempt = 0;
  let retryTimer = null;
  let pingTimer = null;
  let id = null;
  let computer = "";
  let token = null;

  function report(next, extra = {}) {
    phase = next;
    onState({ phase, computer, ...extra });
  }

  function clearTimers() {
    timers.clearTimeout(retryTimer);
    timers.clearTimeout(pingTimer);
    retryTimer = null;
    pingTimer = null;
  }

  // Forgets the current socket; its late events belong to an older generation and are ignored.
  function drop() {
    gen += 1;
    clearTimers();
    if (ws) {
      const old = ws;
      ws = null;
      old.onopen = old.onmessage = old.onclose = old.onerror = null;
      old.close();
    }
  }

  const name = () => storage.getItem(NAME_KEY) || defaultName;

  function retry() {
    const delay = backoffDelay(attempt);
    attempt += 1;
    report("reconnecting", { attempt, delay });
    retryTimer = timers.setTimeout(() => connect("token"), delay);
  }

  function fail(reason) {
    drop();
    if (mode === "token") retry();
    else report("unpaired", { reason });
  }

  function connect(how) {
    drop();
    mode = how;
    const mine = gen;
    if (how === "pair") report("pairing");
    else if (attempt === 0) report("starting");
    identify().then((who) => {
      if (mine !== gen) return;
      id = who.id;
      computer = who.name || "";
      token = storage.getItem(tokenKey(id));
      if (how === "token" && !token) {
        attempt = 0;
        report("unpaired", { reason: null });
        return;
      }
      open(mine);
    }, () => {
      if (mine === gen) fail("unreachable");
    });
  }

  function open(mine) {
    let opened = false;
    ws = openSocket();
    ws.onopen = () => {
      opened = true;
      ws.send(P.hello(name(), mode === "pair" ? null : token));
    };
    ws.onmessage = (event) => {
      if (mine === gen && typeof event.data === "string") receive(P.parseReply(event.data));
    };
    ws.onclose = () => {
      if (mine !== gen) return;
      ws = null;
      if (phase === "pin" || (phase === "pairing" && opened)) fail("ended");
      else fail("unreachable");
    };
  }

  function receive(reply) {
    if (phase === "ready") {
      if (reply.type === "pong") {
        timers.clearTimeout(pingTimer);
        pingTimer = null;
      } else {
        onReply(reply);
      }
      return;
    }
    if (reply.type === "ok") {
      token = reply.token;
      storage.setItem(tokenKey(id), token);
      // From now on the token admits this phone: a drop reconnects instead of asking to pair.
      mode = "token";
      attempt = 0;
      report("ready");
      ws.send("INFO");
    } else if (reply.type === "pin" && mode === "token") {
      drop();
      storage.removeItem(tokenKey(id));
      token = null;
      attempt = 0;
      report("unpaired", { reason: "forgotten" });
    } else if (reply.type === "pin") {
      report("pin");
    } else if (reply.type === "err") {
      mode = "pair";
      fail(reply.word === "pin" ? "wrong_pin" : reply.word === "busy" ? "busy" : "refused");
    }
  }

  return {
    start() {
      attempt = 0;
      connect("token");
    },
    pair(phoneName) {
      storage.setItem(NAME_KEY, P.sanitizeName(phoneName, defaultName));
      attempt = 0;
      connect("pair");
    },
    submitPin(digits) {
      if (phase !== "pin" || !/^\d{6}$/.test(digits)) return false;
      ws.send(P.pin(digits));
      return true;
    },
    send(line) {
      if (phase !== "ready" || !ws) return false;
      ws.send(line);
      return true;
    },
    // The page came back to the foreground: a connection that does not answer PING at once is
    // replaced, and a pending reconnect is not left waiting out its backoff.
    check() {
      if (phase === "ready" && ws && pingTimer === null) {
        ws.send("PING");
        pingTimer = timers.setTimeout(() => {
          attempt = 0;
          connect("token");
        }, PING_TIMEOUT);
      } else if (phase === "reconnecting") {
        connect("token");
      }
    },
    get phase() { return phase; },
    get token() { return token; },
    get computer() { return computer; },
    get name() { return name(); },
  };
}
