#pragma once
// Identifies a coordinate system given as WKT (any version) or a PROJ string
// and names it with the keys the database uses for it, so a file's keys can
// be compared with those of the objects the pickers list.
#include <string_view>

#include "quill32/coordsys_keys.h"

namespace quill32 {

// False (keys untouched) when PROJ cannot make sense of the definition.
bool identifyCoordSys(std::string_view definition, CoordSysKeys& keys);

} // namespace quill32
