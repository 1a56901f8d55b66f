#pragma once
// The two dialog templates of the pages, held as the module's resources,
// and the ids of their value controls.
#include "platform/property_sheet.h"

namespace velmora {

// Geography page ("GeoProperties").
constexpr int IDC_COORDSYS = 1002;
constexpr int IDC_DATUM = 1003;
constexpr int IDC_UNITS = 1004;
constexpr int IDC_NORTHWEST_NORTH = 104;
constexpr int IDC_NORTHWEST_EAST = 108;
constexpr int IDC_SOUTHEAST_NORTH = 103;
constexpr int IDC_SOUTHEAST_EAST = 105;

// Spatial Objects page ("ObjectProperties").
constexpr int IDC_POINT_OBJECTS = 1005;
constexpr int IDC_LINE_OBJECTS = 1006;
constexpr int IDC_POLYGON_OBJECTS = 1007;
constexpr int IDC_OTHER_OBJECTS = 1008;
constexpr int IDC_TOTAL_OBJECTS = 1009;
constexpr int IDC_COUNT = 1010;

// Layers page ("LayerProperties"): a name and a description per row, the
// last row telling how many layers did not fit; Count as on Spatial Objects.
constexpr int kLayerRows = 12;
constexpr int IDC_LAYER_NAME = 1100; // + row
constexpr int IDC_LAYER_TEXT = 1200; // + row

inline constexpr char kGeoTemplate[] = "GeoProperties";
inline constexpr char kObjectTemplate[] = "ObjectProperties";
inline constexpr char kLayerTemplate[] = "LayerProperties";

extern const platform::ModuleResources kModuleResources;

} // namespace velmora
