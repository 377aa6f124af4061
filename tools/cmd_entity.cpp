#include "tools/cli.h"
#include "tools/commands.h"

namespace kestro::sim {

int cmdEntity(const Args&) { throw CliError("entity: not built yet"); }

}  // namespace kestro::sim
