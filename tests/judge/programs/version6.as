//! swf-version 6
// At SWF 6 names are not case-sensitive: a variable, a function and the trace intrinsic
// are found whatever the case; functions are DefineFunction and closures still work.
//> 5 5
//> called
//> 1 2
//> 3
var Count = 5;
trace(count + " " + COUNT);
function Hello() { return "called"; }
TRACE(hello());
function make() { var n = 0; return function () { n++; return n; }; }
var m = make();
var first = m();
trace(first + " " + m());
var obj = {v: 1};
obj.v += 2;
trace(obj.V);
trace("#done");
