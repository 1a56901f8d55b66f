#pragma once
// What a found file tells about its place on the earth: its extent in its own
// coordinates, the definition of its coordinate system and the keys the
// coordinate-system database knows it by, read as the search's tests read
// them (the layer kind from the extension).
#include <quill32/coordsys_keys.h>
#include <strand32/mapora_layer.h>

#include <optional>
#include <string>

namespace finder {

struct FileFacts {
    std::optional<MaporaExtent> extent; // in the file's own coordinates
    std::string crsDefinition;          // WKT; empty when the file names no system
    std::optional<CoordSysKeys> keys;   // empty when the system has no keys
};

// Nothing is known of a file of no layer kind, or one that cannot be read.
FileFacts fileFactsOf(const std::string& fullPath);

// A 64-byte key field as text (it may fill the field without a NUL).
std::string keyText(const char (&key)[quill32::kKeySize]);

} // namespace finder
