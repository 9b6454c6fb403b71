// Programs compiled by as2c run in the interpreter; their trace lines are what the player
// prints for them.
#include "Compiler.h"
#include "Machine.h"
#include "SwfMovie.h"
#include "SwfWriter.h"
#include "TimelineRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingHost : public avm1::Host {
 public:
  std::vector<std::string> lines;
  std::vector<std::pair<std::string, std::string>> urls;
  std::vector<std::string> calls;
  void trace(const std::string& line) override { lines.push_back(line); }
  void getUrl(const std::string& url, const std::string& target) override { urls.emplace_back(url, target); }
  avm1::Value externalCall(const std::string& name, const avm1::Args& args) override {
    calls.push_back(name + "/" + std::to_string(args.size()));
    return avm1::Value("answer:" + name);
  }
};

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

std::string run(const std::string& source, int version, RecordingHost& host, avm1::Machine** keep = nullptr) {
  static std::vector<std::unique_ptr<avm1::Machine>> machines;
  // as2c writes SWF 5 and later; a SWF 4 case runs SWF 5 code under SWF 4 conversions.
  auto code = std::make_shared<avm1::Code>(avm1::Code{as2c::compileActions(source, std::max(version, 5)), version});
  machines.push_back(std::make_unique<avm1::Machine>(version, host));
  avm1::Machine& m = *machines.back();
  m.runActions(code, m.root());
  if (keep) *keep = &m;
  return joined(host.lines);
}

std::string run(const std::string& source, int version = 8) {
  RecordingHost host;
  return run(source, version, host);
}

struct Case {
  const char* name;
  int version;
  const char* source;
  const char* trace;
};

