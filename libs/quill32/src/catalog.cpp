#include "catalog.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <sqlite3.h>

#include "naming.h"
#include "proj_handles.h"

namespace quill32 {

namespace {

struct SqliteClose {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct SqliteFinalize {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using SqliteDb = std::unique_ptr<sqlite3, SqliteClose>;
using SqliteStmt = std::unique_ptr<sqlite3_stmt, SqliteFinalize>;

std::string column(sqlite3_stmt* st, int i) {
    const auto* text = sqlite3_column_text(st, i);
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

// Runs a query and hands each row to the callback; false on SQL errors.
template <class Row> bool query(sqlite3* db, const char* sql, std::string& error, Row&& row) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return false;
    }
    SqliteStmt st(raw);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        row(st.get());
    if (rc != SQLITE_DONE) {
        error = sqlite3_errmsg(db);
        return false;
    }
    return true;
}

// Earth datums of EPSG, with the name of their first geographic 2D CRS.
constexpr const char* kDatumSql = R"(
SELECT CAST(d.code AS INTEGER), d.name, COALESCE(d.publication_date, '9999'),
  (SELECT g.name FROM geodetic_crs g WHERE g.auth_name = 'EPSG' AND g.deprecated = 0
     AND g.type = 'geographic 2D' AND g.datum_auth_name = 'EPSG' AND g.datum_code = d.code
   ORDER BY CAST(g.code AS INTEGER) LIMIT 1)
FROM geodetic_datum d JOIN ellipsoid e
  ON e.auth_name = d.ellipsoid_auth_name AND e.code = d.ellipsoid_code
WHERE d.auth_name = 'EPSG' AND e.celestial_body_code = 'EARTH')";

// Geographic CRSs: code, datum, unit of the first axis.
constexpr const char* kGeographicSql = R"(
SELECT CAST(g.code AS INTEGER), CAST(g.datum_code AS INTEGER), u.name
FROM geodetic_crs g
JOIN axis a ON a.coordinate_system_auth_name = g.coordinate_system_auth_name
  AND a.coordinate_system_code = g.coordinate_system_code AND a.coordinate_system_order = 1
JOIN unit_of_measure u ON u.auth_name = a.uom_auth_name AND u.code = a.uom_code
WHERE g.auth_name = 'EPSG' AND g.deprecated = 0 AND g.datum_auth_name = 'EPSG'
  AND g.type IN ('geographic 2D', 'geographic 3D')
ORDER BY CAST(g.code AS INTEGER))";

// Projected CRSs: code, conversion code/name/method, datum, unit.
constexpr const char* kProjectedSql = R"(
SELECT CAST(p.code AS INTEGER), CAST(c.code AS INTEGER), c.name, c.method_name,
       CAST(g.datum_code AS INTEGER), u.name
FROM projected_crs p
JOIN conversion c ON c.auth_name = p.conversion_auth_name AND c.code = p.conversion_code
JOIN geodetic_crs g ON g.auth_name = p.geodetic_crs_auth_name AND g.code = p.geodetic_crs_code
JOIN axis a ON a.coordinate_system_auth_name = p.coordinate_system_auth_name
  AND a.coordinate_system_code = p.coordinate_system_code AND a.coordinate_system_order = 1
JOIN unit_of_measure u ON u.auth_name = a.uom_auth_name AND u.code = a.uom_code
WHERE p.auth_name = 'EPSG' AND p.deprecated = 0 AND c.auth_name = 'EPSG'
  AND g.datum_auth_name = 'EPSG'
ORDER BY CAST(p.code AS INTEGER))";

// Deprecated CRSs and the ones that replace them.
constexpr const char* kReplacementSql = R"(
SELECT CAST(deprecated_code AS INTEGER), CAST(replacement_code AS INTEGER) FROM deprecation
WHERE table_name IN ('geodetic_crs', 'projected_crs')
  AND deprecated_auth_name = 'EPSG' AND replacement_auth_name = 'EPSG')";

constexpr int kWgs84Datum = 6326;

} // namespace

// Collects rows of the registry and turns them into the catalog.
class CatalogBuilder {
public:
    struct Datum {
        std::string key, name, published, crsName;
    };
    struct System {
        int conversion;
        naming::SystemNaming naming;
        std::map<int, int> datumUse; // datum code -> CRS count
        std::string units;
    };
    struct Crs {
        int code, conversion, datum;
        std::string units;
    };

    std::map<int, Datum> datums;   // EPSG datum code -> names
    std::map<int, System> systems; // conversion code -> system
    std::vector<Crs> crs;          // conversion 0 = geographic
    std::set<int> usedDatums;
    std::vector<std::pair<int, int>> replacements; // deprecated -> replacement CRS
    std::set<int> geographicDatums;

