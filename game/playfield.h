#pragma once
// The playfield's designed size in pixels: what the window gives it on a screen that holds the
// whole window, and the picture size taken when no other is asked for.

namespace kestro {

inline constexpr int kDesignFieldWidth = 582;
inline constexpr int kDesignFieldHeight = 525;

}  // namespace kestro