const Case kCases[] = {
    {"arithmetic and conversions", 8,
     "trace(1 + 2 * 3); trace(7 / 2); trace(7 % 3); trace(1 / 0); trace(-1 / 0); trace(0 / 0);"
     "trace(\"5\" * \"4\"); trace(\"a\" + 1); trace(1 + true); trace(0.1 + 0.2); trace(1e21);"
     "trace(0x10 | 1); trace(-1 >>> 28); trace(1 << 31); trace(Number(\"  12\")); trace(Number(\"  12 \"));"
     "trace(Number(\"\"));"
     "trace(Number(\"0x1f\")); trace(Number(\"1e3\")); trace(Number(\"inf\"));",
     "7\n3.5\n1\nInfinity\n-Infinity\nNaN\n20\na1\n2\n0.3\n1e+21\n17\n15\n-2147483648\n12\nNaN\nNaN\n31\n1000\nNaN\n"},
    {"undefined converts by version", 6,
     "var u; trace(u + 1); trace(\"[\" + u + \"]\"); trace(typeof u);",
     "1\n[]\nundefined\n"},
    {"undefined converts by version", 7,
     "var u; trace(u + 1); trace(\"[\" + u + \"]\"); trace(typeof u);",
     "NaN\n[undefined]\nundefined\n"},
    {"SWF 4 prints booleans as 1 and 0 and reads text leniently", 4,
     "trace(1 < 2); trace(!1); trace(\"abc\" * 1); trace(\"12abc\" - 0); trace(1 / 0); trace({} * 1);",
     "1\n0\n0\n12\n#ERROR#\n0\n"},
    {"hexadecimal and octal text from SWF 6", 6,
     "trace(Number(\"0x1F\")); trace(Number(\"017\")); trace(Number(\"-0x10\")); trace(Number(\"019\"));",
     "31\n15\nNaN\n19\n"},
    {"hexadecimal and octal text from SWF 6", 5,
     "trace(Number(\"0x1F\")); trace(Number(\"017\"));", "NaN\n17\n"},
    {"numbers print with fifteen digits", 8,
     "trace(0.00001); trace(0.000001); trace(1e15); trace(123456789012345680); trace(-1.5e-7);"
     "trace(1/3); trace(4294967296 * 2);",
     "0.00001\n1e-6\n1e+15\n1.23456789012346e+17\n-1.5e-7\n0.333333333333333\n8589934592\n"},
    {"objects convert through valueOf, and through toString only for text", 8,
     "var o = {valueOf: function() { trace(\"v\"); return 2; }, toString: function() { trace(\"s\"); return \"T\"; }};"
     "trace(o * 3); trace(o + 1); trace(String(o)); var p = {toString: function() { return 5; }};"
     "trace(\"\" + p); trace({} + 1); trace({} < {});",
     "v\n6\nv\n3\ns\nT\n[type Object]\nNaN\nfalse\n"},
    {"SWF 5 equality asks valueOf of both sides", 5,
     "var a = {valueOf: function() { trace(\"a\"); return 1; }}; var b = {valueOf: function() { trace(\"b\"); return 1; }};"
     "trace(a == b); trace(a == 1);",
     "b\na\ntrue\na\ntrue\n"},
    {"arguments in order, arguments.caller, and super in methods and constructors", 8,
     "function A(n) { this.n = n; } A.prototype.who = function() { return \"A\" + this.n; };"
     "function B(n) { super(n * 2); } B.prototype = new A(0);"
     "B.prototype.who = function() { return \"B\" + super.who(); };"
     "var b = new B(3); trace(b.who()); trace(b instanceof A);"
     "function list() { return arguments.join(\",\") + \" \" + (arguments.caller === null); } trace(list(1, 2, 3));"
     "function outer() { return inner(); } function inner() { return arguments.caller == outer; } trace(outer());",
     "BA6\ntrue\n1,2,3 true\ntrue\n"},
    {"a runaway recursion stops the frame's whole script", 8,
     "function r(n) { return r(n + 1); } trace(\"before\"); r(0); trace(\"after\");", "before\n"},
    {"constructors called as functions convert", 8,
     "trace(typeof Number(\"5\")); trace(typeof new Number(5)); trace(typeof String(1));"
     "trace(typeof Object(\"s\")); trace(Object(\"st\").length);",
     "number\nobject\nstring\nobject\n2\n"},
    {"escape, unescape, parseInt and parseFloat", 8,
     "trace(escape(\"a b&c/\\u00e9\")); trace(unescape(\"a%20b+c%zz%4\")); trace(parseInt()); trace(parseInt(\"0x1F\"));"
     "trace(parseInt(\"017\")); trace(parseInt(\"-0x10\")); trace(parseInt(\"100\", 0)); trace(parseInt(\"z\", 36));"
     "trace(parseFloat(\"1e4294967297\")); trace(parseFloat(\"1.5.5x\")); trace(parseFloat(\"x\"));",
     "a%20b%26c%2F%C3%A9\na b cz\nundefined\n31\n15\nNaN\nNaN\n35\n10\n1.55\nNaN\n"},
    {"Error and AsBroadcaster", 8,
     "var e = new Error(\"bad\"); trace(e.message + \" \" + e.name + \" \" + e); trace(new Error().message);"
     "try { throw new Error(\"thrown\"); } catch (x) { trace(x instanceof Error); trace(x); }"
     "var b = {}; AsBroadcaster.initialize(b); var l = {onPing: function(v) { trace(\"ping \" + v); }};"
     "b.addListener(l); b.addListener(l); b.broadcastMessage(\"onPing\", 1); trace(b._listeners.length);"
     "b.removeListener(l); trace(b.broadcastMessage(\"onPing\", 2)); trace(b._listeners.length);",
     "bad Error bad\nError\ntrue\nthrown\nping 1\n1\ntrue\n0\n"},
    {"for..in gives the prototype's names, then the object's own newest first", 8,
     "var p = {a: 1}; p.b = 2; var o = {}; o.__proto__ = p; o.c = 3; o.d = 4; o.a = 5;"
     "var s = \"\"; for (var k in o) s += k; trace(s);"
     "delete o.c; o.c = 6; s = \"\"; for (var k in o) s += k; trace(s);",
     "badc\nbcad\n"},
    {"arrays work on their own elements, holes and all, and sort as the player sorts", 8,
     "var a = [1, 2, 3]; a.length = 5; trace(a.length + \" \" + a); a[9] = 0; trace(a.length);"
     "var b = [3, 1, 2]; b.reverse(); trace(b); trace(b.shift() + \" \" + b); b.unshift(7, 8); trace(b);"
     "trace([5, 1, 10].sort(Array.NUMERIC)); trace([5, 1, 10].sort());"
     "trace([\"b\", \"A\", \"c\"].sort(Array.CASEINSENSITIVE | Array.DESCENDING));"
     "trace([3, 1, 2].sort(Array.RETURNINDEXEDARRAY)); trace([1, 1].sort(Array.UNIQUESORT));"
     "var people = [{n: \"x\", age: 30}, {n: \"y\", age: 4}]; people.sortOn(\"age\", Array.NUMERIC); trace(people[0].n);"
     "var c = [1, 2, 3, 4]; trace(c.splice(1, 2, \"a\", \"b\", \"c\") + \" \" + c);"
     "var o = {}; o.__proto__ = [9, 9]; trace(\"[\" + Array.prototype.join.call(o) + \"]\");"
     "var big = []; big[2147483647] = 1; trace(big.length);",
     "5 1,2,3,undefined,undefined\n10\n2,1,3\n2 1,3\n7,8,1,3\n1,5,10\n1,10,5\nc,b,A\n1,2,0\n0\ny\n"
     "2,3 1,a,b,c,4\n[]\n-2147483648\n"},
    {"watch, unwatch, and new variables from functions land on the timeline", 8,
     "var o = {}; trace(o.watch(\"x\", function(name, was, now, extra) {"
     " trace(name + \" \" + was + \" \" + now + \" \" + extra); return now * 2; }, \"d\"));"
     "o.x = 1; o.x = 2; trace(o.x); trace(o.unwatch(\"x\")); o.x = 5; trace(o.x); trace(o.watch(\"y\"));"
     "function f() { made = 7; var local = 1; } f(); trace(made); trace(typeof local);"
     "var deep = {}; deep.watch(\"v\", function(n, a, b) { deep.v = b + 1; return b; }); deep.v = 1; trace(deep.v);",
     "true\nx undefined 1 d\nx 2 2 d\n4\ntrue\n5\nfalse\n7\nundefined\n1\n"},
    {"strings count UTF-16 units and take the player's negative and missing arguments", 8,
     "var s = \"h\\u00e9llo\"; trace(s.length); trace(s.charAt(1)); trace(s.charCodeAt(1)); trace(s.substr(-3, 2));"
     "trace(s.slice(-2)); trace(s.substring(3, -1)); trace(s.substr()); trace(\"a,b,c\".split(\",\", 2));"
     "trace(String.fromCharCode(65, 0, 66)); var w = new String(\"xy\"); trace(w.hasOwnProperty(\"length\"));"
     "trace(\"abc\".indexOf(\"c\", -5)); trace(\"abcabc\".lastIndexOf(\"b\", 2)); trace(String.fromCharCode(55296).length);",
     "5\n\u00e9\n233\nll\nlo\nh\u00e9l\nundefined\na,b\nA\ntrue\n2\n1\n1\n"},
    {"a prototype cycle stops the whole script", 8,
     "var a = {}; a.__proto__ = a; trace(\"before\"); trace(a.missing); trace(\"after\");", "before\n"},
    {"Math converts two arguments and checks arity up to SWF 6", 6,
     "trace(Math.max(1, 5, 9)); trace(Math.min(1)); trace(Math.max()); trace(Math.pow(1)); trace(Math.abs());",
     "5\nNaN\n-Infinity\n1\nNaN\n"},
    {"the empty name is never written; hasOwnProperty needs a name", 8,
     "var o = {}; o[\"\"] = 1; o.undefined = 2; trace(o.hasOwnProperty(\"\")); trace(o.hasOwnProperty());"
     "trace(o.hasOwnProperty(undefined));",
     "false\nfalse\ntrue\n"},
    {"getters and setters reached through super run on this, from the level above theirs", 8,
     "function A() {} A.prototype.addProperty(\"p\", function() { return \"A:\" + this.tag; },"
     " function(v) { trace(\"A set \" + v + \" on \" + this.tag); });"
     "function B() {} B.prototype = new A();"
     "B.prototype.addProperty(\"p\", function() { return \"B>\" + super.p; }, function(v) { super.p = v; });"
     "var b = new B(); b.tag = \"b\"; trace(b.p); b.p = 7;",
     "B>A:b\nA set 7 on b\n"},
    {"ASSetPropFlags' version bits hide a property from the movies of some versions", 6,
     "var o = {p: 1, q: 2}; ASSetPropFlags(o, \"p\", 256); ASSetPropFlags(o, \"q\", 128); trace(o.p); trace(o.q);"
     "var s = \"\"; for (var k in o) s += k; trace(s); ASSetPropFlags(o, \"p\", 0, 256); trace(o.p);",
     "undefined\n2\nq\n1\n"},
    {"a function's prototype cannot be deleted; _root is a MovieClip", 8,
     "function F() {} delete F.prototype; trace(typeof F.prototype); trace(_root instanceof MovieClip);"
     "MovieClip.prototype.hello = function() { return \"hi\"; }; trace(_root.hello());",
     "object\ntrue\nhi\n"},
    {"Object() and Function() called as functions: a bare object, or their argument back", 8,
     "trace(Object()); trace(typeof Object()); trace(new Object());"
     "function p() {} trace(Function(p) === p); trace(Function(\"x\")); trace(Function());",
     "[type Object]\nobject\n[object Object]\ntrue\nx\n[type Object]\n"},
    {"call and apply box their this; super converts through the methods above it", 8,
     "function who() { return typeof this; } trace(who.call(\"s\")); trace(who.apply(null) == typeof _global);"
     "function A() {} A.prototype.toString = function() { return \"A!\"; }; function B() {} B.prototype = new A();"
     "B.prototype.show = function() { return \"\" + super; }; trace(new B().show());",
     "object\ntrue\nA!\n"},
    {"functions in a SWF 4 movie run under SWF 5 rules", 4,
     "function f() { trace(1 == 1); trace(4 / 0); } f(); trace(1 == 1); trace(4 / 0);",
     "true\nInfinity\n1\n#ERROR#\n"},
    {"isNaN and isFinite without an argument", 6,
     "trace(isNaN()); trace(isFinite()); trace(isFinite(undefined));", "true\nfalse\ntrue\n"},
    {"conversions never ask __resolve for valueOf or toString", 8,
     "var o = {}; o.__resolve = function(n) { trace(\"resolve \" + n); return function() { return 5; }; };"
     "o.__proto__ = null; trace(o * 1); trace(o.other());",
     "NaN\nresolve other\n5\n"},
    {"addProperty wants a function or null as setter and keeps what was stored", 8,
     "var o = {}; trace(o.addProperty(\"p\", function() { return 1; }));"
     "trace(o.addProperty(\"p\", function() { return 1; }, null));"
     "var a = new Array(3); a.addProperty(\"length\", function() { return 10; }, null); trace(a.length); trace(a.push(1));",
     "false\ntrue\n10\n4\n"},
    {"names ignore case up to SWF 6", 6, "var Abc = 1; trace(abc); trace(ABC);", "1\n1\n"},
    {"names keep case from SWF 7", 7, "var Abc = 1; trace(abc); trace(Abc);", "undefined\n1\n"},
    {"equality and comparison", 8,
     "trace(1 == \"1\"); trace(1 === \"1\"); trace(null == undefined); trace(null === undefined);"
     "trace(\"b\" > \"a\"); trace(\"10\" < \"9\"); trace(10 < \"9\"); trace(NaN == NaN); trace(true == 1);",
     "true\nfalse\ntrue\nfalse\ntrue\ntrue\nfalse\ntrue\ntrue\n"},
    {"closures keep their scope", 8,
     "function counter() { var n = 0; return function() { n++; return n; }; }"
     "var a = counter(); var b = counter(); a(); a(); trace(a()); trace(b());",
     "3\n1\n"},
    {"recursion and arguments", 8,
     "function fact(n) { if (n <= 1) return 1; return n * fact(n - 1); } trace(fact(10));"
     "function count() { return arguments.length; } trace(count(1, 2, 3));",
     "3628800\n3\n"},
    {"prototypes, __proto__ and instanceof", 8,
     "function Animal(name) { this.name = name; }"
     "Animal.prototype.speak = function() { return this.name + \" speaks\"; };"
     "var a = new Animal(\"cat\"); trace(a.speak()); trace(a instanceof Animal);"
     "trace(a.__proto__ == Animal.prototype); var o = {}; o.__proto__ = a; trace(o.speak());",
     "cat speaks\ntrue\ntrue\ncat speaks\n"},
    {"getters and setters with addProperty", 8,
     "var o = {}; var store = 1;"
     "o.addProperty(\"x\", function() { return store * 10; }, function(v) { store = v; });"
     "trace(o.x); o.x = 5; trace(o.x); trace(store);"
     "var r = {}; r.addProperty(\"ro\", function() { return 42; }, null); r.ro = 1; trace(r.ro);",
     "10\n50\n5\n42\n"},
    {"__resolve answers missing names", 8,
     "var o = {}; o.__resolve = function(name) { return \"no \" + name; };"
     "o.here = 1; trace(o.here); trace(o.missing);",
     "1\nno missing\n"},
    {"ASSetPropFlags hides and protects", 8,
     "var o = {a: 1, b: 2, c: 3}; ASSetPropFlags(o, \"a,b\", 1);"
     "var seen = \"\"; for (var k in o) seen += k; trace(seen);"
     "ASSetPropFlags(o, [\"c\"], 4); o.c = 9; trace(o.c);"
     "ASSetPropFlags(o, null, 2); delete o.c; trace(o.c);",
     "c\n3\n3\n"},
    {"arrays", 8,
     "var a = [3, 1, 2]; a.push(4); trace(a.length); trace(a); a.sort(); trace(a.join(\"-\"));"
     "trace(a.pop()); trace(a.slice(1)); a.length = 1; trace(a); a[4] = \"x\"; trace(a.length);"
     "trace(a.concat([7, 8], 9)); trace(a.reverse().toString()); var b = new Array(3); trace(b.length);"
     "trace([1, 2, 3].splice(1, 1));",
     "4\n3,1,2,4\n1-2-3-4\n4\n2,3\n1\n5\n1,undefined,undefined,undefined,x,7,8,9\n"
     "x,undefined,undefined,undefined,1\n3\n2\n"},
    {"elements read and written by number keep what names do", 8,
     "var a = [10, 20, 30]; ASSetPropFlags(a, \"1\", 4); a[1] = 99; trace(a[1]);"
     "a.watch(\"2\", function(n, was, now) { return now * 2; }); a[2] = 5; trace(a[2]);"
     "a.addProperty(\"0\", function() { return \"got\"; }, function(v) { trace(\"set \" + v); }); a[0] = 7; trace(a[0]);"
     "Array.prototype[5] = \"inherited\"; trace(a[5] + \" \" + a.length); delete Array.prototype[5];"
     "var b = []; b[0] = \"x\"; b[\"01\"] = \"y\"; trace(b[1] + \" \" + b[\"01\"] + \" \" + b.length);"
     "b[100000] = \"far\"; b[3] = \"near\"; b.push(\"end\"); trace(b.length + \" \" + b[3] + \" \" + b[100000] + \" \" + b[100001]);"
     "var c = [1, 2, 3, 4]; c.length = 2; c.push(9); trace(c + \" \" + c[2] + \" \" + c[3]);"
     "delete c[0]; c[0] = \"back\"; var s = \"\"; for (var k in c) s += k + \";\"; trace(s + \" \" + c);"
     "c.sort(); trace(c.join(\"|\")); c.reverse(); trace(c.join(\"|\"));"
     "var d = [5, 1, 4]; d[1.5] = \"half\"; d[-1] = \"minus\"; trace(d[1.5] + \" \" + d[-1] + \" \" + d.length);"
     "d.sort(Array.NUMERIC); trace(d.join(\",\") + \" \" + d[1.5]);",
     "20\n10\nset 7\ngot\ninherited 3\nundefined y 2\n100002 near far end\n1,2,9 9 undefined\n"
     "0;2;1; back,2,9\n2|9|back\nback|9|2\nhalf minus 3\n1,4,5 half\n"},
    {"an element hidden from the movie's version is written past by number", 6,
     "var a = [10, 20, 30]; ASSetPropFlags(a, \"1\", 256); trace(a[1]); a[1] = 7;"
     "trace(a[1] + \" \" + a.length + \" \" + a); a.push(40); trace(a + \" \" + a.length);",
     "undefined\n7 3 10,7,30\n10,7,30,40 4\n"},
    {"strings", 8,
     "var s = \"Hello, World\"; trace(s.length); trace(s.charAt(4)); trace(s.indexOf(\"o\"));"
     "trace(s.lastIndexOf(\"o\")); trace(s.substr(-5, 3)); trace(s.substring(5, 0)); trace(s.slice(-5));"
     "trace(s.split(\", \")[1]); trace(s.toUpperCase()); trace(s.charCodeAt(0));"
     "trace(String.fromCharCode(72, 105)); trace(\"a,b,,c\".split(\",\").length);",
     "12\no\n4\n8\nWor\nHello\nWorld\nWorld\nHELLO, WORLD\n72\nHi\n4\n"},
    {"numbers, booleans and Math", 8,
     "trace((255).toString(16)); trace(Math.max(1, 5, 3)); trace(Math.round(-2.5)); trace(Math.floor(2.7));"
     "trace(Math.pow(2, 10)); trace(parseInt(\"42px\")); trace(parseInt(\"ff\", 16)); trace(parseFloat(\"3.5e1x\"));"
     "trace(isNaN(\"x\")); trace(new Boolean(false) == false); trace(Boolean(\"\")); trace(typeof new Number(1));",
     "ff\n5\n-2\n2\n1024\n42\n255\n35\ntrue\ntrue\nfalse\nobject\n"},
    {"Function call and apply", 8,
     "function who(a, b) { return this.name + a + b; } var o = {name: \"o\"};"
     "trace(who.call(o, 1, 2)); trace(who.apply(o, [3, 4]));",
     "o12\no34\n"},
    {"exceptions", 8,
     "try { throw \"boom\"; } catch (e) { trace(\"caught \" + e); } finally { trace(\"finally\"); }"
     "function f() { try { return 1; } finally { trace(\"cleanup\"); } } trace(f());",
     "caught boom\nfinally\ncleanup\n1\n"},
    {"an uncaught throw becomes a trace line", 8, "trace(\"before\"); throw \"bad\"; trace(\"after\");",
     "before\nError: bad\n"},
    {"loops and enumeration", 8,
     "var total = 0; for (var i = 0; i < 100; i++) { if (i % 2) continue; total += i; } trace(total);"
     "var n = 0; while (true) { if (++n >= 5) break; } trace(n);"
     "var o = {x: 1}; var names = \"\"; for (var k in o) names += k; trace(names);",
     "2450\n5\nx\n"},
    {"System.capabilities.os is a Windows one", 8,
     "trace(System.capabilities.os.substr(0, 7));", "Windows\n"},
    {"_global and _root", 8,
     "_global.shared = 3; trace(shared); _root.onRoot = 4; trace(onRoot); trace(typeof _root);",
     "3\n4\nmovieclip\n"},
};

