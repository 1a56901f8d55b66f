#pragma once
// The facts of a file of a kind beyond the layer table, read the quickest
// sound way: the kind confirmed by content, point clouds from their header,
// GeoPackages from their catalogue and FlatGeobuf files from their header
// when these state what GDAL would report, everything else with GDAL.
#include <string>

#include "strand32/file_facts.h"

namespace strand32 {

// True for the kinds read here (codes from 0x6001 up).
bool isBeyondTableKind(LayerType kind);

// `byName` as layerTypeOf gave it. A file that content shows to be no layer
// (a plain SQLite database, an .img that is not Imagine, a GeoPackage of
// attribute tables only) has kind None. Never throws for a bad file.
FileFacts readKindFacts(const std::string& path, LayerType byName, FactsRequest request);

} // namespace strand32
