// try/catch/finally and throw: values and objects thrown, nested handlers, rethrowing,
// finally after a return, errors thrown by a called function.
//> caught 1
//> caught boom in f
//> finally
//> inner inner-error
//> outer rethrown
//> returned from try, cleanup ran
//> Error message
try { throw 1; } catch (e) { trace("caught " + e); }
function f() { throw {message: "boom in f"}; }
try { f(); trace("not here"); } catch (err) { trace("caught " + err.message); } finally { trace("finally"); }
try {
  try { throw "inner-error"; } catch (e1) { trace("inner " + e1); throw "rethrown"; }
} catch (e2) { trace("outer " + e2); }
var cleaned = false;
function g() { try { return "returned from try"; } finally { cleaned = true; } }
var r = g();
trace(r + (cleaned ? ", cleanup ran" : ", no cleanup"));
try { throw new Error("message"); } catch (e3) { trace((e3 instanceof Error ? "Error " : "other ") + e3.message); }
trace("#done");
