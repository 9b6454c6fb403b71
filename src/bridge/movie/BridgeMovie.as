// The bridge movie: builds the global `vor` object through which a movie of SWF 8 or earlier
// talks to the runtime, then replaces itself with the form's own movie. Everything it defines
// lives on _global.vor and survives that replacement.
//
// Calls reach the runtime over ExternalInterface: synchronous ones return the answer, and
// asynchronous ones (class methods unless marked vor.SYNC) hand the answer to their callback.
// Only "saveutf8" and "binaryfile_setdata" go out as FSCommand.

if (_global.vor == undefined) {
  _global.vor = function () {};
  var vor = _global.vor;
  vor.__object = "vor";
  vor.__global = _global;
  vor.__OS = System.capabilities.os.substr(0, 3);
  vor.ASYNC = {async: true};
  vor.SYNC = {async: false};
  vor.formid = "!}id}!";  // the runtime writes the form id over this when it writes the movie out
  vor.__hasEI = false;
  vor.__tempPath = "";
  vor.__initcmd = function () { this.__cmdcounter = 0; };
  vor.__initcmd();

  // Kept on vor: the bridge's own timeline goes when the form's movie replaces it.
  vor.__EI = flash.external.ExternalInterface;
  vor.__hiddenMembers = "__object,__parent,__isInstance,__instances,__params,__resolve,dispatchQueue," +
                        "dispatchEvent,addEventListener,removeEventListener";
  ASSetPropFlags(vor, "__EI,__hiddenMembers", 1);  // flags only reach members that exist

  // ---- helpers ----

  // A member found on the object or its prototypes, without waking __resolve.
  vor.__lookup = function (o, name) {
    while (o != undefined) {
      if (o.hasOwnProperty(name)) return o[name];
      o = o.__proto__;
    }
    return undefined;
  };

  vor.__replace = function (text, what, by) { return String(text).split(what).join(by); };

  // The runtime doubles every backslash of an answer to a form that has not reported
  // "vor.flash9ready", and the bridge never does: each pair is one backslash of the true text.
  vor.__undouble = function (answer) {
    return typeof answer == "string" ? _global.vor.__replace(answer, "\\\\", "\\") : answer;
  };

  // An answer as a value: value text read, anything else (bare paths and names) as it came.
  vor.__value = function (answer) {
    try {
      return _global.vor.__deserialize(answer);
    } catch (e) {
      return answer;
    }
  };

  vor.__decimal = function (text) {
    var n = 0;
    for (var i = 0; i < text.length; i++) {
      var c = text.charCodeAt(i) - 48;
      if (c < 0 || c > 9) return NaN;
      n = n * 10 + c;
    }
    return text.length > 0 ? n : NaN;
  };

  // The dotted path of an API object: its own name and those of its parents up to vor.
  vor.__path = function (o) {
    var names = [];
    while (o != undefined && o != _global.vor) {
      names.unshift(o.__object);
      o = o.__parent;
    }
    names.unshift("vor");
    return names.join(".");
  };

  // Escapes one argument for the runtime's argument list.
  vor.__escape = function (value) {
    if (typeof value != "string") return value;
    var r = _global.vor.__replace;
    return r(r(r(value, ",", "@co@"), "\"", "@dq@"), "&", "@amp@");
  };

  vor.__parameters = function (a, count, marker) {
    if (count == 0) return "";
    var escaped = [];
    for (var i = 0; i < a.length; i++) escaped.push(_global.vor.__escape(a[i]));
    return marker + "\"" + escaped.join("\",\"") + "\"";
  };

  // ---- calling a method ----

  // Values each multi-value command calls back with.
  vor.__valueCounts = {swf_getheader: 5, getfileattribs: 4, getresolution: 3, getsize: 2, getposition: 2,
                       getjpgsize: 2, getmouseposition: 2};

  vor.__call = function (path, args) {
    var v = _global.vor;
    var a = [];
    for (var i = 0; i < args.length; i++) a.push(args[i]);
    var l = a.length;
    var isAPI = path.lastIndexOf(".") == 3;
    var last = a[l - 1];
    var sync = (l == 0 && isAPI) || (l > 0 && ((isAPI && last != v.ASYNC) || (!isAPI && last == v.SYNC)));
    if (sync) {
      if (l > 0 && last == v.SYNC) a.pop();
      return v.__sendSync(path, a, l, isAPI);
    }
    return v.__sendAsync(path, a, l);
  };

  vor.__sendSync = function (path, a, l, isAPI) {
    var v = _global.vor;
    if (!v.__hasEI) return undefined;
    var answer = v.__undouble(v.__EI.call(path, v.formid, v.__parameters(a, l, "<{lumo}>")));
    if (path == "vor.Application.createForm") {
      // The new form's object, so vor.Forms at its name is there once the runtime made it.
      if (String(answer) == "true" && !v.Forms.hasOwnProperty(a[0])) {
        v.__initialiseForm(a[0] + "<{!z!}>standard");
      }
    }
    return isAPI ? answer : v.__value(answer);
  };

  vor.__sendAsync = function (path, a, l) {
    var v = _global.vor;
    if (l > 0 && a[a.length - 1] == v.ASYNC) a.pop();
    var callback = undefined;
    if (typeof a[a.length - 1] == "function") callback = a.pop();
    var names = path.split(".");
    var command = names[names.length - 1].toLowerCase();
    if (command == "saveutf8" || command == "binaryfile_setdata") {
      fscommand(path, a[0]);
      return undefined;
    }
    var count = v.__valueCounts[command];
    if (callback != undefined && count != undefined) callback = v.__multiValue(callback, count);
    if (callback == undefined) {
      for (var i = 0; i < a.length; i++) {
        if (typeof a[i] == "string" && a[i].indexOf("_global.") == 0 && a[i].indexOf(" ") < 0) {
          a[i] = "vor.__global." + a[i].substr(8);
        }
      }
    }
    var slot = v.__answerSlot(callback);
    if (!v.__hasEI) {
      fscommand(path, v.__parameters(a, l, ""));
      return undefined;
    }
    var answer = v.__undouble(v.__EI.call(path, v.formid, v.__parameters(a, l, "<{lumo}>")));
    v[slot] = v.__value(answer);  // as the runtime would set it: the slot's setter calls back
    return undefined;
  };

  // A property "__tmpN" whose setter hands the value to the callback once.
  vor.__answerSlot = function (callback) {
    var v = _global.vor;
    v.__lastFS = typeof v.__lookup(v, "__lastFS") != "number" ? 0 : v.__lastFS + 1;
    var slot = "__tmp" + v.__lastFS;
    var done = false;
    v.addProperty(slot, function () { return undefined; }, function (value) {
      if (done) return;
      done = true;
      var w = _global.vor;
      w.__lastFS--;
      if (w.__lastFS <= 0) delete w.__lastFS;
      if (typeof callback == "function") callback(value);
    });
    ASSetPropFlags(v, slot, 1);
    return slot;
  };

  // Calls back with n values: n - 1 from the __tmpV variables, then the answer.
  vor.__multiValue = function (callback, count) {
    return function (answer) {
      var v = _global.vor;
      var holder = _root.vor != undefined ? _root.vor : v;
      var values = [];
      for (var i = 1; i < count; i++) values.push(v.__lookup(holder, "__tmpV" + i));
      values.push(answer);
      callback.apply(null, values);
    };
  };

  // ---- values ----

  vor.__deserialize = function (text) {
    if (text == undefined || text == null) return undefined;
    var s = String(text);
    var p = {at: 0};
    var fail = function (message) { throw new Error(message); };
    var blank = function () {
      for (;;) {
        var c = s.charAt(p.at);
        if (c == " " || c == "\t" || c == "\n" || c == "\r") {
          p.at++;
        } else if (c == "/" && s.charAt(p.at + 1) == "/") {
          while (p.at < s.length && s.charAt(p.at) != "\n") p.at++;
        } else if (c == "/" && s.charAt(p.at + 1) == "*") {
          var end = s.indexOf("*/", p.at + 2);
          if (end < 0) fail("Unterminated comment");
          p.at = end + 2;
        } else {
          return;
        }
      }
    };
    var str = function () {
      var out = "";
      p.at++;
      while (p.at < s.length) {
        var c = s.charAt(p.at);
        if (c == "\"") {
          p.at++;
          return out;
        }
        if (c == "@" && s.substr(p.at, 3) == "@q@") {
          out += "\"";
          p.at += 3;
        } else if (c == "\\") {
          var e = s.charAt(p.at + 1);
          p.at += 2;
          if (e == "b") out += "\b";
          else if (e == "f") out += "\f";
          else if (e == "n") out += "\n";
          else if (e == "r") out += "\r";
          else if (e == "t") out += "\t";
          else if (e == "u") {
            var code = parseInt(s.substr(p.at, 4), 16);
            if (isNaN(code)) fail("Bad string");
            out += String.fromCharCode(code);
            p.at += 4;
          } else out += e;
        } else {
          out += c;
          p.at++;
        }
      }
      fail("Bad string");
    };
    var num = function () {
      var start = p.at;
      if (s.charAt(p.at) == "-") p.at++;
      var digits = "0123456789.eE+-";
      while (p.at < s.length && digits.indexOf(s.charAt(p.at)) >= 0) p.at++;
      var n = Number(s.substring(start, p.at));
      if (isNaN(n) || p.at == start) fail("Bad number");
      return n;
    };
    var word = function (w, value) {
      if (s.substr(p.at, w.length) != w) fail("Syntax error");
      p.at += w.length;
      return value;
    };
    var value;
    var arr = function () {
      var list = [];
      p.at++;
      blank();
      if (s.charAt(p.at) == "]") {
        p.at++;
        return list;
      }
      for (;;) {
        list.push(value());
        blank();
        var c = s.charAt(p.at++);
        if (c == "]") return list;
        if (c != ",") fail("Bad array");
      }
    };
    var obj = function () {
      var o = {};
      p.at++;
      blank();
      if (s.charAt(p.at) == "}") {
        p.at++;
        return o;
      }
      for (;;) {
        blank();
        if (s.charAt(p.at) != "\"") fail("Bad object");
        var key = str();
        blank();
        if (s.charAt(p.at++) != ":") fail("Bad object");
        o[key] = value();
        blank();
        var c = s.charAt(p.at++);
        if (c == "}") return o;
        if (c != ",") fail("Bad object");
      }
    };
    value = function () {
      blank();
      var c = s.charAt(p.at);
      if (c == "{") return obj();
      if (c == "[") return arr();
      if (c == "\"") return str();
      if (c == "-" || (c >= "0" && c <= "9")) return num();
      if (c == "#") {
        var close = s.indexOf("#", p.at + 1);
        if (close < 0) fail("Syntax error");
        var ms = Number(s.substring(p.at + 1, close));
        p.at = close + 1;
        return new Date(ms);
      }
      if (s.substr(p.at, 3) == "<*>") {
        var end = s.indexOf("</*>", p.at + 3);
        if (end < 0) fail("Syntax error");
        var xml = new XML(s.substring(p.at + 3, end));
        p.at = end + 4;
        return xml;
      }
      if (c == "t") return word("true", true);
      if (c == "f") return word("false", false);
      if (c == "n") return word("null", null);
      fail("Syntax error");
    };
    blank();
    if (p.at >= s.length) return undefined;  // an empty answer: a command without a result
    var result = value();
    blank();
    if (p.at < s.length) fail("Syntax error");
    return result;
  };

  vor.__serialize = function (value) {
    var v = _global.vor;
    if (value instanceof Array) {
      var items = [];
      for (var i = 0; i < value.length; i++) items.push(v.__serialize(value[i]));
      return "[" + items.join(",") + "]";
    }
    if (value instanceof XML) return "<*>" + value.toString() + "</*>";
    if (value instanceof Date) return "#" + value.getTime() + "#";
    var t = typeof value;
    if (t == "number") return isFinite(value) ? String(value) : "null";
    if (t == "boolean") return value ? "true" : "false";
    if (t == "string") {
      var out = "\"";
      for (var j = 0; j < value.length; j++) {
        var c = value.charAt(j);
        var code = value.charCodeAt(j);
        if (c == "\\") out += "\\\\";
        else if (c == "\"") out += "\\\"";
        else if (c == "\b") out += "\\b";
        else if (c == "\f") out += "\\f";
        else if (c == "\n") out += "\\n";
        else if (c == "\r") out += "\\r";
        else if (c == "\t") out += "\\t";
        else if (code < 32) out += "\\u00" + (code < 16 ? "0" : "") + code.toString(16);
        else out += c;
      }
      return out + "\"";
    }
    if (t == "object" && value != null) {
      var members = [];
      for (var k in value) {
        var m = value[k];
        if (m === undefined || typeof m == "function") continue;
        members.push(v.__serialize(k) + ":" + v.__serialize(m));
      }
      return "{" + members.join(",") + "}";
    }
    return "null";
  };

  // ---- runtime to movie ----

  // The object a dotted path names, from _root, _global or vor.
  vor.__objectAt = function (path) {
    var names = path.split(".");
    var first = names[0];
    var o;
    if (first == "_root" || first == "_level0") o = _root;
    else if (first == "_global") o = _global;
    else if (first == "vor") o = _global.vor;
    else o = _root[first] != undefined ? _root[first] : _global[first];
    for (var i = 1; i < names.length && o != undefined; i++) o = o[names[i]];
    return o;
  };

  vor.addProperty("__callFunction", function () { return undefined; }, function (text) {
    var v = _global.vor;
    var pieces = String(text).split("!}}v{}!");
    var path = pieces.shift();
    if (path.indexOf(".") < 0) path = (typeof _root[path] == "function" ? "_root." : "_global.") + path;
    var dot = path.lastIndexOf(".");
    var target = v.__objectAt(path.substr(0, dot));
    var f = target[path.substr(dot + 1)];
    if (typeof f == "function") f.apply(target, pieces);
  });

  // ---- the class tree ----

  vor.__createObject = function (parent, name, instantiable) {
    var v = _global.vor;
    var o;
    if (instantiable) {
      o = function () { _global.vor.__instantiate(o, this, arguments); };
      o.prototype.__resolve = function (m) {
        var self = this;
        return function () {
          var a = [self.___id];
          for (var i = 0; i < arguments.length; i++) a.push(arguments[i]);
          return _global.vor.__call(_global.vor.__path(o) + "." + m, a);
        };
      };
      o.prototype.dispatchQueue = v.dispatchQueue;
      o.prototype.dispatchEvent = v.dispatchEvent;
      o.prototype.addEventListener = v.addEventListener;
      o.prototype.removeEventListener = v.removeEventListener;
      ASSetPropFlags(o.prototype, v.__hiddenMembers, 1);
    } else {
      o = {};
    }
    o.__object = name;
    o.__parent = parent;
    o.__isInstance = false;
    o.__instances = [];
    o.__params = [];
    o.__resolve = v.__resolve;
    o.dispatchQueue = v.dispatchQueue;
    o.dispatchEvent = v.dispatchEvent;
    o.addEventListener = v.addEventListener;
    o.removeEventListener = v.removeEventListener;
    ASSetPropFlags(o, v.__hiddenMembers, 1);
    parent[name] = o;
    return o;
  };

  vor.__initialise = function (defs, isForm) {
    var v = _global.vor;
    if (defs == undefined) return;  // no answer (no ExternalInterface): nothing to define
    var entries = String(defs).split("<{!z!!}>");
    for (var i = 0; i < entries.length; i++) {
      if (entries[i] == "") continue;
      if (isForm) v.__initialiseForm(entries[i]);
      else v.__initialiseObject(entries[i]);
    }
  };

  vor.__initialiseObject = function (def) {
    var v = _global.vor;
    var parts = def.split("<{!!z!!}>");
    var names = parts[0].split(".");
    var o = v;
    var instantiable = false;
    for (var i = 0; i < names.length; i++) {
      var name = names[i];
      instantiable = name.charAt(0) == "@";
      if (instantiable) name = name.substr(1);
      if (name == "") continue;
      o = o.hasOwnProperty(name) ? o[name] : v.__createObject(o, name, instantiable);
    }
    if (parts.length < 2) return;
    var holder = instantiable ? o.prototype : o;
    var records = parts[1].split("<{!z!}>");
    for (var j = 0; j < records.length; j++) {
      if (records[j] == "") continue;
      var f = records[j].split("<{z}>");
      v.__defineProperty(o, holder, f[0], f[1], f[2], f[3]);
    }
  };

  vor.__convert = function (type, text) {
    if (type == "integer") return Number(text);
    if (type == "boolean") return Boolean(text);
    return text;  // a string: the declaration's backslashes were undoubled on arrival
  };

  // One declared property: a constructor parameter, a constant, or a getter and setter that
  // call the runtime's "get" and "set" methods synchronously.
  vor.__defineProperty = function (cls, holder, name, type, access, initial) {
    var v = _global.vor;
    if (name.charAt(0) == "@") {
      cls.__params.push(name.substr(1));
      return;
    }
    if (access.charAt(0) == "@") access = access.substr(1);
    if (access == "ppsv") {
      holder[name] = v.__convert(type, initial);
      return;
    }
    var memo = "___" + name;  // the last value read or written, hidden like the API members
    var remember = function (self, value) {
      self[memo] = value;
      ASSetPropFlags(self, memo, 1);
      return value;
    };
    if (initial != undefined && name != "id") remember(holder, v.__convert(type, initial));
    var send = function (self, method, values) {
      var w = _global.vor;
      var a = self.__isInstance ? [self.___id] : [];
      for (var i = 0; i < values.length; i++) a.push(values[i]);
      return w.__sendSync(w.__path(cls) + "." + method, a, a.length, false);
    };
    var getter = null, setter = null;
    if (access == "get" || access == "getset") {
      getter = function () { return remember(this, send(this, "get" + name, [])); };
    } else {
      getter = function () { return this[memo]; };
    }
    if (access == "set" || access == "getset") {
      setter = function (value) {
        var answer = send(this, "set" + name, [value]);
        remember(this, access == "set" ? value : answer);
      };
    }
    holder.addProperty(name, getter, setter);
  };

  vor.__initialiseForm = function (ref) {
    var v = _global.vor;
    var p = ref.split("<{!z!}>");
    if (!v.hasOwnProperty("Forms")) v.__createObject(v, "Forms", true);
    var form = new v.Forms(p[0], p[1]);
    form.___id = p[0];
    ASSetPropFlags(form, "___id", 1);
    v.Forms[p[0]] = form;
    if (p.length > 2) v.Forms.thisForm = form;
  };

  vor.__instantiate = function (cls, instance, args) {
    var v = _global.vor;
    instance.__isInstance = true;
    ASSetPropFlags(instance, "__isInstance", 1);
    cls.__instances.push(instance);
    for (var i = 0; i < cls.__params.length; i++) {
      instance["___" + cls.__params[i]] = args[i];
      ASSetPropFlags(instance, "___" + cls.__params[i], 1);
    }
    if (cls == v.Forms) return;
    var a = ["-1"];
    for (var j = 0; j < args.length; j++) a.push(args[j]);
    instance.___id = parseInt(String(v.__sendSync(v.__path(cls) + ".create", a, a.length, false)));
    instance.isLoaded = instance.___id > -1;
    ASSetPropFlags(instance, "___id,isLoaded", 1);
  };

  // ---- members every API object shares ----

  vor.__resolve = function (m) {
    var self = this;
    return function () { return _global.vor.__call(_global.vor.__path(self) + "." + m, arguments); };
  };

  vor.addEventListener = function (type, handler) {
    var key = "__q_" + type;
    if (!this.hasOwnProperty(key)) {
      this[key] = [];
      ASSetPropFlags(this, key, 1);
    }
    var q = this[key];
    for (var i = 0; i < q.length; i++) {
      if (q[i] == handler) {
        q.splice(i, 1);
        break;
      }
    }
    q.push(handler);
  };

  vor.removeEventListener = function (type, handler) {
    var q = _global.vor.__lookup(this, "__q_" + type);
    if (q == undefined) return;
    for (var i = 0; i < q.length; i++) {
      if (q[i] == handler) {
        q.splice(i, 1);
        return;
      }
    }
  };

  vor.dispatchQueue = function (event) {
    var v = _global.vor;
    var q = v.__lookup(this, "__q_" + event.type);
    if (q == undefined) return;
    var listeners = q.slice();
    for (var i = 0; i < listeners.length; i++) {
      var l = listeners[i];
      if (typeof l == "function") {
        l.apply(this, [event]);
      } else if (typeof l == "object" || typeof l == "movieclip") {
        var method = v.__lookup(l, event.type);
        if (typeof method == "function") method.apply(l, [event]);
      }
    }
  };

  vor.dispatchEvent = function (event) {
    var v = _global.vor;
    if (event.target == undefined) event.target = this;
    var type = event.type;
    var handler = v.__lookup(this, type + "Handler");
    if (typeof handler == "function") handler.apply(this, [event]);
    var on = v.__lookup(this, "on" + type.charAt(0).toUpperCase() + type.substr(1));
    if (typeof on == "function") on.apply(this, [event]);
    this.dispatchQueue(event);
  };

  vor.__dispatchEvent = function (evtName, objName, instId, params) {
    var v = _global.vor;
    var target = v.__objectAt("vor." + objName);
    if (target == undefined) return;
    if (instId != null && instId != "") {
      var found = undefined;
      var list = v.__lookup(target, "__instances");
      for (var i = 0; list != undefined && i < list.length; i++) {
        if (String(list[i].___id) == String(instId)) found = list[i];
      }
      if (found == undefined) return;
      target = found;
    }
    var event = {type: evtName};
    if (params != null && params != "") {
      var pairs = String(params).split("<{!z!}>");
      for (var j = 0; j < pairs.length; j++) {
        var kv = pairs[j].split("<{z}>");
        if (kv[0] == "") continue;
        var value = kv[1];
        event[kv[0]] = String(value).charAt(0) == "[" ? v.__deserialize(value) : value;
      }
    }
    target.dispatchEvent(event);
  };

  ASSetPropFlags(vor, "__resolve,dispatchQueue,dispatchEvent,addEventListener,removeEventListener,__callFunction", 1);

  // ---- start-up ----

  vor.__init = function () {
    var v = _global.vor;
    if (v.hasOwnProperty("__pause")) {
      clearInterval(v.__pause);
      delete v.__pause;
    }
    delete v.__init;
    var probe = String(v.__EI.call("vor.hasEI", "null"));
    v.__hasEI = !(probe == "undefined" || probe == "null");
    if (v.__hasEI && v.__OS != "Mac") v.__OS = "Win";
    v.__initialise(v.initialise(), false);
    v.__initialise(v.initforms(), true);
    v.vorinit();
    v.__tempPath = "file://" + v.__replace(unescape(_level0._url).substr(7), "/", "\\");
  };

  vor.vorinit = function () {
    var v = _global.vor;
    var answer = v.initppsv();
    if (answer == undefined) return;
    var pairs = String(answer).split("&");
    for (var i = 0; i < pairs.length; i++) {
      var eq = pairs[i].indexOf("=");
      if (eq <= 0) continue;
      var name = pairs[i].substr(0, eq);
      var value = unescape(pairs[i].substr(eq + 1));
      _root[name] = value;
      _global[name] = value;
    }
  };

  this.onEnterFrame = function () {
    var v = _global.vor;
    v.__init();
    delete this.onEnterFrame;
    var folder = v.__tempPath.substr(0, v.__tempPath.lastIndexOf("\\") + 1);
    loadMovieNum(folder + "~swd" + (v.__decimal(v.formid) + 1) + ".dat", 0);
  };
}