TEST(Avm1ProgramTest, ProgramsTraceWhatThePlayerPrints) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.name) + " (SWF " + std::to_string(c.version) + ")");
    EXPECT_EQ(run(c.source, c.version), c.trace);
  }
}

TEST(Avm1ProgramTest, FsCommandAndGetUrlGoToTheHost) {
  RecordingHost host;
  run("fscommand(\"quit\", \"\"); getURL(\"FSCommand:show\", \"arg\"); loadMovieNum(\"b.swf\", 0);", 8, host);
  ASSERT_EQ(host.urls.size(), 3u);
  EXPECT_EQ(host.urls[0].first, "FSCommand:quit");
  EXPECT_EQ(host.urls[1], std::make_pair(std::string("FSCommand:show"), std::string("arg")));
  EXPECT_EQ(host.urls[2], std::make_pair(std::string("b.swf"), std::string("_level0")));
}

TEST(Avm1ProgramTest, ExternalInterfaceFromSwf8Only) {
  RecordingHost host;
  avm1::Machine* m = nullptr;
  run("var ei = flash.external.ExternalInterface; trace(ei.call(\"out\", 1, 2));"
      "ei.addCallback(\"twice\", null, function(x) { return x * 2; });", 8, host, &m);
  EXPECT_EQ(joined(host.lines), "answer:out\n");
  EXPECT_EQ(host.calls, std::vector<std::string>{"out/2"});
  EXPECT_EQ(m->toString(m->callExported("twice", {avm1::Value(21)})), "42");

  RecordingHost old;
  run("trace(typeof flash.external.ExternalInterface);", 7, old);
  EXPECT_EQ(joined(old.lines), "undefined\n");
}

