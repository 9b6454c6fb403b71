// Property reads and writes on objects and arrays, by fixed and by computed names.
var t0 = getTimer();
function run() {
  var o = {x: 0, y: 0, name: "o"};
  for (var i = 0; i < 50000; i++) {
    o.x = o.x + 1;
    o.y += o.x & 7;
  }
  var bag = {}, total = 0;
  for (var j = 0; j < 50000; j++) bag["k" + (j % 64)] = j;
  for (var j2 = 0; j2 < 50000; j2++) total += bag["k" + (j2 % 64)];
  var list = [];
  for (var n = 0; n < 20000; n++) list.push(n * 2);
  var sum = 0;
  for (var m = 0; m < list.length; m++) sum += list[m];
  for (var q = 0; q < 20000; q++) list[q] = list[q] + 1;
  return o.x + " " + o.y + " " + total + " " + sum + " " + list[19999];
}
trace("result " + run());
trace("ms " + (getTimer() - t0));
trace("#done");
