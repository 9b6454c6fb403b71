// Function and method calls: recursion, closures and methods found on a prototype.
var t0 = getTimer();
function fib(n) {
  return n < 2 ? n : fib(n - 1) + fib(n - 2);
}
function counter() {
  var count = 0;
  return function(step) { count += step; return count; };
}
function Vec(x, y) { this.x = x; this.y = y; }
Vec.prototype.dot = function(o) { return this.x * o.x + this.y * o.y; };
Vec.prototype.scale = function(k) { this.x *= k; this.y *= k; };
var f = fib(20);
var next = counter(), c = 0;
for (var i = 0; i < 50000; i++) c = next(i & 3);
var a = new Vec(1, 2), b = new Vec(3, 4), d = 0;
for (var k = 0; k < 50000; k++) {
  d += a.dot(b);
  a.scale(1);
}
trace("result " + f + " " + c + " " + d);
trace("ms " + (getTimer() - t0));
trace("#done");
