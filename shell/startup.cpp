#include "shell/startup.h"

#include <QTime>

#include "render/entity.h"

namespace kestro::shell {

std::vector<std::string> startupEntities(float scaleWidth, float scaleHeight) {
    renderEntity colour;
    colour.text = "c" + std::to_string(0);

    renderEntity banner;
    banner.x1 = static_cast<float>(static_cast<double>(scaleWidth) / 2.0);
    banner.y1 = static_cast<float>(static_cast<double>(scaleHeight) / 2.0);
    banner.flags = flagText;
    banner.text = std::string(kBanner);

    return {entityToText(colour), entityToText(banner)};
}

std::uint64_t timeOfDaySeed() {
    return static_cast<std::uint64_t>(QTime::currentTime().msecsSinceStartOfDay());
}

}  // namespace kestro::shell
