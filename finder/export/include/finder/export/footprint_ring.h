#pragma once
// The outline of a file's extent on the earth, in longitude/latitude on
// WGS 84: what a GIS draws as the file's footprint.
#include <strand32/file_facts.h>
#include <strand32/lonlat_ring.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace finder {

struct LonLat {
    double lon = 0;
    double lat = 0;
};
// Counter-clockwise, the first point repeated at the end.
using FootprintRing = std::vector<LonLat>;

// The ring as the map and the coverage take it.
strand32::LonLatRing lonLatRingOf(const FootprintRing& ring);

// Points put on each edge of a projected extent, so that its outline follows
// the curved lines the edges become in longitude/latitude.
inline constexpr int kFootprintEdgeSegments = 32;

// Makes the rings of many files, keeping the transformation of each
// coordinate system it has met. One thread at a time.
class FootprintMaker {
public:
    FootprintMaker();
    ~FootprintMaker();
    FootprintMaker(const FootprintMaker&) = delete;
    FootprintMaker& operator=(const FootprintMaker&) = delete;

    // The extent's outline: the edges of a projected extent densified, the
    // corners of a geographic one moved to WGS 84. An extent without a
    // coordinate system is read as longitudes and latitudes when it lies
    // within the world's, as the search's area test reads it. Nothing when
    // the extent is unknown or cannot be placed on the earth.
    std::optional<FootprintRing> ring(const strand32::FileFacts& facts);

private:
    struct Transformation;
    const Transformation& transformationFor(const std::string& definition);

    std::map<std::string, std::unique_ptr<Transformation>> transformations_;
};

} // namespace finder
