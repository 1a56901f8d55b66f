// Shapefile header and index records: any bytes give a header only when it
// is plainly valid (a shape type, a finite box with min <= max, an even
// length), and index records are judged without reading past their end.
#include "fuzz_check.h"
#include "shape_header.h"

#include <climits>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= strand32::kShapeHeaderSize) {
        const auto header =
            strand32::parseShapeHeader(std::span<const unsigned char, strand32::kShapeHeaderSize>(
                data, strand32::kShapeHeaderSize));
        if (header) {
            FUZZ_CHECK(std::isfinite(header->xMin) && std::isfinite(header->yMin) &&
                       std::isfinite(header->xMax) && std::isfinite(header->yMax));
            FUZZ_CHECK(header->xMin <= header->xMax && header->yMin <= header->yMax);
            FUZZ_CHECK(header->fileBytes % 2 == 0 && header->shapeType > 0);
        }
        const std::size_t records = (size - strand32::kShapeHeaderSize) /
                                    strand32::kShapeIndexRecordSize *
                                    strand32::kShapeIndexRecordSize;
        const std::span<const unsigned char> index(data + strand32::kShapeHeaderSize, records);
        if (strand32::shapeIndexRecordsValid(index)) {
            for (std::size_t at = 0; at < records; at += strand32::kShapeIndexRecordSize)
                FUZZ_CHECK(index[at] < 0x80); // an offset beyond INT_MAX words starts with 1
        }
        // A part record is never whole.
        if (records > 0)
            FUZZ_CHECK(!strand32::shapeIndexRecordsValid(index.first(records - 1)));
    }
    return 0;
}