TEST(Avm1ProgramTest, ThePlayerReadsTextWithoutScriptErrorsEscaping) {
  RecordingHost host;
  avm1::Machine* m = nullptr;
  run("var bad = {toString: function() { throw \"no\"; }}; var good = {toString: function() { return \"yes\"; }};",
      8, host, &m);
  EXPECT_EQ(m->textOf(m->getVariable("bad")), "[type Object]");
  EXPECT_EQ(m->textOf(m->getVariable("good")), "yes");
}

// Push "a", "b", "c" and a count the player refuses (2^32 + 1): InitArray makes undefined and
// leaves the strings where they were.
TEST(Avm1ProgramTest, InitArrayWithAnOutOfRangeCountPopsNothing) {
  RecordingHost host;
  avm1::Machine m(8, host);
  std::vector<uint8_t> bytes{0x96, 15, 0, 0, 'a', 0, 0, 'b', 0, 0, 'c', 0, 6, 0x00, 0x00, 0xF0, 0x41, 0x00, 0x00, 0x10, 0x00,
                             0x42, 0x26, 0x26, 0x26, 0x26};
  bytes[1] = static_cast<uint8_t>(bytes.size() - 3 - 5);
  m.runActions(std::make_shared<avm1::Code>(avm1::Code{bytes, 8}), m.root());
  EXPECT_EQ(joined(host.lines), "undefined\nc\nb\na\n");
}

