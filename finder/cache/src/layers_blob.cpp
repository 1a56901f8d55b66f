// Layer facts written to and read from one blob.
#include "layers_blob.h"

#include "blob_bytes.h"

#include <cstring>

namespace finder {
namespace {

constexpr std::size_t kMaxTextBytes = 4096;

void putKey(std::string& out, const char (&key)[quill32::kKeySize]) {
    blob::putText(out, std::string_view(key, ::strnlen(key, quill32::kKeySize - 1)));
}

bool takeKey(std::string_view& in, char (&key)[quill32::kKeySize]) {
    std::string text;
    if (!blob::takeText(in, text, quill32::kKeySize - 1))
        return false;
    std::memcpy(key, text.data(), text.size());
    key[text.size()] = '\0';
    return true;
}

} // namespace

std::string encodeLayers(const std::vector<strand32::LayerFacts>& layers,
                         const SystemIdOf& systemId) {
    std::string out;
    for (const strand32::LayerFacts& layer : layers) {
        blob::putText(out, layer.name);
        blob::putText(out, layer.geometryType);
        blob::put(out, layer.extent ? 1 : 0, 1);
        if (const auto& e = layer.extent) {
            for (double value : {e->west, e->north, e->east, e->south})
                blob::putDouble(out, value);
        }
        blob::put(out, static_cast<std::uint64_t>(systemId(layer.crsWkt, layer.crsName)), 8);
        blob::put(out, layer.keys ? 1 : 0, 1);
        if (const auto& k = layer.keys) {
            for (const auto* key : {&k->group, &k->system, &k->datum, &k->units})
                putKey(out, *key);
        }
    }
    return out;
}

std::optional<std::vector<strand32::LayerFacts>> decodeLayers(std::string_view in,
                                                              const SystemOfId& systemOf) {
    std::vector<strand32::LayerFacts> layers;
    while (!in.empty()) {
        strand32::LayerFacts layer;
        std::uint64_t flag = 0, id = 0;
        if (!blob::takeText(in, layer.name, kMaxTextBytes) ||
            !blob::takeText(in, layer.geometryType, kMaxTextBytes) || !blob::take(in, flag, 1))
            return std::nullopt;
        if (flag != 0) {
            strand32::Extent e;
            if (!blob::takeDouble(in, e.west) || !blob::takeDouble(in, e.north) ||
                !blob::takeDouble(in, e.east) || !blob::takeDouble(in, e.south))
                return std::nullopt;
            layer.extent = e;
        }
        if (!blob::take(in, id, 8))
            return std::nullopt;
        if (id != 0) {
            const KeptSystem* system = systemOf(static_cast<std::int64_t>(id));
            if (system == nullptr)
                return std::nullopt;
            layer.crsWkt = system->first;
            layer.crsName = system->second;
        }
        if (!blob::take(in, flag, 1))
            return std::nullopt;
        if (flag != 0) {
            CoordSysKeys keys{};
            if (!takeKey(in, keys.group) || !takeKey(in, keys.system) || !takeKey(in, keys.datum) ||
                !takeKey(in, keys.units))
                return std::nullopt;
            layer.keys = keys;
        }
        layers.push_back(std::move(layer));
    }
    return layers;
}

} // namespace finder
