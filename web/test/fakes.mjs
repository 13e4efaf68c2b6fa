// A fake clock and fake sockets shaped like the browser's WebSocket, for the connection tests.

export function fakeTimers() {
  let now = 0;
  let next = 1;
  const pending = new Map();
  return {
    setTimeout(fn, ms) {
      const id = next++;
      pending.set(id, { at: now + ms, fn });
      return id;
    },
    clearTimeout(id) {
      pending.delete(id);
    },
    // Runs due timers in time order, including ones they schedule.
    advance(ms) {
      const until = now + ms;
      for (;;) {
        const due = [...pending.entries()].filter(([, t]) => t.at <= until).sort((a, b) => a[1].at - b[1].at)[0];
        if (!due) break;
        pending.delete(due[0]);
        now = due[1].at;
        due[1].fn();
      }
      now = until;
    },
    get pending() {
      return pending.size;
    },
  };
}

export function fakeSockets() {
  const all = [];
  const open = () => {
    const s = {
      sent: [],
      closed: false,
      send(t) {
        if (s.closed) throw new Error("send on a closed socket");
        s.sent.push(t);
      },
      close() {
        s.closed = true;
      },
      // Server side.
      accept() {
        s.onopen?.();
      },
      reply(data) {
        s.onmessage?.({ data });
      },
      drop() {
        s.closed = true;
        s.onclose?.();
      },
    };
    all.push(s);
    return s;
  };
  return { all, open, get last() { return all.at(-1); } };
}

export function memoryStorage(init = {}) {
  const m = new Map(Object.entries(init));
  return {
    getItem: (k) => (m.has(k) ? m.get(k) : null),
    setItem: (k, v) => m.set(k, String(v)),
    removeItem: (k) => m.delete(k),
    map: m,
  };
}

export const settle = () => new Promise((r) => setImmediate(r));
