#include "finder/qualification.h"

#include "layer_area.h"

#include <finder/coords/datora_object.h>
#include <quill32/datora.h>
#include <strand32/layer.h>
#include <strand32/mapora.h>

#include <cstring>

namespace finder {
namespace {

// True when the object's key equals the layer's key field exactly.
bool hasKey(const DatoraObjectOwner& object, const char (&layerKey)[quill32::kKeySize]) {
    char key[512] = {};
    if (Datora_ObjectGetKey(object.get(), key, sizeof key) == 0)
        return false;
    return std::strncmp(key, layerKey, sizeof layerKey) == 0 && std::strlen(key) < sizeof layerKey;
}

} // namespace

CandidateTest::CandidateTest(const SearchCriteria& criteria, DatabaseHandle database)
    : criteria_(criteria), database_(database) {}

CandidateTest::~CandidateTest() = default;

bool CandidateTest::passes(const FoundFile& file) const {
    const std::uint16_t flags = criteria_.flags;
    if ((flags & (CriteriaFlags::DateBetween | CriteriaFlags::DatePreviousMonths |
                  CriteriaFlags::DatePreviousDays)) != 0 &&
        !datePasses(file.lastWriteTime))
        return false;
    if ((flags & CriteriaFlags::Area) != 0 && !areaPasses(file.fileName))
        return false;
    if ((flags & CriteriaFlags::CoordSysMatch) != 0 && !coordSysPasses(file.fileName))
        return false;
    if ((flags & CriteriaFlags::Size) != 0 && !sizePasses(file.size))
        return false;
    if ((flags & CriteriaFlags::LayerTypes) != 0 && !typePasses(file.fileName))
        return false;
    return true;
}

bool CandidateTest::datePasses(DateUtil::FileTime lastWriteTime) const {
    const DateUtil::DosDate day = DateUtil::dosDateOfFileTime(lastWriteTime);
    if (day < criteria_.startDate)
        return false;
    // Only the between mode has an upper bound.
    return (criteria_.flags & CriteriaFlags::DateBetween) == 0 || day <= criteria_.endDate;
}

bool CandidateTest::areaPasses(std::string_view name) const {
    LayerDescriptor layer;
    if (!strand32::buildLayerDescriptor(name, layer))
        return false;
    const auto extent = layerExtentFor(layer, criteria_.areaInDegrees);
    return extent && relationMatches(criteria_.areaMode, *extent, criteria_.area);
}

bool CandidateTest::coordSysPasses(std::string_view name) const {
    LayerDescriptor layer;
    if (!strand32::buildLayerDescriptor(name, layer))
        return false;
    CoordSysKeys keys{};
    char scratch[512];
    if (Mapora_LayerCoordSys(&layer, &keys, scratch, sizeof scratch) == 0)
        return false;
    if (!criteria_.groupName)
        return false;
    const DatoraObjectOwner group(
        Datora_CoordSysGroupRead(database_, criteria_.groupName->c_str(), 0));
    if (!group || !hasKey(group, keys.group))
        return false;
    if (criteria_.systemName) {
        const DatoraObjectOwner system(
            Datora_CoordSysRead2(database_, group.get(), criteria_.systemName->c_str(), 0));
        if (!system || !hasKey(system, keys.system))
            return false;
    }
    if (criteria_.datumName) {
        const DatoraObjectOwner datum(Datora_DatumRead(database_, criteria_.datumName->c_str(), 0));
        if (!datum || !hasKey(datum, keys.datum))
            return false;
    }
    return true;
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
