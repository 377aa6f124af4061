#pragma once
// Who the program is to the desktop: its application id (the name of its desktop entry, its
// icon and its metainfo), the build's version, where the project is published and its licence,
// all set by the build.

#include <string_view>

namespace kestro::shell {

// The reverse-DNS application id, e.g. "org.kestro.Kestro".
std::string_view appId();

// The build's version, "major.minor.patch" (common/version.h).
std::string_view buildVersion();

// Where the project is published, e.g. "https://kestro.example.org".
std::string_view homepage();

// The licence of the LICENSE file, as its SPDX id ("MIT").
std::string_view licence();

}  // namespace kestro::shell
