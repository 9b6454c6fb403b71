// String building and the String methods: substr, indexOf, split, charCodeAt.
var t0 = getTimer();
function run() {
  var s = "";
  for (var i = 0; i < 5000; i++) s += String.fromCharCode(97 + i % 26) + (i % 10);
  var codes = 0;
  for (var j = 0; j < s.length; j++) codes += s.charCodeAt(j);
  var found = 0;
  for (var k = 0; k < 2000; k++) found += s.indexOf("z" + (k % 10), k);
  var pieces = 0;
  for (var n = 0; n < 2000; n++) pieces += s.substr(n, 8).length + s.substr(n * 3 % 9000, 3).charCodeAt(1);
  var words = "alpha,beta,gamma,delta,epsilon,zeta,eta,theta";
  var parts = 0;
  for (var p = 0; p < 2000; p++) parts += words.split(",").length;
  return s.length + " " + codes + " " + found + " " + pieces + " " + parts;
}
trace("result " + run());
trace("ms " + (getTimer() - t0));
trace("#done");
