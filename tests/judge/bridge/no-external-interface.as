// Without ExternalInterface (the probe answers "null") start-up sends nothing more and makes no
// class or form out of the missing answers; the bridge's own members stay hidden all the same.
//! answer vor.hasEI = null
//> call vor.hasEI null
//> classes none, forms none
//> shown []
this.onEnterFrame = function () {
  delete this.onEnterFrame;
  var v = _global.vor;
  v.__init();
  trace("classes " + (v.hasOwnProperty("undefined") ? "undefined" : "none") + ", forms " +
        (v.hasOwnProperty("Forms") ? "made" : "none"));
  var shown = [];
  for (var k in v) {
    if (k == "__EI" || k == "__hiddenMembers") shown.push(k);
  }
  trace("shown [" + shown.join(" ") + "]");
  trace("#done");
};