    std::unique_ptr<Catalog> build();

private:
    void keyDatums(Catalog& c, std::vector<int>& order);
    int ownDatum(const System& s);
};

void CatalogBuilder::keyDatums(Catalog& c, std::vector<int>& order) {
    // Keys from the names; a key shared by two datums gets their codes added.
    std::map<std::string, std::vector<int>> byKey;
    for (int code : usedDatums) {
        auto& d = datums[code];
        d.key = naming::datumKey(d.crsName.empty() ? d.name : d.crsName, code);
        byKey[d.key].push_back(code);
    }
    for (auto& [key, codes] : byKey)
        if (codes.size() > 1)
            for (int code : codes)
                datums[code].key = naming::fitKey(key + "-" + std::to_string(code), code);
    order.assign(usedDatums.begin(), usedDatums.end());
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return datums[a].key < datums[b].key; });
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        const auto& d = datums[order[i]];
        c.db_.datums.push_back({d.key, naming::displayName(d.name)});
        c.datumCodes_[order[i]] = i;
        c.datumNames_.emplace(d.name, i);
        if (!d.crsName.empty())
            c.datumNames_.emplace(d.crsName, i);
    }
}

// A system's own datum: WGS 84 when the system is used with it, else the one
// most of its CRSs use, the original realisation (earliest published) among
// equals.
int CatalogBuilder::ownDatum(const System& s) {
    if (s.datumUse.count(kWgs84Datum))
        return kWgs84Datum;
    int own = 0, best = -1;
    for (auto [d, n] : s.datumUse)
        if (n > best || (n == best && datums[d].published < datums[own].published)) {
            best = n;
            own = d;
        }
    return own;
}

std::unique_ptr<Catalog> CatalogBuilder::build() {
    auto c = std::make_unique<Catalog>();
    std::vector<int> datumOrder;
    keyDatums(*c, datumOrder);
    const auto datumIndex = [&](int code) { return c->datumCodes_.at(code); };
    const std::uint32_t wgs84 = c->datumCodes_.count(kWgs84Datum) ? datumIndex(kWgs84Datum) : 0;

    // Groups: latitude/longitude, UTM, the State Plane systems, then one per
    // projection method in the order of their names.
    std::map<std::string, std::vector<int>> groupSystems; // key -> conversions
    std::map<std::string, std::string> groupNames;
    for (auto& [code, s] : systems) {
        groupSystems[s.naming.groupKey].push_back(code);
        groupNames[s.naming.groupKey] = s.naming.groupName;
    }
    std::vector<std::string> groupOrder{std::string(naming::kLatLongKey)};
    for (auto fixed : {naming::kUtmKey, naming::kStatePlane83Key, naming::kStatePlane27Key})
        if (groupSystems.count(std::string(fixed)))
            groupOrder.emplace_back(fixed);
    std::vector<std::string> rest;
    for (auto& [key, list] : groupSystems)
        if (std::find(groupOrder.begin(), groupOrder.end(), key) == groupOrder.end())
            rest.push_back(key);
    std::sort(rest.begin(), rest.end(),
              [&](const auto& a, const auto& b) { return groupNames[a] < groupNames[b]; });
    groupOrder.insert(groupOrder.end(), rest.begin(), rest.end());

    auto& groups = c->db_.groups;
    {
        GroupRecord latLong{
            std::string(naming::kLatLongKey), std::string(naming::kLatLongName), {}, {}};
        latLong.systems.push_back({std::string(naming::kLatLongKey),
                                   std::string(naming::kLatLongName), wgs84, "DEGREES"});
        for (int d : geographicDatums)
            latLong.validDatums.push_back(datumIndex(d));
        std::sort(latLong.validDatums.begin(), latLong.validDatums.end());
        groups.push_back(std::move(latLong));
    }
    for (std::size_t gi = 1; gi < groupOrder.size(); ++gi) {
        const auto& key = groupOrder[gi];
        GroupRecord g{key, groupNames[key], {}, {}};
        auto& convs = groupSystems[key];
        // UTM zones keep the registry order (north 1-60, then south); the
        // others go by name.
        if (key != naming::kUtmKey)
            std::stable_sort(convs.begin(), convs.end(), [&](int a, int b) {
                return systems[a].naming.systemName < systems[b].naming.systemName;
            });
        // System keys and names must be unique within the group.
        std::map<std::string, int> keyUse, nameUse;
        for (int conv : convs) {
            ++keyUse[systems[conv].naming.systemKey];
            ++nameUse[systems[conv].naming.systemName];
        }
        std::set<std::uint32_t> valid;
        for (int conv : convs) {
            auto& s = systems[conv];
            std::string sysKey = s.naming.systemKey, sysName = s.naming.systemName;
            if (keyUse[sysKey] > 1)
                sysKey = naming::fitKey(sysKey + "-" + std::to_string(conv), conv);
            if (nameUse[sysName] > 1)
                sysName = naming::displayName(sysName + " [" + std::to_string(conv) + "]");
            for (auto [d, n] : s.datumUse)
                valid.insert(datumIndex(d));
            const int own = ownDatum(s);
            c->conversions_[conv] = {static_cast<int>(gi), static_cast<int>(g.systems.size())};
            g.systems.push_back({sysKey, sysName, datumIndex(own), s.units});
        }
        g.validDatums.assign(valid.begin(), valid.end());
        groups.push_back(std::move(g));
    }
    for (const auto& r : crs) {
        CatalogEntry e;
        if (r.conversion == 0) {
            e.group = e.system = 0;
        } else {
            std::tie(e.group, e.system) = c->conversions_.at(r.conversion);
        }
        e.datum = datumIndex(r.datum);
        e.units = naming::unitsKey(r.units);
        c->crs_.emplace(r.code, std::move(e));
    }
    // A file written with a deprecated code names the system that replaced it.
    for (auto [old, replacement] : replacements)
        if (auto it = c->crs_.find(replacement); it != c->crs_.end() && !c->crs_.count(old))
            c->crs_.emplace(old, CatalogEntry(it->second));
    c->db_.index();
    return c;
}

