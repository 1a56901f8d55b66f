#include "tile_reader.h"

#include "general_info.h"
#include "rastrel/imdl.h"

#include "platform/global_memory.h"

#include <algorithm>
#include <cstring>

namespace rastrel {

namespace {

// Keeps a global block locked for the length of a scope.
class LockedBlock {
public:
    explicit LockedBlock(std::uintptr_t handle)
        : handle_(handle), data_(static_cast<std::uint8_t*>(platform::GlobalLock(handle))) {}
    ~LockedBlock() {
        if (data_)
            platform::GlobalUnlock(handle_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    std::uint8_t* data() const { return data_; }

private:
    std::uintptr_t handle_;
    std::uint8_t* data_;
};

// Reads one tile record into the staging buffer; false when the host cannot
// seek to it or deliver it whole.
bool readRecord(const ImageRecord& record, std::uint64_t number, std::uint8_t* staging) {
    const auto* procs = reinterpret_cast<const HostFileProcs*>(record.procs);
    if (!procs || !procs->seek || !procs->read)
        return false;
    const std::uint64_t offset = kFirstTileOffset + number * kTileRecordSize;
    if (procs->seek(record.file, static_cast<std::uintptr_t>(offset), 0) != offset)
        return false;
    return procs->read(record.file, reinterpret_cast<std::uintptr_t>(staging), kTileRecordSize) ==
           kTileRecordSize;
}

// Fills the band with tile row `tileRow`: existing tiles converted, missing
// and unreadable ones filled.
void loadBand(const ImageRecord& record, std::uint8_t* band, std::int32_t tileRow,
              const ColourTable& colours) {
    std::uint8_t* staging = band + std::size_t(record.tileColumns) * kTilePixels;
    const std::uint64_t first = std::uint64_t(tileRow) * std::uint64_t(record.tileColumns);
    const LockedBlock map(record.tileMap);
    const std::uint8_t* present = map.data();
    const std::size_t tiles = std::size_t(record.tileRows) * std::size_t(record.tileColumns);
    if (record.tileMap != 0 && (!present || platform::GlobalSize(record.tileMap) < tiles)) {
        // No usable map: no tile can be located.
        std::memset(band, colours.fillIndex(), std::size_t(record.tileColumns) * kTilePixels);
        return;
    }
    std::uint64_t next = first;
    if (present)
        next = std::uint64_t(std::count_if(present, present + first, [](auto v) { return v; }));
    for (std::int32_t column = 0; column < record.tileColumns; ++column) {
        std::uint8_t* slot = band + std::size_t(column) * kTilePixels;
        bool exists = true;
        std::uint64_t number = first + std::uint64_t(column);
        if (present) {
            exists = present[first + std::uint64_t(column)] != 0;
            if (exists)
                number = next++;
        }
        if (exists && readRecord(record, number, staging))
            convertTile(staging, slot, colours);
        else
            std::memset(slot, colours.fillIndex(), kTilePixels);
    }
}

} // namespace

std::size_t bandBlockSize(std::int32_t tileColumns) {
    return std::size_t(std::max(tileColumns, 0)) * kTilePixels + kTileRecordSize;
}

void convertTile(const std::uint8_t* record, std::uint8_t* indices, const ColourTable& colours) {
    const std::uint8_t* red = record;
    const std::uint8_t* green = record + kTilePixels;
    const std::uint8_t* blue = record + 2 * kTilePixels;
    for (std::size_t j = 0; j < kTilePixels; ++j)
        indices[j] = colours.indexOf(red[j], green[j], blue[j]);
}

void readRows(ImageRecord& record, std::uint8_t* dest, std::int32_t rows, std::int32_t bytesPerRow,
              std::int32_t firstColumn, const ColourTable& colours) {
    if (rows <= 0 || bytesPerRow <= 0)
        return;
    std::memset(dest, colours.fillIndex(), std::size_t(rows) * std::size_t(bytesPerRow));
    const LockedBlock bandBlock(record.band);
    std::uint8_t* band = bandBlock.data();
    if (!band || record.tileColumns <= 0 ||
        platform::GlobalSize(record.band) < bandBlockSize(record.tileColumns))
        return;
    // Image columns that this request covers.
    const std::int64_t columnFrom = std::max<std::int64_t>(firstColumn, 0);
    const std::int64_t columnTo =
        std::min<std::int64_t>(std::int64_t(firstColumn) + bytesPerRow, record.width);
    // Buffer row i holds image row last - i; only rows inside the image are read.
    const std::int64_t last = std::int64_t(record.currentRow) + rows - 1;
    const std::int64_t iFrom = std::max<std::int64_t>(0, last - (record.height - 1));
    const std::int64_t iTo = std::min<std::int64_t>(rows - 1, last);
    for (std::int64_t i = iFrom; i <= iTo; ++i) {
        const std::int64_t row = last - i;
        const auto tileRow = static_cast<std::int32_t>(row / kTileSide);
        if (tileRow != record.loadedTileRow) {
            loadBand(record, band, tileRow, colours);
            record.loadedTileRow = tileRow;
        }
        std::uint8_t* out = dest + std::size_t(i) * std::size_t(bytesPerRow);
        const std::size_t rowInTile = std::size_t(row % kTileSide) * kTileSide;
        for (std::int64_t column = columnFrom; column < columnTo;) {
            const std::int64_t within = column % kTileSide;
            const std::int64_t piece =
                std::min<std::int64_t>(kTileSide - within, columnTo - column);
            const std::uint8_t* from = band + std::size_t(column / kTileSide) * kTilePixels +
                                       rowInTile + std::size_t(within);
            std::memcpy(out + (column - firstColumn), from, std::size_t(piece));
            column += piece;
        }
    }
}

} // namespace rastrel
