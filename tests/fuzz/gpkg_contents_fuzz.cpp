// GeoPackage catalogue: any bytes, written as a file, are read with SQLite
// (read-only, immutable) without harm; what is read holds only finite
// extents in order. The same bytes as an R*Tree node give a box in order or
// none.
#include "fuzz_check.h"
#include "geopackage_contents.h"
#include "temp_folder.h"

#include <cmath>

namespace {

void checkExtent(const std::optional<strand32::Extent>& e) {
    if (e) {
        FUZZ_CHECK(std::isfinite(e->west) && std::isfinite(e->east) && std::isfinite(e->north) &&
                   std::isfinite(e->south));
        FUZZ_CHECK(e->west <= e->east && e->south <= e->north);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testsupport::TempDir folder;
    checkExtent(strand32::rtreeNodeExtent(fuzz::text(data, size)));
    const std::string file = fuzz::rewrite(folder, "f.gpkg", fuzz::text(data, size));
    if (const auto contents = strand32::readGeoPackageContents(file)) {
        for (const auto& table : contents->tables) {
            checkExtent(table.recorded);
            checkExtent(table.indexed);
            FUZZ_CHECK(table.hasIndex || !table.indexed);
        }
        strand32::staleExtentTables(*contents);
    }
    return 0;
}
