// Calls of built-in functions: parseInt, unescape/escape, String and Number conversions,
// setInterval and clearInterval with a callback that ends the case.
//> 255 12 NaN
//> a b&c %20
//> 3.5 true
//> tick 1
//> tick 2
trace(parseInt("ff", 16) + " " + parseInt("12px") + " " + parseInt("x"));
trace(unescape("a%20b%26c") + " " + escape(" "));
trace(Number("3.5") + " " + (String(true) == "true"));
var ticks = 0;
var id = setInterval(function () {
  ticks++;
  trace("tick " + ticks);
  if (ticks == 2) {
    clearInterval(id);
    trace("#done");
  }
}, 10);
