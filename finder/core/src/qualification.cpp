#include "finder/qualification.h"

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

std::optional<LayerFacts> factsOf(std::string_view name, bool withKeys) {
    LayerFacts facts;
    if (strand32::layerTypeOf(name) == LayerType::None ||
        !readLayerFacts(std::string(name), withKeys, facts))
        return std::nullopt;
    return facts;
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
    if (!needsLayer())
        return true;
    const auto facts = factsOf(file.fileName, needsKeys());
    return facts && layerPasses(*facts);
}

bool CandidateTest::entryPasses(const FoundFile& file) const {
    const std::uint16_t flags = criteria_.flags;
    if ((flags & (CriteriaFlags::DateBetween | CriteriaFlags::DatePreviousMonths |
                  CriteriaFlags::DatePreviousDays)) != 0 &&
        !datePasses(file.lastWriteTime))
        return false;
    if ((flags & CriteriaFlags::Size) != 0 && !sizePasses(file.size))
        return false;
    return (flags & CriteriaFlags::LayerTypes) == 0 || typePasses(file.fileName);
}

bool CandidateTest::needsLayer() const {
    return (criteria_.flags & (CriteriaFlags::Area | CriteriaFlags::CoordSysMatch)) != 0;
}

bool CandidateTest::nameFails(std::string_view name) const {
    return (criteria_.flags & (CriteriaFlags::LayerTypes | CriteriaFlags::Area |
                               CriteriaFlags::CoordSysMatch)) != 0 &&
           !typePasses(name);
}

bool CandidateTest::needsKeys() const {
    return (criteria_.flags & CriteriaFlags::CoordSysMatch) != 0;
}

bool CandidateTest::layerPasses(const LayerFacts& facts) const {
    if ((criteria_.flags & CriteriaFlags::Area) != 0 && !areaMatches(facts))
        return false;
    return (criteria_.flags & CriteriaFlags::CoordSysMatch) == 0 || keysMatch(facts);
}

bool CandidateTest::datePasses(DateUtil::FileTime lastWriteTime) const {
    const DateUtil::DosDate day = DateUtil::dosDateOfFileTime(lastWriteTime);
    if (day < criteria_.startDate)
        return false;
    // Only the between mode has an upper bound.
    return (criteria_.flags & CriteriaFlags::DateBetween) == 0 || day <= criteria_.endDate;
}

bool CandidateTest::areaPasses(std::string_view name) const {
    const auto facts = factsOf(name, false);
    return facts && areaMatches(*facts);
}

bool CandidateTest::coordSysPasses(std::string_view name) const {
    const auto facts = factsOf(name, true);
    return facts && keysMatch(*facts);
}

bool CandidateTest::areaMatches(const LayerFacts& facts) const {
    const std::optional<FactsRect>& rect = criteria_.areaInDegrees ? facts.lonLat : facts.extent;
    return rect && relationMatches(criteria_.areaMode,
                                   AreaRect{rect->west, rect->north, rect->east, rect->south},
                                   criteria_.area);
}

bool CandidateTest::keysMatch(const LayerFacts& facts) const {
    if (!facts.keys || !wanted_ || !keyEquals(wanted_->group, facts.keys->group))
        return false;
    if (wanted_->system && !keyEquals(*wanted_->system, facts.keys->system))
        return false;
    return !wanted_->datum || keyEquals(*wanted_->datum, facts.keys->datum);
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
