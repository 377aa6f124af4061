#include "tools/cli.h"
#include "tools/commands.h"

namespace kestro::sim {

int cmdRender(const Args&) { throw CliError("render: not built yet"); }

}  // namespace kestro::sim
