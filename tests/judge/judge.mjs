// Runs compiled movies in an independent Flash engine (Ruffle's web build in headless
// Chromium) and compares what they do with what each case expects.
//
//   node judge.mjs --as2c PATH --ruffle DIR [--prefix FILE.as] [--movie FILE.swf] [--patch-form-id] CASE.as...
//
// A case is an ActionScript 2 file. Lines "//> TEXT" give the expected log in order; lines
// "//! answer NAME = TEXT" give the stand-in runtime's answer to the ExternalInterface call
// NAME. With --prefix the case is compiled after that file (the bridge movie's source), and
// with --patch-form-id the form id placeholder is replaced by "000000" as the runtime does.
// A case with the line "//! use-movie" runs the --movie file as it is instead of its own code;
// "//! until PREFIX" ends the case at the first log line that begins with PREFIX. The page's
// own address in the log is written HOST. A movie that fails to load is logged as a load too.
// With --allow-timeout a case that never traces "#done" passes when its log is complete;
// --no-fscommands leaves FSCommands out of the comparison.
// With --against PROGRAM (our interpreter's runner, lumo-avm1) the case is a differential one:
// the movie also runs in PROGRAM and its trace, up to "#done", must equal Ruffle's line for
// line; a pair of lines listed in --differences FILE ("CASE | RUFFLE'S LINE | OURS") is one of
// Ruffle's own departures from the original player, and passes.
// With --show nothing is compared: each case's log is printed as "NAME: LINE" lines (the
// benchmarks read their timings so).
// The log holds: each trace as its text; each ExternalInterface call as
// "call NAME ARG|ARG|..."; each FSCommand as "fscommand COMMAND ARGUMENT"; each URL the movie
// loads as "load URL". A case ends when it traces
// "#done" (not logged) or after 15 seconds.
import { spawn, spawnSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";

const args = process.argv.slice(2);
const options = { cases: [] };
for (let i = 0; i < args.length; i++) {
  if (args[i] === "--as2c") options.as2c = args[++i];
  else if (args[i] === "--ruffle") options.ruffle = args[++i];
  else if (args[i] === "--prefix") options.prefix = args[++i];
  else if (args[i] === "--patch-form-id") options.patchFormId = true;
  else if (args[i] === "--movie") options.movie = args[++i];
  else if (args[i] === "--allow-timeout") options.allowTimeout = true;
  else if (args[i] === "--no-fscommands") options.noFscommands = true;
  else if (args[i] === "--chromium") options.chromium = args[++i];
  else if (args[i] === "--against") options.against = args[++i];
  else if (args[i] === "--differences") options.differences = args[++i];
  else if (args[i] === "--show") options.show = true;
  else options.cases.push(args[i]);
}
options.chromium ??= "/usr/bin/chromium";
for (const [what, p] of [["chromium", options.chromium], ["Ruffle", path.join(options.ruffle ?? "", "ruffle.js")], ["as2c", options.as2c ?? ""]]) {
  if (!fs.existsSync(p)) {
    console.log(`SKIPPED: ${what} is not installed (${p}); scripts/lib/install-judge installs it`);
    process.exit(0);
  }
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), "lumo-judge-"));
const cases = [];
let compileFailures = 0;
for (const file of options.cases) {
  const text = fs.readFileSync(file, "utf8");
  const expected = [], answers = {};
  let version = "8", useMovie = false, until = null;
  for (const line of text.split("\n")) {
    let m;
    if ((m = /^\s*\/\/> ?(.*)$/.exec(line))) expected.push(m[1].replace(/\r$/, ""));
    else if ((m = /^\s*\/\/! answer (\S+) = ?(.*)$/.exec(line))) answers[m[1]] = m[2].replace(/\r$/, "");
    else if ((m = /^\s*\/\/! swf-version (\d+)/.exec(line))) version = m[1];
    else if (/^\s*\/\/! use-movie/.test(line)) useMovie = true;
    else if ((m = /^\s*\/\/! until (.*)$/.exec(line))) until = m[1].replace(/\r$/, "");
  }
  let source = file;
  if (options.prefix) {
    source = path.join(work, path.basename(file));
    fs.writeFileSync(source, fs.readFileSync(options.prefix, "utf8") + "\n" + text);
  }
  const swf = path.join(work, `case${cases.length}.swf`);
  if (useMovie && !options.movie) {
    console.log(`FAIL ${file}: the case runs the --movie file, and none was given`);
    compileFailures++;
    continue;
  }
  if (useMovie) fs.copyFileSync(options.movie, swf);
  const run = useMovie ? { status: 0 } : spawnSync(options.as2c, ["--swf-version", version, "-o", swf, source], { encoding: "utf8" });
  if (run.status !== 0) {
    console.log(`FAIL ${file}: as2c failed\n${run.stderr}`);
    compileFailures++;
    continue;
  }
  let bytes = fs.readFileSync(swf);
  if (options.patchFormId) {
    const at = bytes.indexOf("!}id}!");
    if (at >= 0) bytes.write("000000", at, "latin1");
  }
  if (options.against) {
    fs.writeFileSync(swf, bytes);
    const ours = spawnSync(options.against, ["--frames", "200", swf], { encoding: "utf8" });
    const lines = ours.stdout.split("\n").map((l) => l.replace(/\r$/, ""));
    const done = lines.indexOf("#done");
    expected.splice(0, expected.length, ...(done >= 0 ? lines.slice(0, done) : lines.filter((l, i) => l || i < lines.length - 1)));
  }
  cases.push({ name: path.basename(file), file, expected, answers, until, bytes });
}
// Ruffle's known departures from the original player, as accepted pairs of lines.
const accepted = new Set();
if (options.differences)
  for (const line of fs.readFileSync(options.differences, "utf8").split("\n")) {
    const parts = line.split(" | ");
    if (!line.startsWith("#") && parts.length === 3) accepted.add(parts.map((p) => p.trim()).join(" | "));
  }

