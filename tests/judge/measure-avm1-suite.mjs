// A measure of the compiler, run by hand in a session, never by CI or the set-up scripts:
// compiles the ActionScript sources of Ruffle's AVM1 tests (test.as, from a local checkout)
// with as2c and compares their traces in Ruffle with the original player's (output.txt).
// Nothing of that checkout is copied into this repository: the cases go to a temporary folder.
//
//   node measure-avm1-suite.mjs --checkout DIR --as2c PATH --ruffle DIR [--filter TEXT]
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";

const args = process.argv.slice(2);
const option = (name) => { const i = args.indexOf(name); return i >= 0 ? args[i + 1] : undefined; };
const checkout = option("--checkout"), as2c = option("--as2c"), ruffle = option("--ruffle"), filter = option("--filter") ?? "";
const git = (...a) => spawnSync("git", ["-C", checkout, ...a], { encoding: "buffer", maxBuffer: 1 << 26 });
const listing = git("ls-tree", "-r", "--name-only", "HEAD", "tests/tests/swfs/avm1").stdout.toString().split("\n");
const folders = listing.filter((f) => f.endsWith("/test.as")).map((f) => path.dirname(f)).filter((f) => f.includes(filter));

const work = fs.mkdtempSync(path.join(os.tmpdir(), "lumo-avm1-measure-"));
const cases = [];
for (const folder of folders) {
  const output = git("show", `HEAD:${folder}/output.txt`);
  const swf = git("show", `HEAD:${folder}/test.swf`);
  if (output.status !== 0 || swf.status !== 0 || swf.stdout.length < 4) continue;
  const version = swf.stdout[3];
  const expected = output.stdout.toString("utf8").replace(/\r/g, "").replace(/\n$/, "").split("\n");
  const source = git("show", `HEAD:${folder}/test.as`).stdout.toString("utf8");
  const name = folder.split("/").pop();
  const file = path.join(work, `${name}.as`);
  fs.writeFileSync(file, `//! swf-version ${Math.min(Math.max(version, 5), 10)}\n` +
    expected.map((l) => "//> " + l).join("\n") + "\n" + source + "\ntrace(\"#done\");\n");
  cases.push(file);
}

const judge = path.join(path.dirname(fileURLToPath(import.meta.url)), "judge.mjs");
let matched = 0, failedCompile = 0, total = 0;
const reasons = {};
for (let i = 0; i < cases.length; i += 40) {
  const run = spawnSync("node", [judge, "--allow-timeout", "--no-fscommands", "--as2c", as2c, "--ruffle", ruffle, ...cases.slice(i, i + 40)], { encoding: "utf8", maxBuffer: 1 << 26 });
  for (const line of run.stdout.split("\n")) {
    if (line.startsWith("ok   ")) { matched++; total++; }
    else if (line.startsWith("FAIL ") && line.includes("as2c failed")) { failedCompile++; total++; }
    else if (line.startsWith("FAIL ")) { total++; console.log(line); }
    const m = /error: (.*)$/.exec(line);
    if (m) { const key = m[1].replace(/'[^']*'/g, "'…'").slice(0, 60); reasons[key] = (reasons[key] ?? 0) + 1; }
  }
}
fs.rmSync(work, { recursive: true, force: true });
console.log(`\n${matched} of ${total} tests match; ${failedCompile} not accepted by as2c; ${total - matched - failedCompile} differ`);
console.log("most common reasons for not compiling:");
for (const [reason, count] of Object.entries(reasons).sort((a, b) => b[1] - a[1]).slice(0, 12)) console.log(`  ${count}  ${reason}`);
