// Values: the answer parser reads JSON with comments, dates and XML and the "@q@" quote, and
// fails with its messages; the writer escapes strings and writes what it cannot as null.
//> 3 -300 x"y
//> true null 86400000 b
//> Bad array|Unterminated comment|Bad string|Bad object|Bad number|Syntax error
//> ["q\"\\\n\t\u0001",1.5,true,null,null]
//> {"a":1} #5# <*><b /></*>
this.onEnterFrame = function () {
  delete this.onEnterFrame;
  var v = _global.vor;
  var d = v.__deserialize("{\"a\": [1, 2.5, -3e2], /* note */ \"b\": \"x@q@y\", // end\n \"t\": true, \"n\": null, " +
                          "\"d\": #86400000#, \"x\": <*><a>b</a></*>}");
  trace(d.a.length + " " + d.a[2] + " " + d.b);
  trace(d.t + " " + d.n + " " + d.d.getTime() + " " + d.x.firstChild.firstChild.nodeValue);
  var errors = [];
  var bad = ["[1,2", "/* open", "\"abc", "{1:2}", "-x", "nope"];
  for (var i = 0; i < bad.length; i++) {
    try { v.__deserialize(bad[i]); errors.push("none"); } catch (e) { errors.push(e.message); }
  }
  trace(errors.join("|"));
  trace(v.__serialize(["q\"\\\n\t\x01", 1.5, true, 1 / 0, undefined]));
  trace(v.__serialize({a: 1, f: function () {}, u: undefined}) + " " + v.__serialize(new Date(5)) + " " +
        v.__serialize(new XML("<b/>")));
  trace("#done");
};
