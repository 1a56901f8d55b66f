// Reading the columns of a footprint entry.
#include "footprint_row.h"

#include "companion_blob.h"

#include <algorithm>
#include <cstring>

namespace finder {
namespace {

std::optional<CoordSysKeys> keyColumns(sqlite3_stmt* s) {
    if (sqlite3_column_type(s, kGroupKey) == SQLITE_NULL)
        return std::nullopt;
    CoordSysKeys keys{};
    char* fields[] = {keys.group, keys.system, keys.datum, keys.units};
    for (int i = 0; i < 4; ++i) {
        const auto* text = sqlite3_column_text(s, kGroupKey + i);
        const int bytes = std::min(sqlite3_column_bytes(s, kGroupKey + i), quill32::kKeySize - 1);
        if (text != nullptr)
            std::memcpy(fields[i], text, static_cast<std::size_t>(bytes));
    }
    return keys;
}

} // namespace

std::optional<strand32::Extent> rectColumns(sqlite3_stmt* s, int column) {
    if (sqlite3_column_type(s, column) == SQLITE_NULL)
        return std::nullopt;
    return strand32::Extent{sqlite3_column_double(s, column), sqlite3_column_double(s, column + 1),
                            sqlite3_column_double(s, column + 2),
                            sqlite3_column_double(s, column + 3)};
}

FileStamp stampColumns(sqlite3_stmt* s, int column) {
    return FileStamp{static_cast<std::uint64_t>(sqlite3_column_int64(s, column)),
                     static_cast<std::uint64_t>(sqlite3_column_int64(s, column + 1)),
                     static_cast<std::uint64_t>(sqlite3_column_int64(s, column + 2)),
                     sqlite3_column_int64(s, column + 3)};
}

std::string_view blobColumn(sqlite3_stmt* s, int column) {
    const auto* blob = static_cast<const char*>(sqlite3_column_blob(s, column));
    return std::string_view(blob ? blob : "",
                            static_cast<std::size_t>(sqlite3_column_bytes(s, column)));
}

std::optional<strand32::FileFacts>
factsOfRow(sqlite3_stmt* s, const SystemOfId& systemOf,
           const FootprintCache::CompanionStamper* companionStamp) {
    const auto companions = decodeCompanions(blobColumn(s, kCompanions));
    if (!companions)
        return std::nullopt;
    strand32::FileFacts facts;
    for (const CompanionStamp& c : *companions) {
        if (companionStamp != nullptr && (*companionStamp)(c.name) != c.stamp)
            return std::nullopt;
        facts.companions.push_back(c.name);
    }
    auto layers = decodeLayers(blobColumn(s, kLayers), systemOf);
    if (!layers)
        return std::nullopt;
    if (sqlite3_column_type(s, kCrs) != SQLITE_NULL) {
        const KeptSystem* system = systemOf(sqlite3_column_int64(s, kCrs));
        if (system == nullptr)
            return std::nullopt;
        facts.crsWkt = system->first;
        facts.crsName = system->second;
    }
    facts.kind = static_cast<LayerType>(sqlite3_column_int(s, kKind));
    facts.layers = std::move(*layers);
    facts.extent = rectColumns(s, kWest);
    facts.lonLat = rectColumns(s, kLonWest);
    facts.keysRead = sqlite3_column_int(s, kKeysRead) != 0;
    facts.keys = keyColumns(s);
    return facts;
}

} // namespace finder
