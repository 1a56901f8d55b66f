#pragma once
// The search animation: a globe turning about its axis, drawn at start-up.
#include <QPixmap>
#include <vector>

namespace finder {

constexpr int kGlobeFrameCount = 15;
constexpr int kGlobeFrameSize = 32;

// Frame i shows the globe turned by i/15 of a full turn, so the last frame
// leads smoothly back into the first.
QPixmap drawGlobeFrame(int index);
std::vector<QPixmap> drawGlobeFrames();

} // namespace finder