const page = `<!doctype html><html><body><script>
// The stand-in runtime: every ExternalInterface call reaches window.vor through Ruffle's
// evaluation of the call name; a proxy records it and answers from the case's table.
let log = [], answers = {}, hasEI = 0, until = null, finish = () => {};
function record(line) {
  line = line.split(location.host).join("HOST");
  log.push(line);
  if (until !== null && line.startsWith(until)) finish();
}
const pad = (n) => String(n).padStart(6, "0");
function standIn(pathSoFar) {
  return new Proxy(function () {}, {
    get(target, key) { return typeof key === "string" ? standIn(pathSoFar + "." + key) : undefined; },
    apply(target, self, args) {
      record("call " + pathSoFar + " " + args.map(String).join("|"));
      if (pathSoFar in answers) return answers[pathSoFar];
      if (pathSoFar === "vor.hasEI") return pad(hasEI++);
      return "";
    },
  });
}
window.vor = standIn("vor");
// Ruffle reports a movie it could not fetch (here the form's movie at a file:// address) in
// its log: that line gives the requested address.
const originalLog = console.log;
console.log = (...parts) => {
  const m = /movie loading of "((?:[^"\\\\]|\\\\.)*)"/.exec(parts.join(" "));
  if (m) record("load " + m[1].replace(/\\\\(.)/g, "$1"));
  originalLog(...parts);
};
const realFetch = window.fetch.bind(window);
window.fetch = (request, init) => {
  const url = request instanceof Request ? request.url : String(request);
  if (!/\\/(case\\d+\\.swf|ruffle\\/)/.test(url)) record("load " + url);
  return realFetch(request, init);
};
</script><script src="/ruffle/ruffle.js"></script><script>
window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = { publicPath: "/ruffle/", polyfills: false, autoplay: "on", unmuteOverlay: "hidden",
  splashScreen: false, allowScriptAccess: true, logLevel: "error", warnOnUnsupportedContent: false };
async function runCase(index, settings) {
  log = []; answers = settings.answers; until = settings.until; hasEI = 0;
  const player = window.RufflePlayer.newest().createPlayer();
  player.style.width = "100px"; player.style.height = "100px";
  document.body.appendChild(player);
  const done = new Promise((resolve) => { finish = resolve; });
  player.traceObserver = (text) => { if (text === "#done") finish(); else record(text); };
  player.onFSCommand = (command, argument) => { record("fscommand " + command + " " + argument); return true; };
  // The case's time runs from its load: the first load also compiles the player, which takes
  // seconds on a busy machine (a load that never ends meets the run's own time limit).
  await player.ruffle().load({ url: "/case" + index + ".swf", allowScriptAccess: true });
  const timer = setTimeout(() => { log.push("#timeout"); finish(); }, 15000);
  player.traceObserver = (text) => { if (text === "#done") finish(); else record(text); };
  await done;
  clearTimeout(timer);
  player.remove();
  return log;
}
(async () => {
  const list = await (await realFetch("/cases.json")).json();
  const results = [];
  for (let i = 0; i < list.length; i++) results.push(await runCase(i, list[i]));
  await realFetch("/results", { method: "POST", body: JSON.stringify(results) });
})().catch((e) => realFetch("/results", { method: "POST", body: JSON.stringify({ error: String(e && e.stack || e) }) }));
</script></body></html>`;

