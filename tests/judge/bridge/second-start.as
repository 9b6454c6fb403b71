// A second start of the action block (the movie loaded again into another level while
// _global.vor exists) does nothing: no calls, the same vor object and forms.
//! answer vor.initforms = main<{!z!}>standard<{!z!}>thisForm<{!z!!}>
//> call vor.hasEI null
//> call vor.initialise 000000|
//> call vor.initforms 000000|
//> call vor.initppsv 000000|
//> loaded again
//> same vor main
if (_global.probeStarted == undefined) {
  _global.probeStarted = true;
  this.onEnterFrame = function () {
    _global.vor.__init();
    delete this.onEnterFrame;
    _global.vor.marker = "same vor";
    loadMovieNum(_level0._url, 1);
    var wait = setInterval(function () {
      if (_level1._framesloaded < 1 || _level1._framesloaded == undefined) return;
      clearInterval(wait);
      trace("loaded again");
      trace(_global.vor.marker + " " + _global.vor.Forms.thisForm.___id);
      trace("#done");
    }, 20);
  };
}
