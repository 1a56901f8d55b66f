#pragma once
// The facts of a LAS or LAZ point cloud, from its header alone: one layer of
// points, the header's bounds and point count, and the system its records
// name (WKT, or GeoTIFF keys read as GDAL reads them).
#include <string>

#include "strand32/file_facts.h"

namespace strand32 {

// Never throws for a bad file: `error` says why nothing is known.
FileFacts readPointCloudFacts(const std::string& path, LayerType kind, FactsRequest request);

} // namespace strand32
