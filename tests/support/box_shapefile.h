#pragma once
// A shapefile in longitude/latitude (WGS 84) holding one rectangle of
// meridians and parallels, written by ogr2ogr: the smallest data file of a
// known place, for tests of footprints and coverage.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace testsupport {

struct LonLatBox {
    double west, south, east, north;
};

// Writes FOLDER/STEM.shp (with .shx, .dbf, .prj); false when ogr2ogr failed.
inline bool writeBoxShapefile(const std::string& folder, const std::string& stem,
                              const LonLatBox& b) {
    const std::string source = folder + "/" + stem + ".box.geojson";
    char text[400];
    std::snprintf(text, sizeof text,
                  R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
                  R"("geometry":{"type":"Polygon","coordinates":[[[%g,%g],[%g,%g],[%g,%g],)"
                  R"([%g,%g],[%g,%g]]]}}]})",
                  b.west, b.south, b.east, b.south, b.east, b.north, b.west, b.north, b.west,
                  b.south);
    std::ofstream(source) << text;
    const std::string command = "ogr2ogr -f 'ESRI Shapefile' '" + folder + "/" + stem + ".shp' '" +
                                source + "' 2>/dev/null";
    const bool written = std::system(command.c_str()) == 0;
    std::remove(source.c_str());
    return written;
}

} // namespace testsupport
