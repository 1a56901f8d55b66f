#pragma once
// A result row as one JSON object, for scripts: the five texts, the full
// path and, where known, the file's extent and coordinate-system keys.
#include "finder/export/export_row.h"

#include <string>
#include <string_view>

namespace finder {

// {"name":..,"folder":..,"size":..,"type":..,"modified":..,"path":..,
//  "extent":{"west":..,"north":..,"east":..,"south":..},
//  "keys":{"group":..,"system":..,"datum":..,"units":..}} on one line; extent
// and keys only when known. Bytes that are not UTF-8 become U+FFFD.
// `facts` may be null (nothing known).
std::string rowJson(const RowTexts& row, const std::string& path, const strand32::FileFacts* facts);

// `text` as a JSON string, quotes included.
std::string jsonString(std::string_view text);

} // namespace finder
