// The stack and registers under pressure: return from nested for..in loops through a switch
// and a try block, compound assignment and ++ on computed members with side effects, member
// chains, arguments in registers, closures sharing a loop variable, locals hiding built-ins.
//> found y at 1
//> 3 4 [2,5]
//> 10 11 12
//> 2 3
//> even odd even
//> a3 b3 a2
//> ok 6
//> f 1
//> false 7
function search(o, list) {
  for (var i = 0; i < list.length; i++) {
    for (var k in o) {
      switch (k) {
        case "skip": continue;
        default:
          if (k == list[i]) return "found " + k + " at " + i;
      }
    }
  }
  return "none";
}
trace(search({x: 1, skip: 2, y: 3}, ["q", "y"]));
var arr = [1, 2, 3];
var n = 0;
function idx() { n++; return n; }
arr[idx()] += 2;  // the index is computed once: arr[1] becomes 4
var old = arr[idx()]++;  // arr[2] becomes 4, old is 3
trace(old + " " + arr[1] + " [" + arr[2 - 2 + 0 + 0] * 2 + "," + (arr[2] + 1) + "]");
var o = {a: {b: {c: 10}}};
var v1 = o.a.b.c++;
var v2 = o.a.b.c;
var v3 = ++o.a.b.c;
trace(v1 + " " + v2 + " " + v3);
function args() { var t = arguments[0]; t += arguments.length; return t; }
trace(args(1) + " " + args(1, 2));
var out = [];
for (var j = 0; j < 3; j++) out.push(j % 2 == 0 ? "even" : "odd");
trace(out.join(" "));
function mk() {
  var fs = [];
  for (var i = 1; i <= 2; i++) {
    var f = function (p) { return p + i; };
    fs.push(f);
  }
  return fs;
}
var made = mk();
trace(made[0]("a") + " " + made[1]("b") + " " + "a2");
function fin(o) {
  var total = 0;
  for (var k in o) {
    try {
      total += o[k];
      if (total > 5) return "ok " + total;
    } finally {
      total += 0;
    }
  }
  return "no";
}
trace(fin({a: 1, b: 2, c: 3}));
function shadow() { var trace2 = "f"; var x = 1; return trace2 + " " + x; }
trace(shadow());
function del() { var loc = 7; var r = delete loc; return r + " " + loc; }
trace(del());
trace("#done");
