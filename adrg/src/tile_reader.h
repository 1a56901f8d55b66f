#pragma once
// Tile reading and row delivery: one tile row at a time is read through the
// host's file procedures, converted to palette indices and kept in the band.
#include "colour_table.h"
#include "image_record.h"

#include <cstddef>
#include <cstdint>

namespace rastrel {

constexpr std::size_t kTileRecordSize = 49152; // red, green and blue planes of 128 x 128
constexpr std::size_t kTilePixels = 16384;
constexpr std::uint64_t kFirstTileOffset = 2048;

// Bytes of the band block of an image: the converted tiles of one tile row
// followed by the staging buffer for one raw tile record.
std::size_t bandBlockSize(std::int32_t tileColumns);

// Converts one raw tile record into palette indices.
void convertTile(const std::uint8_t* record, std::uint8_t* indices, const ColourTable& colours);

// Delivers rows record.currentRow .. currentRow + rows - 1 bottom-up into
// `dest` (rows x bytesPerRow bytes), from image column `firstColumn` on.
// Bytes that no image pixel covers carry the fill index. Loads tile rows
// into the record's band as needed.
void readRows(ImageRecord& record, std::uint8_t* dest, std::int32_t rows, std::int32_t bytesPerRow,
              std::int32_t firstColumn, const ColourTable& colours);

} // namespace rastrel
