#pragma once
// Writing a STAC catalog of found files to a folder, what it came to and its
// texts for the user. Free of GDAL: kavrel-find reaches the part that places
// the files' outlines (stac_facts.h) through the layer module.
#include "finder/export/stac_catalog.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace finder {

struct StacExport {
    std::size_t items = 0;    // Items written
    std::size_t unplaced = 0; // of them, files without a known extent
    std::string error;        // non-empty: the catalog was not written whole
};

// Writes the documents below `folder`, made with its parents as needed; each
// file goes to a temporary name first and is renamed into place. Returns
// "Cannot write PATH: REASON" for the first that fails, else nothing.
std::string writeStacDocuments(const std::string& folder,
                               const std::vector<StacDocument>& documents);

// "STAC catalog of N file(s) written to FOLDER/catalog.json", then "; M of
// them without a known extent" when some were.
std::string stacWrittenText(const StacExport& result, const std::string& folder);

} // namespace finder
