// Plays the events of a kestro-sim play on the sound server, at their times on the real clock:
// lines "<ms> event NAME" on stdin (other lines are skipped). Prints "<ms> NAME" when it hands
// each event to the player, and "<ms> written NAME us=U" when the player writes its first
// block (U: microseconds from the event). --off plays with sounds off. Ends one second after
// the last event.

#include <chrono>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sound/player.h"
#include "sound/system_output.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
    using namespace kestro;
    const bool off = argc > 1 && std::string(argv[1]) == "--off";
    std::vector<std::pair<Millis, GameEvent>> events;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        Millis ms = 0;
        std::string kind, name;
        if (!(words >> ms >> kind >> name) || kind != "event") {
            continue;
        }
        for (std::size_t i = 0; i < kGameEventCount; ++i) {
            if (kGameEventNames[i] == name) {
                events.emplace_back(ms, static_cast<GameEvent>(i));
            }
        }
    }
    const auto start = Clock::now();
    std::mutex out;
    auto sinceStart = [&] {
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    };
    std::unique_ptr<sound::SoundPlayer> player;
    if (!off) {
        player = std::make_unique<sound::SoundPlayer>(sound::openSystemOutput);
    }
    std::int64_t handedUs = 0;
    if (player) {
        player->onWrite = [&](GameEvent e) {
            const std::lock_guard lock(out);
            const auto now = sinceStart();
            std::cout << now / 1000 << " written " << kestro::eventName(e)
                      << " us=" << now - handedUs << "\n";
        };
    }
    for (const auto& [ms, e] : events) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
        {
            const std::lock_guard lock(out);
            handedUs = sinceStart();
            std::cout << handedUs / 1000 << " " << kestro::eventName(e) << "\n";
        }
        if (player) {
            player->happened(e, ms);
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    player.reset();
    std::cout.flush();
    return 0;
}
