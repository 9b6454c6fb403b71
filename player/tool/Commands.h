// The movie tool's subcommands beside writing movies: rendering a movie's stage to a PNG and
// comparing two PNGs the way reference images are judged.
#pragma once

namespace tool {

// lumo-movie render MOVIE.swf --frames N -o OUT.png [--scale S] [--quality Q]
int runRender(int argc, char** argv);
// lumo-movie compare ACTUAL.png EXPECTED.png [--tolerance T] [--max-outliers N]
int runCompare(int argc, char** argv);
// lumo-movie info MOVIE.swf
int runInfo(int argc, char** argv);

}  // namespace tool
