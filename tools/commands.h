#pragma once
// The subcommands of kestro-sim. Each gets the arguments after its own name and returns the
// process's exit status; errors are one line on stderr and status 1.

#include <string>
#include <vector>

namespace kestro::sim {

using Args = std::vector<std::string>;

int cmdNew(const Args& args);        // new OUT.egf [--level L] [--accel A] ...
int cmdStep(const Args& args);       // step IN.egf OUT.egf [--ticks N] [--key K]
int cmdShow(const Args& args);       // show IN.egf
int cmdPlay(const Args& args);       // play IN.egf [--ms T] [--pointer FILE] [--out OUT.egf] ...
int cmdEntity(const Args& args);     // entity encode ... | entity decode
int cmdRender(const Args& args);     // render IN.egf OUT.png [--width W] [--height H] ...
int cmdThumbnail(const Args& args);  // thumbnail IN.egf OUT.png SIZE
int cmdScores(const Args& args);     // scores [FILE]

}  // namespace kestro::sim
