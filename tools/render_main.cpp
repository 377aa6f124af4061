// kestro-sim-render: the render command of kestro-sim in a program of its own, so that only
// drawing loads Qt. kestro-sim render starts it with the same arguments.

#include <exception>
#include <iostream>

#include "tools/cli.h"
#include "tools/commands.h"

int main(int argc, char** argv) {
    kestro::sim::holdStandardStreams();
    const kestro::sim::Args args(argv + 1, argv + argc);
    try {
        return kestro::sim::cmdRender(args);
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "kestro-sim: " << e.what() << "\n";
        return 1;
    }
}
