// Functions: closures keeping their own state, recursion, arguments, this in methods,
// constructors with prototypes, instanceof, function values called through expressions,
// super calls of the constructor and of a method.
//> 1 2 1 3
//> 120
//> 3 c undefined
//> Rex says woof
//> true false true
//> 42
//> inner sees 7
//> 9
//> 2 f
//> Rex the puppy says woof!
function counter() {
  var n = 0;
  return function () { return ++n; };
}
var c1 = counter(), c2 = counter();
var x1 = c1(), x2 = c1(), y1 = c2(), x3 = c1();
trace(x1 + " " + x2 + " " + y1 + " " + x3);
function fact(n) { return n <= 1 ? 1 : n * fact(n - 1); }
trace(fact(5));
function count() { return arguments.length + " " + arguments[2] + " " + arguments[5]; }
trace(count("a", "b", "c"));
function Dog(name) { this.name = name; }
Dog.prototype.speak = function (word) { return this.name + " says " + word; };
var rex = new Dog("Rex");
trace(rex.speak("woof"));
trace((rex instanceof Dog) + " " + ({} instanceof Dog) + " " + (rex instanceof Object));
var table = {f: function () { return 42; }};
var pick = [table.f];
trace(pick[0]());
function outer() {
  var seen = 7;
  function inner() { return "inner sees " + seen; }
  return inner();
}
trace(outer());
function sum(a, b, c) { var t = a + b; t += c; return t; }
trace(sum(2, 3, 4));
function many() {
  var list = [];
  for (var i = 0; i < 2; i++) list.push(function () { return i; });
  return list.length + " " + typeof list[0] + "".substr(0, 0);
}
trace(many().substr(0, 1) + " " + (typeof many).charAt(0));
function Puppy(name) { super(name + " the puppy"); }
Puppy.prototype = new Dog("");
Puppy.prototype.__constructor__ = Dog;
Puppy.prototype.speak = function (word) { return super.speak(word) + "!"; };
trace(new Puppy("Rex").speak("woof"));
trace("#done");
