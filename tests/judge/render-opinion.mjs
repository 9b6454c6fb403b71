// Draws movies in an independent Flash engine (Ruffle's web build in headless Chromium) and
// saves each stage as a PNG, for comparing with our renderer where no reference image exists.
//
//   node --experimental-websocket render-opinion.mjs --ruffle DIR --list FILE [--chromium PATH]
//
// Each line of FILE is "MOVIE.swf FRAMES OUT.png". A movie plays at its stage size for FRAMES
// frames at its own rate, then the page is captured through the DevTools protocol. Every step
// waits on an event with a time limit; a movie that fails or times out is reported and skipped.
// Prints "ok OUT.png" or "fail OUT.png: WHY" per line.
import { spawn } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";

const args = process.argv.slice(2);
const options = {};
for (let i = 0; i < args.length; i++) {
  if (args[i] === "--ruffle") options.ruffle = args[++i];
  else if (args[i] === "--list") options.list = args[++i];
  else if (args[i] === "--chromium") options.chromium = args[++i];
}
options.chromium ??= "/usr/bin/chromium";
for (const [what, p] of [["chromium", options.chromium], ["Ruffle", path.join(options.ruffle ?? "", "ruffle.js")]]) {
  if (!fs.existsSync(p)) {
    console.log(`SKIPPED: ${what} is not installed (${p}); scripts/lib/install-judge installs it`);
    process.exit(0);
  }
}
if (typeof WebSocket !== "function") {
  console.log("FAIL: run node with --experimental-websocket");
  process.exit(2);
}
const movies = fs.readFileSync(options.list, "utf8").split("\n").filter((l) => l.trim())
  .map((line) => { const [swf, frames, out] = line.split(" "); return { swf, frames: +frames || 1, out }; });

const page = `<!doctype html><html><head><style>
html, body { margin: 0; padding: 0; background: #808080; overflow: hidden; }
ruffle-player { display: block; }
</style></head><body><script src="/ruffle/ruffle.js"></script><script>
window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = { publicPath: "/ruffle/", polyfills: false, autoplay: "on", unmuteOverlay: "hidden",
  splashScreen: false, contextMenu: "off", letterbox: "off", logLevel: "error", warnOnUnsupportedContent: false,
  quality: "high", allowScriptAccess: false };
let player = null;
// Loads movie i, waits for its metadata, sizes the player to the stage and lets FRAMES frames
// play; resolves with the stage size once two animation frames have shown the result.
async function show(index, frames) {
  if (player) player.remove();
  player = window.RufflePlayer.newest().createPlayer();
  player.style.width = "1px"; player.style.height = "1px";
  document.body.appendChild(player);
  const metadata = new Promise((resolve) => player.addEventListener("loadedmetadata", resolve, { once: true }));
  await player.ruffle().load({ url: "/movie" + index + ".swf" });
  await metadata;
  const m = player.ruffle().metadata;
  player.style.width = m.width + "px"; player.style.height = m.height + "px";
  const rate = m.frameRate > 0 ? m.frameRate : 12;
  await new Promise((resolve) => setTimeout(resolve, (frames / rate) * 1000 + 250));
  await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
  return { width: m.width, height: m.height };
}
</script></body></html>`;