// Push "kept"; try { push "lost", "x"; throw } catch {}; trace: the throw dropped what the try
// block had pushed, so the trace shows "kept".
TEST(Avm1ProgramTest, AThrowDropsWhatTheTryBlockPushed) {
  RecordingHost host;
  avm1::Machine m(8, host);
  std::vector<uint8_t> bytes{0x96, 6, 0, 0, 'k', 'e', 'p', 't', 0,
                             0x8F, 9, 0, 1, 13, 0, 0, 0, 0, 0, 'e', 0,
                             0x96, 9, 0, 0, 'l', 'o', 's', 't', 0, 0, 'x', 0, 0x2A,
                             0x26};
  m.runActions(std::make_shared<avm1::Code>(avm1::Code{bytes, 8}), m.root());
  EXPECT_EQ(joined(host.lines), "kept\n");
}

// A path's object part is tried from each scope in turn: _root's a.b is text, so "a.b.c" is
// found from _global; a path that leads nowhere sets nothing.
TEST(Avm1ProgramTest, PathsFindTheirObjectFromEachScopeInTurn) {
  RecordingHost host;
  avm1::Machine* m = nullptr;
  run("_global.a = {b: {c: \"global\"}}; a = {b: \"root\"}; var clip = {inner: {v: 1}};", 8, host, &m);
  EXPECT_EQ(m->textOf(m->getVariable("a.b.c")), "global");
  EXPECT_EQ(m->textOf(m->getVariable("a.b")), "root");
  EXPECT_EQ(m->textOf(m->getVariable("_level0.a.b")), "root");
  EXPECT_EQ(m->textOf(m->getVariable("clip:inner.v")), "1");
  EXPECT_EQ(m->textOf(m->getVariable("/clip/inner:v")), "1");
  m->setVariable("clip.inner.w", avm1::Value(5));
  EXPECT_EQ(m->textOf(m->getVariable("clip.inner.w")), "5");
  m->setVariable("nowhere.x", avm1::Value(1));
  EXPECT_TRUE(m->getVariable("nowhere").isUndefined());
}

