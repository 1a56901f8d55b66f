#include "finder/qualification.h"

#include "finder/walk_result.h"
#include "layer_reader.h"

#include <quill32/coordsys_database.h>
#include <strand32/layer.h>

#include <cstring>

namespace finder {
namespace {

// The object's key, when it fits a key field.
template <class Object> std::optional<std::string> keyOf(const std::optional<Object>& object) {
    if (!object || object->key().size() >= static_cast<std::size_t>(quill32::kKeySize))
        return std::nullopt;
    return object->key();
}

bool keyEquals(const std::string& wanted, const char (&field)[quill32::kKeySize]) {
    return std::strncmp(wanted.c_str(), field, sizeof field) == 0;
}

// The facts of the file at `path`; a reading that failed ends the search.
std::optional<strand32::FileFacts> factsOf(const std::string& path, bool withKeys) {
    if (strand32::layerTypeOf(path) == LayerType::None)
        return std::nullopt;
    FactsReading reading = readFactsThroughModule(path, {.keys = withKeys});
    if (!reading.read)
        throw SearchFailure(reading.error);
    return std::move(reading.facts);
}

} // namespace

CandidateTest::CandidateTest(const SearchCriteria& criteria, DatabaseHandle database)
    : criteria_(criteria) {
    if (!criteria.groupName || database == nullptr)
        return;
    const auto group = database->findGroup(*criteria.groupName);
    auto groupKey = keyOf(group);
    if (!groupKey)
        return;
    WantedKeys wanted{std::move(*groupKey), std::nullopt, std::nullopt};
    if (criteria.systemName) {
        if (!(wanted.system = keyOf(group->findSystem(*criteria.systemName))))
            return;
    }
    if (criteria.datumName) {
        if (!(wanted.datum = keyOf(database->findDatum(*criteria.datumName))))
            return;
    }
    wanted_ = std::move(wanted);
}

CandidateTest::~CandidateTest() = default;

bool CandidateTest::passes(const FoundFile& file) const {
    if (!entryPasses(file))
        return false;
    if (!needsLayer() && !contentDecides(strand32::layerTypeOf(file.name())))
        return true;
    const auto facts = factsOf(file.path, needsKeys());
    return facts && layerPasses(*facts);
}

bool CandidateTest::entryPasses(const FoundFile& file) const {
    const std::uint16_t flags = criteria_.flags;
    if ((flags & (CriteriaFlags::DateBetween | CriteriaFlags::DatePreviousMonths |
                  CriteriaFlags::DatePreviousDays)) != 0 &&
        !datePasses(file.modified))
        return false;
    if ((flags & CriteriaFlags::Size) != 0 && !sizePasses(file.size))
        return false;
    return (flags & CriteriaFlags::LayerTypes) == 0 || typePasses(file.name());
}

bool CandidateTest::needsLayer() const {
    return (criteria_.flags & (CriteriaFlags::Area | CriteriaFlags::CoordSysMatch)) != 0;
}

bool CandidateTest::nameFails(std::string_view name) const {
    return nameFails(criteria_.flags, name);
}

bool CandidateTest::nameFails(std::uint16_t flags, std::string_view name) {
    return (flags & (CriteriaFlags::LayerTypes | CriteriaFlags::Area |
                     CriteriaFlags::CoordSysMatch)) != 0 &&
           !typePasses(name);
}

bool CandidateTest::needsKeys() const {
    return (criteria_.flags & CriteriaFlags::CoordSysMatch) != 0;
}

bool CandidateTest::typeTested() const {
    return (criteria_.flags & CriteriaFlags::LayerTypes) != 0;
}

bool CandidateTest::contentDecides(LayerType kind) const {
    return typeTested() && strand32::contentDecidesKind(kind);
}

bool CandidateTest::layerPasses(const strand32::FileFacts& facts) const {
    // A file its content shows to be no layer fails the type test.
    if (typeTested() && facts.kind == LayerType::None)
        return false;
    if ((criteria_.flags & CriteriaFlags::Area) != 0 && !areaMatches(facts))
        return false;
    return (criteria_.flags & CriteriaFlags::CoordSysMatch) == 0 || keysMatch(facts);
}

bool CandidateTest::datePasses(FileClock::time_point modified) const {
    const DateUtil::DosDate day = DateUtil::dosDateOfFileTime(fileTimeOf(modified));
    if (day < criteria_.startDate)
        return false;
    // Only the between mode has an upper bound.
    return (criteria_.flags & CriteriaFlags::DateBetween) == 0 || day <= criteria_.endDate;
}

bool CandidateTest::areaPasses(const std::string& path) const {
    const auto facts = factsOf(path, false);
    return facts && areaMatches(*facts);
}

bool CandidateTest::coordSysPasses(const std::string& path) const {
    const auto facts = factsOf(path, true);
    return facts && keysMatch(*facts);
}

bool CandidateTest::areaMatches(const strand32::FileFacts& facts) const {
    const std::optional<strand32::Extent>& rect =
        criteria_.areaInDegrees ? facts.lonLat : facts.extent;
    return rect && relationMatches(criteria_.areaMode,
                                   AreaRect{rect->west, rect->north, rect->east, rect->south},
                                   criteria_.area);
}

bool CandidateTest::keysMatch(const strand32::FileFacts& facts) const {
    if (!wanted_)
        return false;
    const auto matches = [this](const std::optional<CoordSysKeys>& keys) {
        return keys && keyEquals(wanted_->group, keys->group) &&
               (!wanted_->system || keyEquals(*wanted_->system, keys->system)) &&
               (!wanted_->datum || keyEquals(*wanted_->datum, keys->datum));
    };
    if (matches(facts.keys))
        return true;
    for (const strand32::LayerFacts& layer : facts.layers) {
        if (matches(layer.keys))
            return true;
    }
    return false;
}

bool CandidateTest::sizePasses(std::uint64_t bytes) const {
    // Whole kilobytes, rounded down, of the full 64-bit size.
    const std::uint64_t kb = bytes / 1024;
    switch (criteria_.sizeMode) {
    case SizeMode::AtLeast:
        return kb >= criteria_.sizeKB;
    case SizeMode::AtMost:
        return kb <= criteria_.sizeKB;
    case SizeMode::None:
        break;
    }
    return true;
}

bool CandidateTest::typePasses(std::string_view name) {
    return strand32::layerTypeOf(name) != LayerType::None;
}

bool passesCandidateTest(const SearchCriteria& criteria, const FoundFile& file,
                         DatabaseHandle database) {
    return CandidateTest(criteria, database).passes(file);
}

} // namespace finder
