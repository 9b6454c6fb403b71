// Events from the runtime: through vor.__callFunction and vor.__dispatchEvent, to the
// Handler method, the on method and every listener in order; payload values that begin with
// "[" arrive as arrays, others as strings; listeners added twice run once; removed ones not
// at all; an instance event reaches the instance with that id. __callFunction with a bare
// name calls the function on _root when it has one, else the one on _global.
//! answer vor.initialise = Application<{!!z!!}><{!z!!}>@Browser<{!!z!!}><{!z!!}>
//! answer vor.initforms = main<{!z!}>standard<{!z!}>thisForm<{!z!!}>
//! answer vor.Browser.create = 7
//> call vor.hasEI null
//> call vor.initialise 000000|
//> call vor.initforms 000000|
//> call vor.initppsv 000000|
//> handler FormResize main true
//> on 300
//> function true
//> object 2 two string
//> handler FormResize undefined true
//> on 5
//> function true
//> call vor.Browser.create 000000|<{lumo}>"-1"
//> instance x 7
//> root 1b
//> global 1b
//> undefined
this.onEnterFrame = function () {
  _global.vor.__init();
  delete this.onEnterFrame;
  var v = _global.vor;
  var app = v.Application;
  app.FormResizeHandler = function (e) { trace("handler " + e.type + " " + e.formname + " " + (e.target == app)); };
  app.onFormResize = function (e) { trace("on " + e.width); };
  var listener = {FormResize: function (e) { trace("object " + e.list.length + " " + e.list[1] + " " + typeof e.width); }};
  app.addEventListener("FormResize", listener);
  app.addEventListener("FormResize", function (e) { trace("function " + (this == app)); });
  app.addEventListener("FormResize", listener);
  v.__callFunction = "vor.__dispatchEvent!}}v{}!FormResize!}}v{}!Application!}}v{}!!}}v{}!" +
                     "formname<{z}>main<{!z!}>width<{z}>300<{!z!}>list<{z}>[1,\"two\"]";
  app.removeEventListener("FormResize", listener);
  v.__dispatchEvent("FormResize", "Application", null, "width<{z}>5");
  var b = new v.Browser();
  b.onNavigate = function (e) { trace("instance " + e.url + " " + this.___id); };
  v.__dispatchEvent("Navigate", "Browser", "7", "url<{z}>x");
  v.__dispatchEvent("Navigate", "Browser", "8", "url<{z}>not this one");
  _root.greet = function (a, b) { trace("root " + a + b); };
  _global.greet = function (a, b) { trace("global, not root " + a + b); };
  _global.greet2 = function (a, b) { trace("global " + a + b); };
  v.__callFunction = "greet!}}v{}!1!}}v{}!b";
  v.__callFunction = "greet2!}}v{}!1!}}v{}!b";
  trace(v.__callFunction);
  trace("#done");
};
