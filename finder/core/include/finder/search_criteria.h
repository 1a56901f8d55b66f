#pragma once
// One search as typed values, built once from the criteria form when Find Now
// is pressed and then shared read-only by the walk and the candidate test.
// Nothing here knows a caption of the window: the form layer
// (criteria_form.h) turns the controls' texts into these values.
#include "DateUtil.h"

#include <cstdint>
#include <optional>
#include <string>

namespace finder {

// Bits of SearchCriteria::flags; the candidate test runs them lowest first.
namespace CriteriaFlags {
inline constexpr std::uint16_t DateBetween = 0x01;
inline constexpr std::uint16_t DatePreviousMonths = 0x02;
inline constexpr std::uint16_t DatePreviousDays = 0x04;
inline constexpr std::uint16_t Area = 0x08;
inline constexpr std::uint16_t CoordSysMatch = 0x10;
inline constexpr std::uint16_t Size = 0x20;
inline constexpr std::uint16_t LayerTypes = 0x40;
} // namespace CriteriaFlags

enum class AreaMode { Inclusive, Exclusive, Intersection };
enum class SizeMode { None, AtLeast, AtMost };

// A rectangle in the order west X, north Y, east X, south Y.
struct AreaRect {
    double x1 = 0; // west
    double y1 = 0; // north
    double x2 = 0; // east
    double y2 = 0; // south
    bool operator==(const AreaRect&) const = default;
};

struct SearchCriteria {
    // The pattern each folder is listed with; "*.*" when every file of a
    // known layer type is searched (CriteriaFlags::LayerTypes is then set).
    std::string namePattern{"*.*"};
    std::string startFolder;
    bool includeSubfolders = true;
    std::uint16_t flags = 0;
    DateUtil::DosDate startDate = 0;
    DateUtil::DosDate endDate = 0;
    // The search area (meaningful with CriteriaFlags::Area), in degrees when
    // areaInDegrees, else in the files' own units.
    AreaRect area;
    bool areaInDegrees = false;
    AreaMode areaMode = AreaMode::Inclusive;
    // Coordinate-system names as the pickers list them; none: any.
    std::optional<std::string> groupName, systemName, datumName;
    SizeMode sizeMode = SizeMode::None;
    std::uint32_t sizeKB = 0;

    bool has(std::uint16_t flag) const { return (flags & flag) != 0; }
};

// True when the search compares coordinate systems and so needs the
// coordinate-system database open for its length.
inline bool needsDatabase(const SearchCriteria& criteria) {
    return criteria.has(CriteriaFlags::CoordSysMatch);
}

} // namespace finder
