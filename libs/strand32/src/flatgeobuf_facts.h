#pragma once
// The facts of a FlatGeobuf file from its header alone, when the header
// states what GDAL's FlatGeobuf driver would report: a four-number envelope
// (GDAL's extent) and a system given by a code or WKT.
#include <optional>
#include <string>

#include "strand32/file_facts.h"

namespace strand32 {

// Nothing when GDAL must be asked (no envelope, a system that is only
// coordinate metadata, a file that cannot be read as FlatGeobuf).
std::optional<FileFacts> readFlatGeobufFacts(const std::string& path);

} // namespace strand32
