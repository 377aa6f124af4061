#pragma once
// Who the program is to the desktop: its application id (the name of its desktop entry, its
// icon and its metainfo) and the build's version, both set by the build.

#include <string_view>

namespace kestro::shell {

// The reverse-DNS application id, e.g. "org.kestro.Kestro".
std::string_view appId();

// The build's version, "major.minor.patch" (common/version.h).
std::string_view buildVersion();

}  // namespace kestro::shell
