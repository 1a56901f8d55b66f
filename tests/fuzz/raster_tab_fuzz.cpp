// MapInfo raster table test: any table text names an image of at most 255
// characters, or none; its path is in the table's folder unless the name is
// a full path, which stands as it is; the descriptor built from it keeps
// every slot within its bounds.
#include "fuzz_check.h"
#include "strand32/layer.h"
#include "temp_folder.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testsupport::TempDir folder;
    const std::string table = fuzz::rewrite(folder, "table.tab", fuzz::text(data, size));
    if (const auto image = strand32::rasterTableImage(table))
        FUZZ_CHECK(image->size() <= 255);
    if (const auto path = strand32::rasterTableImagePath(table)) {
        const bool inFolder = path->compare(0, folder.str().size() + 1, folder.str() + "/") == 0;
        const bool fullName = path->size() <= 255 && path->front() == '/';
        FUZZ_CHECK(inFolder || fullName);
    }
    LayerDescriptor descriptor;
    strand32::buildPageLayerDescriptor(table, descriptor);
    FUZZ_CHECK(strnlen(descriptor.fileName, strand32::kLayerPathSize) < strand32::kLayerPathSize);
    for (const auto& slot : descriptor.companion)
        FUZZ_CHECK(strnlen(slot, strand32::kLayerPathSize) < strand32::kLayerPathSize);
    return 0;
}
