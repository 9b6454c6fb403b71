// A game frame: entities with prototype methods move, bounce and collide; a score line is
// built each frame.
var t0 = getTimer();
function Entity(id, x, y) {
  this.id = id; this.x = x; this.y = y;
  this.vx = (id % 7) - 3; this.vy = (id % 5) - 2;
  this.hits = 0;
}
Entity.prototype.step = function(w, h) {
  this.x += this.vx; this.y += this.vy;
  if (this.x < 0 || this.x > w) this.vx = -this.vx;
  if (this.y < 0 || this.y > h) this.vy = -this.vy;
};
Entity.prototype.near = function(o) {
  var dx = this.x - o.x, dy = this.y - o.y;
  return dx * dx + dy * dy < 100;
};
var world = {entities: [], score: 0, line: ""};
for (var i = 0; i < 60; i++) world.entities.push(new Entity(i, (i * 37) % 500, (i * 53) % 400));
function frame(n) {
  var list = world.entities;
  for (var i = 0; i < list.length; i++) list[i].step(500, 400);
  for (var a = 0; a < list.length; a++) {
    var e = list[a];
    for (var b = a + 1; b < list.length; b++) {
      if (e.near(list[b])) { e.hits++; world.score++; }
    }
  }
  world.line = "frame " + n + " score " + world.score;
}
for (var n = 0; n < 60; n++) frame(n);
trace("result " + world.line + " " + world.entities[7].x + " " + world.entities[7].hits);
trace("ms " + (getTimer() - t0));
trace("#done");
