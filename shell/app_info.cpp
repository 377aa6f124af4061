#include "shell/app_info.h"

namespace kestro::shell {

std::string_view appId() {
    return KESTRO_APP_ID;
}

std::string_view buildVersion() {
    return KESTRO_VERSION;
}

}  // namespace kestro::shell
