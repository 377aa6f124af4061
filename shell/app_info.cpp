#include "shell/app_info.h"

#include "common/version.h"

namespace kestro::shell {

std::string_view appId() {
    return KESTRO_APP_ID;
}

std::string_view buildVersion() {
    return kVersion;
}

std::string_view homepage() {
    return KESTRO_HOMEPAGE;
}

std::string_view licence() {
    return KESTRO_LICENSE;
}

}  // namespace kestro::shell
