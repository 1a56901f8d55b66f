#pragma once
// The test each listed file must pass to join the results. It runs on the
// search's thread; the facts a file tells (extent, coordinate system) may be
// read elsewhere, on a pool of threads or from the footprint cache, and
// handed to layerPasses.
#include "finder/area_relation.h"
#include "finder/found_file.h"
#include "finder/search_criteria.h"

#include <strand32/layer.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quill32 {
class CoordSysDatabase;
}

namespace finder {

// The coordinate-system database the running search holds open (null = none).
using DatabaseHandle = const quill32::CoordSysDatabase*;

// The candidate test of one search: the corners and the keys of the chosen
// group, system and datum are read once, when the search starts. Its const
// functions may be called from several threads at once.
class CandidateTest {
public:
    // `criteria` must outlive the test; `database` is the search's open
    // database (needed only when the coordinate-system test is on).
    CandidateTest(const SearchCriteria& criteria, DatabaseHandle database);
    ~CandidateTest();
    CandidateTest(const CandidateTest&) = delete;
    CandidateTest& operator=(const CandidateTest&) = delete;

    // True when the file passes every test its criteria switch on (date,
    // area, coordinate system, size, type); the first failing test decides.
    // The file is read by its full path when its facts are needed.
    bool passes(const FoundFile& file) const;

    // The same decision in two steps: the tests on the directory entry
    // (date, size, type), then, when needsLayer() and the name is of a layer
    // type, those on the file's facts (area, coordinate system). The tests
    // have no side effects, so their order does not change the outcome.
    bool entryPasses(const FoundFile& file) const;
    bool needsLayer() const;
    // True when the name alone fails the file: it is of no layer type while
    // the type, area or coordinate-system test is on.
    bool nameFails(std::string_view name) const;
    // The same for criteria with these flags.
    static bool nameFails(std::uint16_t flags, std::string_view name);
    // Whether the facts must hold the coordinate-system keys.
    bool needsKeys() const;
    // Whether the type test is on.
    bool typeTested() const;
    // True when the type test must read a file of this kind: its content
    // decides whether it is a layer (a container without a spatial layer,
    // a plain SQLite database, an .img that is not Imagine is none).
    bool contentDecides(LayerType kind) const;
    bool layerPasses(const strand32::FileFacts& facts) const;

    // The single tests, whatever the flags say. A lat/lon area meets the
    // extent of a file in a projected system in degrees.
    bool datePasses(FileClock::time_point modified) const;
    bool areaPasses(const std::string& path) const;
    bool coordSysPasses(const std::string& path) const;
    bool sizePasses(std::uint64_t bytes) const;
    static bool typePasses(std::string_view name);
    bool areaMatches(const strand32::FileFacts& facts) const;
    // The file's system, or for a container the system of any of its layers,
    // has the chosen keys.
    bool keysMatch(const strand32::FileFacts& facts) const;

private:
    // The keys of the chosen group, system and datum in the database.
    struct WantedKeys {
        std::string group;
        std::optional<std::string> system, datum;
    };

    const SearchCriteria& criteria_;
    // None when a chosen name is not in the database: no file matches.
    std::optional<WantedKeys> wanted_;
};

// One-off form of CandidateTest(criteria, database).passes(file).
bool passesCandidateTest(const SearchCriteria& criteria, const FoundFile& file,
                         DatabaseHandle database);

} // namespace finder
