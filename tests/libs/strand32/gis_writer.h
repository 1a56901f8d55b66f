#pragma once
// Writes small GIS files with GDAL for the tests: vector layers from WKT
// geometries and rasters with a chosen georeferencing.
#include <array>
#include <string>
#include <vector>

namespace strand32test {

// A vector file with one layer holding `wkts`; `driver` is a GDAL driver
// name ("ESRI Shapefile", "MapInfo File", "DXF", "DGN"); epsg 0 = none.
void writeVector(const std::string& path, const char* driver, int epsg,
                 const std::vector<std::string>& wkts);

// A one-band byte raster of w x h pixels; an empty geoTransform writes none;
// epsg 0 = no coordinate system.
void writeRaster(const std::string& path, const char* driver, int w, int h,
                 const std::vector<double>& geoTransform, int epsg);

// The WKT (version 2) of an EPSG coordinate system.
std::string epsgWkt(int epsg);

} // namespace strand32test
