#pragma once
// Rules that turn EPSG names into the keys and display names of the
// database. The generator of datora.dat and the identification of a file's
// coordinate system both name things through these functions, so a file's
// keys always equal those of the database objects the pickers list.
#include <optional>
#include <string>
#include <string_view>

namespace quill32::naming {

constexpr std::size_t kMaxKeyLength = 63;

inline constexpr std::string_view kLatLongKey = "LAT-LONG";
inline constexpr std::string_view kLatLongName = "Longitude / Latitude";
inline constexpr std::string_view kUtmKey = "UTM";
inline constexpr std::string_view kUtmName = "Universal Transverse Mercator (UTM)";
inline constexpr std::string_view kStatePlane83Key = "STATE-PLANE-NAD83";
inline constexpr std::string_view kStatePlane83Name = "State Plane NAD83";
inline constexpr std::string_view kStatePlane27Key = "STATE-PLANE-NAD27";
inline constexpr std::string_view kStatePlane27Name = "State Plane NAD27";

// Upper case; letters and digits kept; a blank before a digit dropped
// ("WGS 84" -> "WGS84"); every other run of characters becomes one "-".
std::string normalizeKey(std::string_view text);

constexpr std::size_t kMaxNameLength = 255;

// A display name as the database stores it: control characters made blanks,
// cut to kMaxNameLength.
std::string displayName(std::string_view name);

// Cuts a key to kMaxKeyLength, keeping it distinct by the EPSG code at its
// end (0: no code, plainly cut).
std::string fitKey(std::string key, int code);

// Key of a datum, from the name of its usual geographic CRS (or its own name).
std::string datumKey(std::string_view crsOrDatumName, int code);

// Units key of an EPSG unit name: "metre" -> "METERS", "US survey foot" ->
// "US-FEET", "degree ..." -> "DEGREES", others normalised.
std::string unitsKey(std::string_view unitName);

// Units key of a file's unit by its size: metres (linear) or radians
// (angular) per unit. A size within a part in ten million of a unit the
// database names gives that unit's key whatever the spelling (0.3048006096 m
// is "US-FEET", 0.3048 m "FEET", pi / 180 "DEGREES"); any other size, or
// none (0), keys by the name as above.
std::string unitsKey(std::string_view unitName, double sizeInBase, bool angular);

// Where a projection (an EPSG conversion) belongs: its group and system.
struct SystemNaming {
    std::string groupKey;
    std::string groupName;
    std::string systemKey;
    std::string systemName;
};
SystemNaming nameConversion(int conversionCode, std::string_view conversionName,
                            std::string_view methodName);

// UTM zone of a Transverse Mercator with the UTM parameters: "UTM-33N" and
// "UTM zone 33N" naming; nullopt when the parameters are not those of a zone.
std::optional<SystemNaming> utmFromParameters(double latitudeOfOrigin, double centralMeridian,
                                              double scale, double falseEasting,
                                              double falseNorthing);

} // namespace quill32::naming
