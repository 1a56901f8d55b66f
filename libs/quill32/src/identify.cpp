// Names a coordinate system given as WKT or a PROJ string with the keys of
// the database: through its EPSG code when PROJ finds one, otherwise from
// its projection and datum by the same naming rules.
#include "quill32/identify.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "catalog.h"
#include "naming.h"
#include "proj_handles.h"

namespace quill32 {

namespace {

constexpr int kMinConfidence = 70;
constexpr std::size_t kCacheLimit = 4096;

struct Keys {
    std::string group, system, datum, units;
};

int epsgCode(const PJ* obj) {
    const char* auth = proj_get_id_auth_name(obj, 0);
    const char* code = proj_get_id_code(obj, 0);
    if (auth == nullptr || code == nullptr || std::strcmp(auth, "EPSG") != 0)
        return 0;
    return std::atoi(code);
}

// EPSG code of the CRS itself, or of its best match when PROJ is confident.
int findEpsg(PJ_CONTEXT* ctx, const PJ* crs, const Catalog& catalog) {
    if (const int own = epsgCode(crs); own && catalog.findCrs(own))
        return own;
    int* rawConfidence = nullptr;
    PjListPtr list(proj_identify(ctx, crs, "EPSG", nullptr, &rawConfidence));
    IntListPtr confidence(rawConfidence);
    int found = 0;
    const int n = list && confidence ? proj_list_get_count(list.get()) : 0;
    for (int i = 0; i < n && !found; ++i) {
        if (confidence.get()[i] < kMinConfidence)
            break; // sorted by decreasing confidence
        PjPtr match(proj_list_get(ctx, list.get(), i));
        const int code = match ? epsgCode(match.get()) : 0;
        if (code && catalog.findCrs(code))
            found = code;
    }
    return found;
}

// The key of the first axis's unit, by its size (angular for a geographic system).
std::string unitsOf(PJ_CONTEXT* ctx, const PJ* crs, bool geographic) {
    PjPtr cs(proj_crs_get_coordinate_system(ctx, crs));
    const char* unit = nullptr;
    double size = 0;
    if (!cs ||
        !proj_cs_get_axis_info(ctx, cs.get(), 0, nullptr, nullptr, nullptr, &size, &unit, nullptr,
                               nullptr) ||
        unit == nullptr)
        return {};
    return naming::unitsKey(unit, size, geographic);
}

std::string datumOf(PJ_CONTEXT* ctx, const PJ* crs, const Catalog& catalog) {
    PjPtr geodetic(proj_crs_get_geodetic_crs(ctx, crs));
    if (!geodetic)
        return {};
    const auto& datums = catalog.database().datums;
    if (const int code = findEpsg(ctx, geodetic.get(), catalog))
        return datums[catalog.findCrs(code)->datum].key;
    PjPtr datum(proj_crs_get_datum_forced(ctx, geodetic.get()));
    if (!datum)
        return {};
    if (auto d = catalog.findDatumCode(epsgCode(datum.get())))
        return datums[*d].key;
    const char* name = proj_get_name(datum.get());
    if (name == nullptr)
        return {};
    if (auto d = catalog.findDatumName(name))
        return datums[*d].key;
    return naming::datumKey(name, 0);
}

// Parameters of a conversion by EPSG parameter code, in degrees and metres.
std::optional<double> parameter(PJ_CONTEXT* ctx, const PJ* op, int epsgParam, bool angle) {
    const int n = proj_coordoperation_get_param_count(ctx, op);
    for (int i = 0; i < n; ++i) {
        const char* code = nullptr;
        double value = 0, factor = 1;
        if (!proj_coordoperation_get_param(ctx, op, i, nullptr, nullptr, &code, &value, nullptr,
                                           &factor, nullptr, nullptr, nullptr, nullptr))
            continue;
        if (code != nullptr && std::atoi(code) == epsgParam)
            return angle ? value * factor * 180.0 / M_PI : value * factor;
    }
    return std::nullopt;
}

// Group and system of a projected CRS that EPSG does not know as a whole.
std::optional<naming::SystemNaming> projectionOf(PJ_CONTEXT* ctx, const PJ* crs,
                                                 const Catalog& catalog) {
    PjPtr op(proj_crs_get_coordoperation(ctx, crs));
    if (!op)
        return std::nullopt;
    const auto& groups = catalog.database().groups;
    if (auto [g, s] = catalog.findConversion(epsgCode(op.get())); g >= 0)
        return naming::SystemNaming{groups[g].key, groups[g].name, groups[g].systems[s].key,
                                    groups[g].systems[s].name};
    const char* method = nullptr;
    const char* methodCode = nullptr;
    if (!proj_coordoperation_get_method_info(ctx, op.get(), &method, nullptr, &methodCode) ||
        method == nullptr)
        return std::nullopt;
    if (methodCode && std::atoi(methodCode) == 9807) { // Transverse Mercator
        auto lat0 = parameter(ctx, op.get(), 8801, true);
        auto lon0 = parameter(ctx, op.get(), 8802, true);
        auto k = parameter(ctx, op.get(), 8805, false);
        auto fe = parameter(ctx, op.get(), 8806, false);
        auto fn = parameter(ctx, op.get(), 8807, false);
        if (lat0 && lon0 && k && fe && fn)
            if (auto utm = naming::utmFromParameters(*lat0, *lon0, *k, *fe, *fn))
                return utm;
    }
    // Named by the same rules as the registry's conversions (a deprecated
    // State Plane zone still lands in its State Plane group).
    const char* opName = proj_get_name(op.get());
    auto result = naming::nameConversion(epsgCode(op.get()), opName ? opName : "", method);
    return result;
}

std::optional<Keys> identify(std::string_view definition) {
    const Catalog* catalog = Catalog::instance();
    PJ_CONTEXT* ctx = threadContext();
    if (catalog == nullptr || ctx == nullptr)
        return std::nullopt;
    PjPtr crs = createCrs(ctx, definition, true);
    if (!crs)
        return std::nullopt;
    const auto type = proj_get_type(crs.get());
    const bool geographic = type == PJ_TYPE_GEOGRAPHIC_2D_CRS || type == PJ_TYPE_GEOGRAPHIC_3D_CRS;
    if (!geographic && type != PJ_TYPE_PROJECTED_CRS)
        return std::nullopt;

    const Database& db = catalog->database();
    Keys keys;
    keys.units = unitsOf(ctx, crs.get(), geographic);
    if (const int code = findEpsg(ctx, crs.get(), *catalog)) {
        const CatalogEntry& e = *catalog->findCrs(code);
        keys.group = db.groups[e.group].key;
        keys.system = db.groups[e.group].systems[e.system].key;
        keys.datum = db.datums[e.datum].key;
        if (keys.units.empty())
            keys.units = e.units;
        return keys;
    }
    keys.datum = datumOf(ctx, crs.get(), *catalog);
    if (geographic) {
        keys.group = keys.system = naming::kLatLongKey;
    } else {
        auto projection = projectionOf(ctx, crs.get(), *catalog);
        if (!projection)
            return std::nullopt;
        keys.group = projection->groupKey;
        keys.system = projection->systemKey;
    }
    return keys;
}

// A search meets the same few definitions in thousands of files.
std::optional<Keys> cachedIdentify(std::string_view definition) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::optional<Keys>> cache;
    std::string text(definition);
    {
        std::lock_guard lock(mutex);
        if (auto it = cache.find(text); it != cache.end())
            return it->second;
    }
    auto found = identify(definition);
    std::lock_guard lock(mutex);
    if (cache.size() >= kCacheLimit)
        cache.clear();
    cache.emplace(std::move(text), found);
    return found;
}

void copyKey(char (&field)[kKeySize], const std::string& text) {
    std::memset(field, 0, kKeySize);
    std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), kKeySize - 1));
}

} // namespace

bool identifyCoordSys(std::string_view definition, CoordSysKeys& keys) {
    try {
        const auto found = cachedIdentify(definition);
        if (!found)
            return false;
        copyKey(keys.group, found->group);
        copyKey(keys.system, found->system);
        copyKey(keys.datum, found->datum);
        copyKey(keys.units, found->units);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace quill32
