// Control flow: if/else chains, while, do..while, for with break and continue, nested
// loops, for..in left by break and by return, switch with fall-through and a middle default.
//> small medium large
//> 0 1 2
//> 3 2 1
//> 1 3 7 9
//> 0,0 1,0 1,1 2,0 2,1 2,2
//> one
//> found b
//> stack ok 3
//> two three
//> default four
//> fruit
function size(n) { if (n < 10) return "small"; else if (n < 100) return "medium"; else return "large"; }
trace(size(1) + " " + size(50) + " " + size(500));
var i = 0, out = "";
while (i < 3) { out += (out == "" ? "" : " ") + i; i++; }
trace(out);
out = ""; i = 3;
do { out += (out == "" ? "" : " ") + i; } while (--i > 0);
trace(out);
out = "";
for (var k = 0; k < 20; k++) {
  if (k % 2 == 0) continue;
  if (k == 5) continue;
  if (k > 9) break;
  out += (out == "" ? "" : " ") + k;
}
trace(out);
out = "";
for (var a = 0; a < 3; a++) for (var b = 0; b <= a; b++) out += (out == "" ? "" : " ") + a + "," + b;
trace(out);
var seen = 0;
for (var p in {x: 1, y: 2, z: 3}) { seen++; break; }
trace(seen == 1 ? "one" : "many");
function find(o, wanted) {
  for (var name in o) {
    if (o[name] == wanted) return "found " + name;
  }
  return "none";
}
trace(find({a: 1, b: 2, c: 3}, 2));
var depth = [1, 2, 3];
for (var t = 0; t < 3; t++) { for (var q in depth) { if (q == "1") break; } }
trace("stack ok " + depth.length);
function sw(v) {
  var r = "";
  switch (v) {
    case 1: r += "one "; break;
    case 2: r += "two ";
    case 3: r += "three"; break;
    default: r += "default ";
    case 4: r += "four";
  }
  return r;
}
trace(sw(2));
trace(sw(9));
switch ("apple") { case "apple": trace("fruit"); break; case "carrot": trace("vegetable"); }
trace("#done");