const types = { ".js": "text/javascript", ".wasm": "application/wasm", ".html": "text/html", ".json": "application/json" };
let resolveResults;
const results = new Promise((resolve) => { resolveResults = resolve; });
const server = http.createServer((req, res) => {
  const url = new URL(req.url, "http://127.0.0.1");
  if (req.method === "POST" && url.pathname === "/results") {
    let body = "";
    req.on("data", (chunk) => (body += chunk));
    req.on("end", () => { res.end("ok"); resolveResults(JSON.parse(body)); });
    return;
  }
  let data = null, type = "application/octet-stream";
  let m;
  if (url.pathname === "/" ) { data = page; type = "text/html"; }
  else if (url.pathname === "/cases.json") { data = JSON.stringify(cases.map((c) => ({ answers: c.answers, until: c.until }))); type = types[".json"]; }
  else if ((m = /^\/case(\d+)\.swf$/.exec(url.pathname)) && cases[+m[1]]) { data = cases[+m[1]].bytes; type = "application/x-shockwave-flash"; }
  else if (url.pathname.startsWith("/ruffle/")) {
    const file = path.join(options.ruffle, path.basename(url.pathname));
    if (fs.existsSync(file)) { data = fs.readFileSync(file); type = types[path.extname(file)] ?? type; }
  }
  if (data === null) { res.statusCode = 404; res.end(); return; }
  res.setHeader("Content-Type", type);
  res.end(data);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const port = server.address().port;

const profile = fs.mkdtempSync(path.join(os.tmpdir(), "lumo-judge-profile-"));
const browser = spawn(options.chromium, [
  "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
  "--disable-component-update", "--disable-sync", `--user-data-dir=${profile}`, "--remote-debugging-port=0",
  `http://127.0.0.1:${port}/`,
], { stdio: ["ignore", "ignore", "pipe"], detached: true });
let browserErrors = "";
browser.stderr.on("data", (d) => { browserErrors = (browserErrors + d).slice(-4000); });
const timeout = new Promise((resolve) => setTimeout(() => resolve({ error: "no results within the time limit" }), 60000 + 20000 * cases.length));
const outcome = await Promise.race([results, timeout]);
const exited = new Promise((resolve) => browser.once("exit", resolve));
try { process.kill(-browser.pid, "SIGKILL"); } catch { browser.kill("SIGKILL"); }  // its own process group
await exited;
await new Promise((resolve) => setTimeout(resolve, 300));
server.close();
fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 200 });
fs.rmSync(work, { recursive: true, force: true });

if (!Array.isArray(outcome)) {
  console.log(`FAIL: ${outcome.error}\n${browserErrors}`);
  process.exit(1);
}
if (options.show) {
  cases.forEach((c, i) => { for (const line of outcome[i]) console.log(`${c.name}: ${line}`); });
  process.exit(compileFailures ? 1 : 0);
}
let failures = compileFailures;
cases.forEach((c, i) => {
  const got = outcome[i];
  // Some programs end the script on purpose (a recursion limit): all their lines may be there.
  if (options.allowTimeout && got[got.length - 1] === "#timeout") got.pop();
  if (options.noFscommands) got.splice(0, got.length, ...got.filter((line) => !line.startsWith("fscommand ")));
  const same = got.length === c.expected.length &&
    got.every((line, j) => line === c.expected[j] || accepted.has([c.name, line, c.expected[j]].join(" | ")));
  if (same) {
    console.log(`ok   ${c.name}`);
  } else {
    failures++;
    const whose = options.against ? "ours" : "expected";
    console.log(`FAIL ${c.name}\n  ${whose}:\n${c.expected.map((l) => "    " + l).join("\n")}\n  ${options.against ? "Ruffle" : "got"}:\n${got.map((l) => "    " + l).join("\n")}`);
  }
});
console.log(`${cases.length + compileFailures - failures} of ${cases.length + compileFailures} cases match`);
process.exit(failures ? 1 : 0);
