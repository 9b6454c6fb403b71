// Objects and arrays: literals, members by name and by expression, delete, _global, _root
// and _level0, hidden members (ASSetPropFlags), getter/setter properties (addProperty),
// string escapes.
//> 3 b 2
//> 1 undefined true
//> shared
//> a,c
//> get 5 set 6 get 6
//> tab	end "q" 'q' \ é A
//> a%0Ab 2
//> 4 x
//> 5 true 5
var arr = [1, "b", [2]];
trace(arr.length + " " + arr[1] + " " + arr[2][0]);
var o = {one: 1, "two words": 2};
var removed = delete o.two;
delete o["two words"];
trace(o.one + " " + o["two words"] + " " + (removed || true));
_global.sharedValue = "shared";
trace(sharedValue);
var h = {a: 1, b: 2, c: 3};
ASSetPropFlags(h, "b", 1);
var names = [];
for (var n in h) names.push(n);
names.sort();
trace(names.join(","));
var box = {v: 5, log: ""};
box.addProperty("value", function () { this.log += "get " + this.v + " "; return this.v; },
                function (x) { this.log += "set " + x + " "; this.v = x; });
var read = box.value;
box.value = 6;
read = box.value;
trace(box.log.substr(0, box.log.length - 1));
trace("tab\tend \"q\" 'q' \\ \u00e9 \x41");
trace(escape("a\nb") + " " + "line1\nline2".split("\n").length);
var nested = {inner: {list: [1, 2, 3, 4]}, key: "x"};
trace(nested.inner.list.length + " " + nested["key"]);
_root.rootVar = 5;
trace(_level0.rootVar + " " + (_root == _level0) + " " + this.rootVar);
trace("#done");
