#pragma once
// A file of several layers seen as one: the union of its layers' extents in
// their common system, or in longitude/latitude on WGS 84 when their systems
// differ.
#include "strand32/file_facts.h"

namespace strand32 {

// Sets `facts.extent`, `crsWkt` and `crsName` from its layers: the only
// layer's own; the union in the system all layers with an extent share;
// else the union of those that can be turned into degrees, on WGS 84.
// Nothing is set when no layer has an extent (the system then is the
// layers' common one, if any).
void uniteLayers(FileFacts& facts);

} // namespace strand32
