#pragma once
// The coordinate system GDAL made of a definition met in a file's header (a
// shapefile's .prj text, a GeoTIFF's keys), kept for the life of the
// process: files that state the same definition get the same system, a
// failed one included, without GDAL. Safe from any thread.
#include <optional>
#include <string>

#include "strand32/layer_info.h"

namespace strand32 {

// Outer none: not met yet; inner none: GDAL found no system in it.
std::optional<std::optional<LayerCrs>> rememberedCrs(const std::string& definition);
void rememberCrs(const std::string& definition, const std::optional<LayerCrs>& crs);

} // namespace strand32