std::unique_ptr<Catalog> Catalog::load(const std::string& projDbPath, std::string& error) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(projDbPath.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    SqliteDb db(raw);
    if (rc != SQLITE_OK) {
        error = "cannot open " + projDbPath;
        return nullptr;
    }
    CatalogBuilder b;
    bool ok = query(db.get(), kDatumSql, error, [&](sqlite3_stmt* st) {
        b.datums[sqlite3_column_int(st, 0)] = {"", column(st, 1), column(st, 2), column(st, 3)};
    });
    ok = ok && query(db.get(), kGeographicSql, error, [&](sqlite3_stmt* st) {
             const int datum = sqlite3_column_int(st, 1);
             if (!b.datums.count(datum))
                 return; // not an Earth datum
             b.crs.push_back({sqlite3_column_int(st, 0), 0, datum, column(st, 2)});
             b.usedDatums.insert(datum);
             b.geographicDatums.insert(datum);
         });
    ok = ok && query(db.get(), kProjectedSql, error, [&](sqlite3_stmt* st) {
             const int code = sqlite3_column_int(st, 0), conv = sqlite3_column_int(st, 1);
             const int datum = sqlite3_column_int(st, 4);
             if (!b.datums.count(datum))
                 return;
             auto [it, fresh] = b.systems.try_emplace(conv);
             if (fresh) {
                 it->second.conversion = conv;
                 it->second.naming = naming::nameConversion(conv, column(st, 2), column(st, 3));
                 it->second.units = naming::unitsKey(column(st, 5));
             }
             ++it->second.datumUse[datum];
             b.crs.push_back({code, conv, datum, column(st, 5)});
             b.usedDatums.insert(datum);
         });
    ok = ok && query(db.get(), kReplacementSql, error, [&](sqlite3_stmt* st) {
             b.replacements.emplace_back(sqlite3_column_int(st, 0), sqlite3_column_int(st, 1));
         });
    if (!ok)
        return nullptr;
    if (b.crs.empty()) {
        error = "no EPSG coordinate systems in " + projDbPath;
        return nullptr;
    }
    return b.build();
}

const Catalog* Catalog::instance() {
    static std::once_flag once;
    static std::unique_ptr<Catalog> catalog;
    std::call_once(once, [] {
        std::string error;
        catalog = load(projDatabasePath(), error);
    });
    return catalog.get();
}

const CatalogEntry* Catalog::findCrs(int epsgCode) const {
    auto it = crs_.find(epsgCode);
    return it == crs_.end() ? nullptr : &it->second;
}

std::pair<int, int> Catalog::findConversion(int epsgCode) const {
    auto it = conversions_.find(epsgCode);
    return it == conversions_.end() ? std::pair{-1, -1} : it->second;
}

std::optional<std::uint32_t> Catalog::findDatumCode(int epsgCode) const {
    auto it = datumCodes_.find(epsgCode);
    return it == datumCodes_.end() ? std::nullopt : std::optional{it->second};
}

std::optional<std::uint32_t> Catalog::findDatumName(std::string_view name) const {
    auto it = datumNames_.find(std::string(name));
    return it == datumNames_.end() ? std::nullopt : std::optional{it->second};
}

} // namespace quill32
