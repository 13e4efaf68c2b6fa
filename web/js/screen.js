// The live view: a second connection that asks for the screen with the pairing token, reads the
// header with the display size, then binary messages that are each one JPEG frame (empty ones
// are keep-alives). Every binary message is acknowledged with "A": a keep-alive at once, a
// picture once it is shown, since the computer holds back further frames until then.
//
// States reported through onState({state, reason, width, height}):
//   waiting  request sent, no header yet
//   live     header received; width and height are the computer's display size
//   refused  the computer answered ERR; reason is its word (disabled, busy, perm, auth, ...)
//   lost     the connection ended unexpectedly; a new request follows after RETRY_MS
//   stopped  stop() was called

import * as P from "./protocol.js";

export const RETRY_MS = 2000;

export function createScreenView({ openSocket, request, decode, present, release, timers,
  onState }) {
  let ws = null;
  let gen = 0;
  let retryTimer = null;
  let chain = Promise.resolve();

  function drop() {
    gen += 1;
    timers.clearTimeout(retryTimer);
    retryTimer = null;
    if (ws) {
      const old = ws;
      ws = null;
      old.onopen = old.onmessage = old.onclose = null;
      old.close();
    }
  }

  function start() {
    drop();
    const mine = gen;
    const { token, width, quality, name } = request();
    const sock = openSocket();
    ws = sock;
    onState({ state: "waiting" });
    sock.onopen = () => sock.send(P.screenRequest(token, width, quality, name));
    sock.onmessage = (event) => {
      if (mine !== gen) return;
      if (typeof event.data === "string") {
        text(P.parseReply(event.data));
      } else if (event.data.byteLength === 0) {
        sock.send("A");
      } else {
        frame(mine, sock, event.data);
      }
    };
    sock.onclose = () => {
      if (mine !== gen) return;
      ws = null;
      onState({ state: "lost" });
      retryTimer = timers.setTimeout(start, RETRY_MS);
    };
  }

  function text(reply) {
    if (reply.type === "screen") {
      onState({ state: "live", width: reply.width, height: reply.height });
    } else if (reply.type === "err") {
      drop();
      onState({ state: "refused", reason: reply.word });
    }
  }

  // Frames are shown in arrival order; one that cannot be decoded is still acknowledged, or the
  // computer would stop sending.
  function frame(mine, sock, data) {
    chain = chain.then(() => decode(data)).then(
      (picture) => {
        if (mine === gen) present(picture);
        else release(picture);
      },
      () => {},
    ).then(() => {
      if (mine === gen) sock.send("A");
    });
  }

  return {
    start,
    stop() {
      drop();
      onState({ state: "stopped" });
    },
    get running() {
      return ws !== null;
    },
  };
}
