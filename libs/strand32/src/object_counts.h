#pragma once
// Objects of a vector layer counted by the kind of their geometry: points,
// lines, polygons and others, as the Spatial Objects page shows them.
#include <ogr_api.h>

#include "strand32/file_facts.h"

namespace strand32 {

// Reads every feature of `layer` (its attribute fields skipped) and adds it
// to `counts`; a feature without geometry is an other object.
void countLayerObjects(OGRLayerH layer, ObjectCounts& counts);

} // namespace strand32