// as2c writes no ImplementsOp: the test puts one between two compiled parts. C implements I, so
// a C is an instance of I too.
TEST(Avm1ProgramTest, InstanceofSeesImplementedInterfaces) {
  RecordingHost host;
  avm1::Machine m(8, host);
  std::vector<uint8_t> bytes = as2c::compileActions("function I() {} function C() {} var c = new C();", 8);
  if (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
  const uint8_t implement[] = {0x96, 3, 0, 0, 'I', 0, 0x1C, 0x96, 5, 0, 7, 1, 0, 0, 0, 0x96, 3, 0, 0, 'C', 0, 0x1C, 0x2C};
  bytes.insert(bytes.end(), std::begin(implement), std::end(implement));
  std::vector<uint8_t> check = as2c::compileActions("trace(c instanceof I); trace(c instanceof C); trace({} instanceof I);", 8);
  bytes.insert(bytes.end(), check.begin(), check.end());
  m.runActions(std::make_shared<avm1::Code>(avm1::Code{bytes, 8}), m.root());
  EXPECT_EQ(joined(host.lines), "true\ntrue\nfalse\n");
}

// Delete2 "o.a" (as Flash's compiler writes `delete o.a` in a with block or eval) deletes a from
// the object the path names.
TEST(Avm1ProgramTest, Delete2OfAPathDeletesFromItsObject) {
  RecordingHost host;
  avm1::Machine m(8, host);
  std::vector<uint8_t> bytes = as2c::compileActions("var o = {a: 1};", 8);
  if (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
  const uint8_t remove[] = {0x96, 5, 0, 0, 'o', '.', 'a', 0, 0x3B, 0x26};
  bytes.insert(bytes.end(), std::begin(remove), std::end(remove));
  std::vector<uint8_t> check = as2c::compileActions("trace(o.a);", 8);
  bytes.insert(bytes.end(), check.begin(), check.end());
  m.runActions(std::make_shared<avm1::Code>(avm1::Code{bytes, 8}), m.root());
  EXPECT_EQ(joined(host.lines), "true\nundefined\n");
}

// The display-list actions take their operands off the stack even where the stand-in has
// nothing to move: GetProperty(_root, _x) then GotoFrame2(3) leave "kept" where it was.
TEST(Avm1ProgramTest, DisplayListActionsTakeTheirOperands) {
  RecordingHost host;
  avm1::Machine m(8, host);
  std::vector<uint8_t> bytes{0x96, 6, 0, 0, 'k', 'e', 'p', 't', 0,
                             0x96, 7, 0, 0, 0, 7, 0, 0, 0, 0, 0x22, 0x26,
                             0x96, 5, 0, 7, 3, 0, 0, 0, 0x9F, 1, 0, 0, 0x26};
  m.runActions(std::make_shared<avm1::Code>(avm1::Code{bytes, 8}), m.root());
  EXPECT_EQ(joined(host.lines), "undefined\nkept\n");
}

TEST(Avm1ProgramTest, IntervalsRunUntilCleared) {
  RecordingHost host;
  avm1::Machine* m = nullptr;
  run("var n = 0; var id = setInterval(function() { n++; trace(\"tick \" + n);"
      " if (n == 3) clearInterval(id); }, 100);"
      "setTimeout(function(what) { trace(what); }, 120, \"once\"); trace(setInterval(trace, undefined));",
      8, host, &m);
  for (double t = 0; t <= 1000; t += 50) m->runDueIntervals(t);
  EXPECT_EQ(joined(host.lines), "undefined\ntick 1\nonce\ntick 2\ntick 3\n");
}

TEST(Avm1ProgramTest, ARunawayScriptStopsAtTheLimit) {
  RecordingHost host;
  auto code = std::make_shared<avm1::Code>(avm1::Code{as2c::compileActions("while (true) {}", 8), 8});
  avm1::Machine m(8, host);
  m.setScriptLimit(std::chrono::milliseconds(200));
  m.runActions(code, m.root());
  EXPECT_TRUE(m.timedOut());
  ASSERT_EQ(host.lines.size(), 1u);
}

TEST(Avm1ProgramTest, MalformedActionsStopQuietly) {
  RecordingHost host;
  avm1::Machine m(8, host);
  // A Push whose string runs past its action, then a truncated action header.
  auto code = std::make_shared<avm1::Code>(avm1::Code{{0x96, 0x03, 0x00, 0x00, 'a', 'b', 0x26, 0x96, 0x05}, 8});
  m.runActions(code, m.root());
  EXPECT_TRUE(host.lines.empty());
}

TEST(Avm1ProgramTest, FunctionBodiesReadTheConstantPoolOfTheirDefinition) {
  RecordingHost host;
  avm1::Machine m(8, host);
  auto code = std::make_shared<avm1::Code>(avm1::Code{{
      0x88, 0x05, 0x00, 0x01, 0x00, 'h', 'i', 0x00,                  // ConstantPool ["hi"]
      0x9B, 0x06, 0x00, 'f', 0x00, 0x00, 0x00, 0x06, 0x00,          // function f()
      0x96, 0x02, 0x00, 0x08, 0x00, 0x26,                           //   trace(pool[0])
      0x96, 0x08, 0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 'f', 0x00,  // f()
      0x3D, 0x17}, 8});
  m.runActions(code, m.root());
  EXPECT_EQ(joined(host.lines), "hi\n");
}

TEST(Avm1ProgramTest, MoviesPlayTheirFramesAndOnEnterFrame) {
  as2c::MovieSettings settings;
  settings.version = 6;
  settings.tags = {{as2c::TagKind::FileAttributes, {0, 0}}, {as2c::TagKind::ScriptLimits, {256, 3}},
                   {as2c::TagKind::Actions, {0, 0}}};
  auto bytes = as2c::writeSwf(settings, as2c::compileActions(
      "var n = 0; trace(\"frame\"); this.onEnterFrame = function() { n++; trace(\"enter \" + n);"
      " if (n == 2) delete this.onEnterFrame; };", 6));
  auto movie = movie::parseSwf(bytes.data(), bytes.size());
  ASSERT_TRUE(movie);
  EXPECT_FALSE(movie->actionScript3);
  EXPECT_EQ(movie->scriptTimeoutSeconds, 3);
  ASSERT_EQ(movie->actions.size(), 1u);

  RecordingHost host;
  avm1::Machine m(movie->version, host);
  avm1::TimelineRunner timeline(
      m, {{0, false, std::make_shared<avm1::Code>(avm1::Code{movie->actions[0].bytes, 6})}}, 1, 12);
  for (int i = 0; i < 5; ++i) timeline.enterFrame();
  EXPECT_EQ(joined(host.lines), "frame\nenter 1\nenter 2\n");

  settings.tags[0].values[0] = 0x08;  // the ActionScript 3 flag
  bytes = as2c::writeSwf(settings, {});
  EXPECT_TRUE(movie::parseSwf(bytes.data(), bytes.size())->actionScript3);
  settings.tags = {{as2c::TagKind::Actions, {0, 0}}};
  bytes = as2c::writeSwf(settings, {});
  EXPECT_EQ(movie::parseSwf(bytes.data(), bytes.size())->scriptTimeoutSeconds, 15) << "no ScriptLimits tag";
}

}  // namespace
