#pragma once
// The layers of a cache entry as one blob: for each, its name and geometry
// type, its extent (a flag, then four doubles), the id of its coordinate
// system in the cache's table of systems (0: none) and its keys (a flag,
// then four texts). Numbers little-endian, texts length-prefixed.
#include <strand32/file_facts.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace finder {

// The id a system's definition is kept under (0 for none), and back.
using SystemIdOf = std::function<std::int64_t(const std::string& wkt, const std::string& name)>;
// The definition and name of a kept system (first, second); none when the
// table does not hold it. The pointer lives as long as the cache.
using KeptSystem = std::pair<strand32::SharedText, std::string>;
using SystemOfId = std::function<const KeptSystem*(std::int64_t id)>;

std::string encodeLayers(const std::vector<strand32::LayerFacts>& layers,
                         const SystemIdOf& systemId);

// Nothing when the blob is not one encodeLayers wrote, or names a system
// the table does not hold.
std::optional<std::vector<strand32::LayerFacts>> decodeLayers(std::string_view blob,
                                                              const SystemOfId& systemOf);

} // namespace finder
