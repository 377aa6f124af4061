// kestro-sim: the headless simulator and saved-game tool.

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>

#include "game/playfield.h"
#include "game/slider.h"
#include "game/tiles.h"
#include "tools/cli.h"
#include "tools/commands.h"
#include "tools/render_exec.h"

namespace {

// The usage text, with @L, @A, @S (the sliders' start values), @W by @H (the design playfield
// size) and @C by @R (the grid) filled in by usage() from where the game keeps them.
const char* const kUsageTemplate =
    "usage: kestro-sim COMMAND [ARGS...]\n"
    "\n"
    "  new OUT.egf [--level L] [--accel A] [--speed S] [--banked B] [--prev-accel P]\n"
    "              [--seed N | --draws FILE] [--key K]\n"
    "      Build a level on an empty grid with the sliders at L, A, S (defaults @L, @A, @S),\n"
    "      bankedScore B and the previous accelStep P (defaults 0), and save it.\n"
    "      B lies in -1000000000..999998612 and P in 0..20, so the game saved loads again.\n"
    "      --seed seeds the game's generator; --draws takes the draws from FILE, one per line.\n"
    "  step IN.egf OUT.egf [--ticks N] [--key K]\n"
    "      Load a game, run N ball ticks (default 1) and save it.\n"
    "  show IN.egf\n"
    "      Print the stored variables as 'name = value' lines, then the grid as @R rows:\n"
    "      '.' empty, '#' wall, 'o' ball, 'B' block, 'G' goal, 'm' marker, '?' other.\n"
    "  play IN.egf [--ms T] [--seed N | --draws FILE] [--pointer FILE] [--tile W H]\n"
    "              [--out OUT.egf] [--key K] [--scores FILE [--name NAME]]\n"
    "              [--autopilot [--moves-out FILE]] [--events]\n"
    "      Load a game and run its four timers on virtual time from 0 to T ms (default\n"
    "      60000), answering each message at once. --pointer FILE moves the pointer at given\n"
    "      times, one 'MS X Y' per line (MS never decreasing, X and Y in playfield pixels);\n"
    "      a move comes before the timers due in the same millisecond. --tile sets the cell\n"
    "      size in pixels (default @W/@C by @H/@R). New levels draw from --seed or --draws\n"
    "      as for new. Prints '<ms> message <text>', '<ms> complete level=L score=S' and\n"
    "      '<ms> lost level=L score=S' as they happen, then the ticks of each timer (Ball,\n"
    "      accel, LevelUp, Score) and the end state as 'end ms=T ticks=N/N/N/N level=L\n"
    "      score=S banked=B interval=I'. --out saves the game as it is at T.\n"
    "      --scores FILE records the play's runs into the high-score table FILE as the\n"
    "      window does (the first run began from a loaded file and is marked; the end of\n"
    "      the play ends the last run), under --name NAME (default: the user's full name,\n"
    "      else the login name). --autopilot: the computer moves the pointer instead of\n"
    "      --pointer, before each ball tick; --moves-out FILE writes its moves in the\n"
    "      --pointer format, so that --pointer FILE plays the same run again. The\n"
    "      computer's runs are not recorded: with --autopilot, --scores records nothing.\n"
    "      else the login name).\n"
    "      --events also prints each of the rules' events as '<ms> event NAME', NAME one of\n"
    "      wall-bounce, pointer-bounce, block-pushed, block-to-wall, block-jump,\n"
    "      goal-collected, marker-erased, level-complete, level-lost.\n"
    "  entity encode X1 X2 Y1 Y2 FLAGS TEXT\n"
    "      Write the text form of an entity to stdout.\n"
    "  entity decode\n"
    "      Read an entity's text form from stdin and print its six fields.\n"
    "  render IN.egf OUT.png [--width W] [--height H] [--palette P]\n"
    "      Draw one frame of a saved game's scene and write it as PNG, in the palette P:\n"
    "      classic (the default) or high-contrast.\n"
    "  thumbnail IN.egf OUT.png SIZE\n"
    "      Draw a saved game's playfield as a PNG at most SIZE pixels (1..4096) on its\n"
    "      longer side, keeping its aspect, for the file manager's thumbnails.\n"
    "  scores [FILE]\n"
    "      Print the high-score table FILE (default: the user's, in\n"
    "      $XDG_DATA_HOME/kestro/scores or ~/.local/share/kestro/scores), best first, one\n"
    "      entry a line: 'RANK points=P level=L accel=A speed=S date=YYYY-MM-DDThh:mm:ssZ\n"
    "      mark=saved|- name=NAME'. A missing table prints nothing.\n"
    "\n"
    "  --key K saves with the file key K (0..86400) instead of the time of day.\n"
    "  Errors are one line on stderr and exit status 1.\n";

// The usage text as printed.
std::string usage() {
    using namespace kestro;
    const std::pair<std::string_view, int> fields[] = {
        {"@L", kLevelSlider.start},
        {"@A", kAccelSlider.start},
        {"@S", kSpeedSlider.start},
        {"@W", kDesignFieldWidth},
        {"@H", kDesignFieldHeight},
        {"@C", kCols},
        {"@R", kRows},
    };
    std::string text = kUsageTemplate;
    for (const auto& [mark, value] : fields) {
        for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
            text.replace(at, mark.size(), std::to_string(value));
        }
    }
    return text;
}

// Prints the usage on stdout; status 1 when it is lost.
int printUsage() {
    std::cout << usage();
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "kestro-sim: cannot write to standard output\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kestro::sim;
    holdStandardStreams();
    Args all(argv + 1, argv + argc);
    if (all.empty()) {
        std::cerr << usage();
        return 1;
    }
    const std::string command = all.front();
    if (command == "--help" || command == "-h" || command == "help") {
        return printUsage();
    }
    const Args rest(all.begin() + 1, all.end());
    for (const auto& a : rest) {
        if (a == "--help") {
            return printUsage();
        }
    }
    try {
        if (command == "new") {
            return cmdNew(rest);
        }
        if (command == "step") {
            return cmdStep(rest);
        }
        if (command == "show") {
            return cmdShow(rest);
        }
        if (command == "play") {
            return cmdPlay(rest);
        }
        if (command == "entity") {
            return cmdEntity(rest);
        }
        if (command == "thumbnail") {
            return cmdThumbnail(rest);
        }
        if (command == "scores") {
            return cmdScores(rest);
        }
        if (command == "render") {
            execRender(rest);
        }
        throw CliError("unknown command '" + command + "' (try --help)");
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "kestro-sim: " << e.what() << "\n";
        return 1;
    }
}
