#include "naming.h"

#include <cctype>
#include <cmath>
#include <span>
#include <string>

namespace quill32::naming {

namespace {

bool isAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string utmKey(int zone, bool north) {
    std::string key = "UTM-";
    key += std::to_string(zone);
    key += north ? 'N' : 'S';
    return key;
}

std::string utmName(int zone, bool north) {
    std::string name = "UTM zone ";
    name += std::to_string(zone);
    name += north ? 'N' : 'S';
    return name;
}

// The zone name of a State Plane conversion:
// "SPCS83 New York Long Island zone (meters)" and "New York CS27 Long Island
// zone" -> "New York Long Island"; feet variants keep their unit:
// "New York Long Island (US Survey feet)".
std::string statePlaneName(std::string_view name) {
    std::string out(name);
    for (std::string_view drop : {"SPCS83 ", " CS27", " zone", " (meters)"})
        if (auto at = out.find(drop); at != std::string::npos)
            out.erase(at, drop.size());
    return out;
}

// 0 when the conversion is not a State Plane zone, else 83 or 27.
int statePlaneDatum(std::string_view name) {
    if (startsWith(name, "SPCS83 "))
        return 83;
    if (name.find(" CS27 ") != std::string_view::npos)
        return 27;
    return 0;
}

} // namespace

std::string normalizeKey(std::string_view text) {
    // "+" is a word of its own ("CH1903+" is not "CH1903").
    std::string spelled;
    for (char c : text)
        spelled += c == '+' ? std::string_view(" PLUS ") : std::string_view(&c, 1);
    text = spelled;
    std::string out;
    bool pendingDash = false;
    bool pendingBlank = false;
    for (char c : text) {
        if (isAlnum(c)) {
            if (pendingDash && !out.empty() &&
                !(pendingBlank && std::isdigit(static_cast<unsigned char>(c)) &&
                  isAlnum(out.back())))
                out += '-';
            pendingDash = pendingBlank = false;
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        } else {
            // A lone blank between a word and a number is dropped; any other
            // separator (or a blank next to punctuation) gives a dash.
            pendingBlank = !pendingDash && c == ' ';
            pendingDash = true;
        }
    }
    return out;
}

std::string displayName(std::string_view name) {
    std::string out(name.substr(0, kMaxNameLength));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return out;
}

std::string fitKey(std::string key, int code) {
    if (key.empty())
        key = "EPSG";
    if (key.size() <= kMaxKeyLength)
        return key;
    std::string suffix;
    if (code != 0) {
        suffix = "-";
        suffix += std::to_string(code);
    }
    key.resize(kMaxKeyLength - suffix.size());
    while (!key.empty() && key.back() == '-')
        key.pop_back();
    return key + suffix;
}

std::string datumKey(std::string_view crsOrDatumName, int code) {
    return fitKey(normalizeKey(crsOrDatumName), code);
}

std::string unitsKey(std::string_view unitName) {
    // Names as EPSG, PROJ and ESRI write them, in any letter case.
    std::string unit(unitName);
    for (char& c : unit)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (unit == "metre" || unit == "meter")
        return "METERS";
    if (unit == "us survey foot" || unit == "foot_us")
        return "US-FEET";
    if (unit == "foot" || unit == "international foot")
        return "FEET";
    if (unit == "kilometre" || unit == "kilometer")
        return "KILOMETERS";
    if (startsWith(unit, "degree") || unit == "sexagesimal dms")
        return "DEGREES";
    if (unit == "grad" || unit == "gon")
        return "GRADS";
    if (unit == "radian")
        return "RADIANS";
    return fitKey(normalizeKey(unitName), 0);
}

std::string unitsKey(std::string_view unitName, double sizeInBase, bool angular) {
    struct Size {
        double inBase;
        const char* key;
    };
    static constexpr Size kLinear[] = {
        {1.0, "METERS"}, {0.3048, "FEET"}, {1200.0 / 3937.0, "US-FEET"}, {1000.0, "KILOMETERS"}};
    static constexpr Size kAngular[] = {
        {M_PI / 180.0, "DEGREES"}, {M_PI / 200.0, "GRADS"}, {1.0, "RADIANS"}};
    constexpr double kTolerance = 1e-7;
    if (std::isfinite(sizeInBase) && sizeInBase > 0) {
        for (const Size& size :
             angular ? std::span<const Size>(kAngular) : std::span<const Size>(kLinear)) {
            if (std::fabs(sizeInBase - size.inBase) <= kTolerance * size.inBase)
                return size.key;
        }
    }
    return unitsKey(unitName);
}

SystemNaming nameConversion(int conversionCode, std::string_view conversionName,
                            std::string_view methodName) {
    // EPSG numbers the UTM zones 16001-16060 (north) and 16101-16160 (south).
    if (conversionCode >= 16001 && conversionCode <= 16060)
        return {std::string(kUtmKey), std::string(kUtmName), utmKey(conversionCode - 16000, true),
                utmName(conversionCode - 16000, true)};
    if (conversionCode >= 16101 && conversionCode <= 16160)
        return {std::string(kUtmKey), std::string(kUtmName), utmKey(conversionCode - 16100, false),
                utmName(conversionCode - 16100, false)};
    if (const int spcs = statePlaneDatum(conversionName)) {
        const bool nad83 = spcs == 83;
        std::string name = displayName(statePlaneName(conversionName));
        return {std::string(nad83 ? kStatePlane83Key : kStatePlane27Key),
                std::string(nad83 ? kStatePlane83Name : kStatePlane27Name),
                fitKey(normalizeKey(name), conversionCode), name};
    }
    return {fitKey(normalizeKey(methodName), 0), displayName(methodName),
            fitKey(normalizeKey(conversionName), conversionCode), displayName(conversionName)};
}

std::optional<SystemNaming> utmFromParameters(double latitudeOfOrigin, double centralMeridian,
                                              double scale, double falseEasting,
                                              double falseNorthing) {
    constexpr double eps = 1e-9;
    if (std::fabs(latitudeOfOrigin) > eps || std::fabs(scale - 0.9996) > eps ||
        std::fabs(falseEasting - 500000.0) > 1e-6)
        return std::nullopt;
    bool north;
    if (std::fabs(falseNorthing) < 1e-6)
        north = true;
    else if (std::fabs(falseNorthing - 10000000.0) < 1e-6)
        north = false;
    else
        return std::nullopt;
    const double zone = (centralMeridian + 183.0) / 6.0;
    const double rounded = std::round(zone);
    if (std::fabs(zone - rounded) > 1e-9 || rounded < 1 || rounded > 60)
        return std::nullopt;
    const int z = static_cast<int>(rounded);
    return SystemNaming{std::string(kUtmKey), std::string(kUtmName), utmKey(z, north),
                        utmName(z, north)};
}

} // namespace quill32::naming
