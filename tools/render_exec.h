#pragma once
// kestro-sim render runs in a program of its own, kestro-sim-render, which is the only part of
// the tool that loads Qt: every other command starts without it.

#include "tools/commands.h"

namespace kestro::sim {

// Replaces this process with kestro-sim-render and the arguments after "render"; returns only
// by throwing a CliError when that program cannot be found or started.
[[noreturn]] void execRender(const Args& args);

}  // namespace kestro::sim
