#pragma once

/// Lengths on screen are kept in twips, 1/1440 inch, the unit the windows
/// were laid out in; a pixel is 15 of them.
inline constexpr int kTwipsPerPixel = 15;