const types = { ".js": "text/javascript", ".wasm": "application/wasm" };
const server = http.createServer((req, res) => {
  const url = new URL(req.url, "http://127.0.0.1");
  let data = null, type = "application/octet-stream", m;
  if (url.pathname === "/") { data = page; type = "text/html"; }
  else if ((m = /^\/movie(\d+)\.swf$/.exec(url.pathname)) && movies[+m[1]]) {
    try { data = fs.readFileSync(movies[+m[1]].swf); type = "application/x-shockwave-flash"; } catch { data = null; }
  } else if (url.pathname.startsWith("/ruffle/")) {
    const file = path.join(options.ruffle, path.basename(url.pathname));
    if (fs.existsSync(file)) { data = fs.readFileSync(file); type = types[path.extname(file)] ?? type; }
  }
  if (data === null) { res.statusCode = 404; res.end(); return; }
  res.setHeader("Content-Type", type);
  res.end(data);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const port = server.address().port;

const withTimeout = (promise, ms, what) => Promise.race([
  promise, new Promise((_, reject) => setTimeout(() => reject(new Error(`${what}: no answer within ${ms} ms`)), ms))]);

const profile = fs.mkdtempSync(path.join(os.tmpdir(), "lumo-opinion-profile-"));
const browser = spawn(options.chromium, [
  "--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--disable-quic",
  "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync",
  "--force-device-scale-factor=1", "--hide-scrollbars", "--window-size=2000,2000", `--user-data-dir=${profile}`,
  "--remote-debugging-port=0", "about:blank",
], { stdio: ["ignore", "ignore", "pipe"], detached: true });
let browserErrors = "";
browser.stderr.on("data", (d) => { browserErrors = (browserErrors + d).slice(-4000); });

// The browser announces its DevTools endpoint on its error stream.
async function devToolsUrl() {
  for (;;) {
    const m = /DevTools listening on (ws:\/\/\S+)/.exec(browserErrors);
    if (m) return m[1];
    await new Promise((resolve) => browser.stderr.once("data", resolve));
  }
}

let exitCode = 0;
try {
  const browserUrl = await withTimeout(devToolsUrl(), 30000, "chromium start");
  const port2 = new URL(browserUrl).port;
  const targets = await (await fetch(`http://127.0.0.1:${port2}/json/list`)).json();
  const target = targets.find((t) => t.type === "page");
  const socket = new WebSocket(target.webSocketDebuggerUrl);
  await withTimeout(new Promise((resolve, reject) => { socket.onopen = resolve; socket.onerror = reject; }), 10000, "DevTools connection");
  let nextId = 1;
  const pending = new Map(), waiters = [];
  socket.onmessage = (event) => {
    const message = JSON.parse(event.data);
    if (message.id && pending.has(message.id)) {
      const { resolve, reject } = pending.get(message.id);
      pending.delete(message.id);
      if (message.error) reject(new Error(message.error.message)); else resolve(message.result);
    } else if (message.method) {
      for (const w of waiters.splice(0)) if (!w(message)) waiters.push(w);
    }
  };
  const send = (method, params = {}) => new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, { resolve, reject });
    socket.send(JSON.stringify({ id, method, params }));
  });
  const loaded = new Promise((resolve) => waiters.push((m) => m.method === "Page.loadEventFired" && (resolve(), true)));
  await send("Page.enable");
  await send("Page.navigate", { url: `http://127.0.0.1:${port}/` });
  await withTimeout(loaded, 30000, "page load");
  for (let i = 0; i < movies.length; i++) {
    const movie = movies[i];
    try {
      const limit = 20000 + movie.frames * 1000;
      const shown = await withTimeout(send("Runtime.evaluate", {
        expression: `show(${i}, ${movie.frames})`, awaitPromise: true, returnByValue: true }), limit, "movie");
      if (shown.exceptionDetails) throw new Error(shown.exceptionDetails.exception?.description ?? "page error");
      const { width, height } = shown.result.value;
      if (!(width > 0 && height > 0)) throw new Error("no stage size");
      const shot = await withTimeout(send("Page.captureScreenshot", {
        format: "png", clip: { x: 0, y: 0, width, height, scale: 1 }, captureBeyondViewport: true }), 20000, "capture");
      fs.writeFileSync(movie.out, Buffer.from(shot.data, "base64"));
      console.log(`ok ${movie.out}`);
    } catch (e) {
      console.log(`fail ${movie.out}: ${String(e.message ?? e).split("\n")[0]}`);
      exitCode = 1;
      if (/no answer/.test(String(e.message))) {
        // A movie that hangs the page: start the page afresh for the next one.
        const again = new Promise((resolve) => waiters.push((m) => m.method === "Page.loadEventFired" && (resolve(), true)));
        await send("Page.navigate", { url: `http://127.0.0.1:${port}/` }).catch(() => {});
        await withTimeout(again, 30000, "page reload").catch(() => {});
      }
    }
  }
  socket.close();
} catch (e) {
  console.log(`FAIL: ${e.message ?? e}\n${browserErrors}`);
  exitCode = 2;
}
const exited = new Promise((resolve) => browser.once("exit", resolve));
try { process.kill(-browser.pid, "SIGKILL"); } catch { browser.kill("SIGKILL"); }  // its own process group
await withTimeout(exited, 5000, "chromium exit").catch(() => {});
server.close();
fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 200 });
process.exit(exitCode);
