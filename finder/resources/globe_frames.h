#pragma once
// The search animation: a globe turning about its axis, drawn at start-up.
#include <QPixmap>
#include <vector>

class QPainter;

namespace finder {

constexpr int kGlobeFrameCount = 15;
constexpr int kGlobeFrameSize = 32;

// Frame i shows the globe turned by i/15 of a full turn, so the last frame
// leads smoothly back into the first.
QPixmap drawGlobeFrame(int index);
// Paints frame `index` into the square (0, 0)-(32, 32) of the painter's
// coordinates, so that a scaled painter draws it at any size.
void paintGlobeFrame(QPainter& p, int index);
std::vector<QPixmap> drawGlobeFrames();

} // namespace finder
