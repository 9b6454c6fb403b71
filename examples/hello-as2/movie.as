// The hello sample in ActionScript 2. The runtime starts the form with its bridge movie, which
// builds `vor` and then loads this movie into _level0, so `vor` is there from the first line.
var app = vor.Application;
trace("hello from Lumo, in ActionScript 2");

// Properties: a constant of the declaration, and one whose setter sends "settitle".
trace("projector file: " + app.filename);
app.title = "Hello from Lumo (ActionScript 2) is running";

// Methods wait for their answer with vor.SYNC, and give it to a function otherwise.
var greeting = app.getGlobalVar("greeting", vor.SYNC);
trace("the project says: " + greeting);
app.getFormNames(function (names) {
  trace("the forms: " + names);
});

// Events, with their properties: the shake below moves the form back and forth.
app.addEventListener("FormReposition", function (event) {
  trace(event.formname + " moved to " + event.x + ", " + event.y);
});
app.shake(2);

// About a second and a half later, on the movie's own frames, the run ends.
var started = getTimer();
this.onEnterFrame = function () {
  if (getTimer() - started < 1500) return;
  delete this.onEnterFrame;
  trace("goodbye");
  app.exitWithCode(0);
};
