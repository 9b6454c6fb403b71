// Operators: arithmetic and concatenation, comparisons, bitwise, unary, logical
// short-circuit (equal NaNs compare equal in AVM1), the conditional, compound assignment and ++/-- on every kind of target.
//> 7 1 -1 2.5 1
//> 12 3a a3
//> true false true false
//> true true false false
//> true undefined true
//> 11 14 8 -16 -2 2147483646 -6
//> number string boolean null undefined function movieclip
//> -5 5 false true
//> left
//> right
//> never
//> 0 b
//> yes no
//> 15 5 50 1 1 a!
//> 1 2 3 4
//> 10 11 12 13 11
//> 5 6 6 7
//> 3 4 4
var a = 3, b = 4;
trace((a + b) + " " + (b - a) + " " + (a - b) + " " + (10 / 4) + " " + (b % a));
trace(a * b + " " + a + "a" + " " + "a" + a);
trace((a < b) + " " + (a > b) + " " + (a <= 3) + " " + (a >= 4));
trace((a == 3) + " " + ("3" == a) + " " + ("3" === a) + " " + (a != 3));
var nan = 0 / 0;
trace((nan == nan) + " " + (nan < 1) + " " + (a !== "3"));
trace((a | b << 1) + " " + (a * 4 | 2) + " " + (12 & 9 | 0) + " " + (-64 >> 2) + " " + (~1) + " " + (-4 >>> 1) + " " + (a ^ -7));
trace(typeof 1 + " " + typeof "s" + " " + typeof true + " " + typeof null + " " + typeof undefined + " " + typeof trace2 + " " + typeof this);
function trace2() {}
trace(-5 + " " + -(-5) + " " + !a + " " + !!a);
function say(t, v) { trace(t); return v; }
var r = say("left", 0) || say("right", 1);
var r2 = say("never", 0) && say("no", 1);
trace(r2 + " " + (null || "b"));
trace((a > 2 ? "yes" : "no") + " " + (a > 5 ? "yes" : "no"));
var c = 10;
c += 5;
var d = c;
c -= 10; var e = c;
c *= 10; var f = c;
c /= 5; var g = c;
c %= 3;
var s = "a"; s += "!";
trace(d + " " + e + " " + f + " " + c * 10 / 10 + " " + c + " " + s);
var i = 1;
var j = i++;
var k = ++i;
trace(j + " " + (i - 1) + " " + k + " " + (i + 1));
var o = {n: 10};
var p = o.n++;
var q = ++o.n;
trace(p + " " + (o.n - 1) + " " + q + " " + (o.n + 1) + " " + --o.n);
var arr = [5, 6];
var key = 0;
var u = arr[key]++;
var v = arr[0];
arr[key + 1] += 1;
trace(u + " " + v + " " + arr[0] + " " + arr[1]);
var obj = {};
obj.x = obj.y = 3;
var z = (obj["w"] = 4);
trace(obj.x + " " + z + " " + obj.w);
trace("#done");
