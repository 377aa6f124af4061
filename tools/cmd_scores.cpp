// kestro-sim scores: the high-score table, one entry a line.

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "records/files.h"
#include "records/places.h"
#include "tools/cli.h"
#include "tools/commands.h"
#include "tools/option_parser.h"

namespace kestro::sim {

int cmdScores(const Args& args) {
    return run("scores", [&] {
        const ParsedArgs p = args.empty() ? ParsedArgs{} : parseArgs(args, {"FILE"}, {});
        const auto path = p.positional.empty()
                              ? records::scoresPath()
                              : std::optional<std::filesystem::path>(p.positional[0]);
        if (!path) {
            throw CliError("no FILE given and no home folder to find the table in");
        }
        const auto table = records::readTable(*path);
        if (!table) {
            throw CliError(table.error());
        }
        std::size_t rank = 0;
        for (const records::Entry& e : table.value()) {
            std::cout << ++rank << " points=" << e.score.points << " level=" << e.score.level
                      << " accel=" << e.score.accel << " speed=" << e.score.speed
                      << " date=" << e.score.date << " mark=" << (e.fromSavedGame ? "saved" : "-")
                      << " name=" << e.name << "\n";
        }
        flushStandardOutput();
        return 0;
    });
}

}  // namespace kestro::sim
