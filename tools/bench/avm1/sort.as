// Array sorting: by a comparison function, numerically and as text.
var t0 = getTimer();
function run() {
  var seed = 12345, a = [], b = [], c = [];
  for (var i = 0; i < 3000; i++) {
    seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF;
    a.push(seed % 100000);
    b.push(seed % 9973);
    c.push("item" + (seed % 5000));
  }
  a.sort(function(x, y) { return x - y; });
  b.sort(Array.NUMERIC | Array.DESCENDING);
  c.sort();
  return a[0] + " " + a[2999] + " " + b[0] + " " + b[2999] + " " + c[0] + " " + c[2999];
}
trace("result " + run());
trace("ms " + (getTimer() - t0));
trace("#done");
