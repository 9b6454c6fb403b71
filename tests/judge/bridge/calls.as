// Calling methods through the bridge: direct members of vor are synchronous and answer as
// sent; class methods go asynchronously unless marked vor.SYNC; arguments are escaped; the
// lone SYNC marker sends two double quotes; multi-value commands call back with all values;
// declared properties call their get and set methods; new on an instantiable class calls
// create; saveUTF8 goes out as FSCommand; a class method's answer that is not value text comes
// back as text; forms (and one made with createForm) and the start-up variables are in place;
// API members are hidden. The stand-in answers as the runtime does to a form that is not
// EI-ready, every backslash doubled, and the movie sees the true text.
//! answer vor.initialise = Extensions<{!!z!!}><{!z!!}>Application<{!!z!!}>title<{z}>string<{z}>getset<{z}> <{!z!}>isMinimized<{z}>boolean<{z}>get<{z}> <{!z!}>path<{z}>string<{z}>ppsv<{z}>C:\\dir\\<{!z!}><{!z!!}>@Browser<{!!z!!}>@width<{z}>integer<{z}>set<{z}>300<{!z!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>url<{z}>string<{z}>getset<{z}>0<{!z!}><{!z!!}>FileSystem<{!z!!}>@Forms<{!!z!!}>id<{z}>string<{z}>@set<{z}>0<{!z!}><{!z!!}>
//! answer vor.initforms = main<{!z!}>standard<{!z!}>thisForm<{!z!!}>other<{!z!}>transparent<{!z!!}>
//! answer vor.initppsv = first=a%20b&second=c\\d%5Ce
//! answer vor.echo = plain text
//! answer vor.Application.gettitle = "My title"
//! answer vor.Application.getisMinimized = false
//! answer vor.Application.getSize = 640
//! answer vor.Application.getCount = 3
//! answer vor.Application.getpath = C:\\dir\\
//! answer vor.Application.getEnvVar = "C:\\\\x@q@y"
//! answer vor.Application.createForm = true
//! answer vor.Browser.create = 7
//! answer vor.Browser.geturl = "http://x"
//> call vor.hasEI null
//> call vor.initialise 000000|
//> call vor.initforms 000000|
//> call vor.initppsv 000000|
//> call vor.echo 000000|<{lumo}>"a@co@b@dq@c@amp@d","5"
//> plain text
//> call vor.echo 000000|<{lumo}>""
//> plain text
//> call vor.echo 000000|<{lumo}>"x"
//> undefined
//> call vor.Application.say 000000|<{lumo}>"hi"
//> call vor.Application.exit 000000|
//> call vor.Application.getCount 000000|<{lumo}>""
//> 3 number
//> call vor.Application.setValue 000000|<{lumo}>"vor.__global.myVar"
//> fscommand vor.FileSystem.saveUTF8 a,b
//> call vor.Application.getSize 000000|<{lumo}>""
//> size 480 640
//> call vor.Application.getpath 000000|<{lumo}>""
//> C:\dir\
//> call vor.Application.getEnvVar 000000|<{lumo}>"X"
//> C:\x"y
//> call vor.Application.getEnvVar 000000|<{lumo}>"X"
//> callback C:\x"y string
//> call vor.Application.gettitle 000000|
//> My title
//> call vor.Application.settitle 000000|<{lumo}>"New"
//> call vor.Application.getisMinimized 000000|
//> false boolean
//> C:\dir\
//> call vor.Browser.create 000000|<{lumo}>"-1","640"
//> 7 true 640 7
//> call vor.Browser.geturl 000000|<{lumo}>"7"
//> http://x
//> call vor.Browser.navigate 000000|<{lumo}>"7","page"
//> call vor.Application.createForm 000000|<{lumo}>"tools","standard"
//> true main other true tools 3
//> a b|c\d\e|a b
//> hidden
this.onEnterFrame = function () {
  _global.vor.__init();
  delete this.onEnterFrame;
  var v = _global.vor;
  trace(v.echo("a,b\"c&d", 5));
  trace(v.echo(v.SYNC));
  trace(v.echo("x", v.ASYNC));
  v.Application.say("hi");
  v.Application.exit();
  var count = v.Application.getCount(v.SYNC);
  trace(count + " " + typeof count);
  v.Application.setValue("_global.myVar");
  v.FileSystem.saveUTF8("a,b", "c:\\file.txt");
  v.__tmpV1 = 480;
  v.Application.getSize(function (w, h) { trace("size " + w + " " + h); });
  trace(v.Application.getpath(v.SYNC));
  trace(v.Application.getEnvVar("X", v.SYNC));
  v.Application.getEnvVar("X", function (value) { trace("callback " + value + " " + typeof value); });
  trace(v.Application.title);
  v.Application.title = "New";
  var minimized = v.Application.isMinimized;
  trace(minimized + " " + typeof minimized);
  trace(v.Application.path);
  var b = new v.Browser(640);
  trace(b.___id + " " + b.isLoaded + " " + b.___width + " " + b.id);
  trace(b.url);
  b.navigate("page");
  var created = v.Application.createForm("tools", "standard", v.SYNC);
  trace(created + " " + v.Forms.thisForm.___id + " " + v.Forms.other.___id + " " + (v.Forms.main == v.Forms.thisForm) +
        " " + v.Forms.tools.___id + " " + v.Forms.__instances.length);
  trace(_global.first + "|" + _global.second + "|" + _root.first);
  var shown = [];
  for (var k in v.Application) {
    if (k.indexOf("__") == 0 || k.indexOf("EventListener") > 0 || k.indexOf("dispatch") == 0) shown.push(k);
  }
  for (var m in b) {
    if (m.indexOf("__") == 0 || m == "isLoaded" || m.indexOf("EventListener") > 0) shown.push(m);
  }
  trace(shown.length == 0 ? "hidden" : "shown: " + shown.join(","));
  trace("#done");
};
