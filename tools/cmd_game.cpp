#include "tools/cli.h"
#include "tools/commands.h"

namespace kestro::sim {

int cmdNew(const Args&) { throw CliError("new: not built yet"); }
int cmdStep(const Args&) { throw CliError("step: not built yet"); }
int cmdShow(const Args&) { throw CliError("show: not built yet"); }

}  // namespace kestro::sim
