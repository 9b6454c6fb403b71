// Loops and arithmetic on timeline variables and on a function's locals.
var t0 = getTimer();
var s = 0;
for (var i = 0; i < 300000; i++) {
  s += i % 7;
}
function mix(n) {
  var h = 0, f = 1.5;
  for (var j = 0; j < n; j++) {
    h = (h * 31 + j) & 0xFFFF;
    f = f * 1.000001 + (j >> 3) - (h ^ j) / 1024;
  }
  return h + Math.floor(f);
}
var r = mix(300000);
trace("result " + s + " " + r);
trace("ms " + (getTimer() - t0));
trace("#done");
