#pragma once
// The catalog's facts of found files: the facts the search read (a row
// without them is read now), its outline placed with PROJ, and the catalog
// of result rows written with them. This adapter is the one place that
// knows where the facts come from; the catalog itself (stac_catalog.h) does not.
#include "finder/export/export_row.h"
#include "finder/export/footprint_ring.h"
#include "finder/export/stac_export.h"

#include <string>
#include <vector>

namespace finder {

// Size and modification time as the search listed them (else from the file
// system), extent and system from the row's facts, the outline from `maker`,
// the EPSG code of the system when one names it exactly, its WKT2 otherwise.
StacFile stacFileOf(const ExportRow& row, FootprintMaker& maker);

// The catalog of `rows`, in their order, written to `folder` (made absolute).
StacExport exportStacCatalog(const std::string& folder, const std::vector<ExportRow>& rows);

} // namespace finder
