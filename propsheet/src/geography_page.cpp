// The Geography page: coordinate system, datum, units and the corners of
// the file's extent (a container's: the union of its layers), filled when
// the page opens from the sheet's reading of the file's facts.
#include "module.h"
#include "page_templates.h"
#include "page_text.h"
#include "pages.h"
#include "sheet_facts.h"

#include "quill32/latlon.h"
#include "strand32/file_facts.h"
#include "strand32/layer.h"

namespace velmora {

namespace {

constexpr int kTextSize = 512;

void setText(HWND dialog, int id, const std::string& text) {
    platform::SetDlgItemText(dialog, id, text.c_str());
}

void setUnknown(HWND dialog, std::initializer_list<int> ids) {
    for (const int id : ids)
        setText(dialog, id, kUnknown);
}

// System, datum and units; returns the text the latitude/longitude test
// reads: the system key, or the system's name when the key is not
// printable, or nothing when the keys are unknown.
std::string showCoordSys(HWND dialog, const strand32::FileFacts& facts) {
    if (!facts.keys) {
        setUnknown(dialog, {IDC_COORDSYS, IDC_DATUM, IDC_UNITS});
        return {};
    }
    const CoordSysKeys& keys = *facts.keys;
    const std::string system = fieldText(keys.system, sizeof keys.system);
    if (!isPrintable(system)) {
        setUnknown(dialog, {IDC_COORDSYS, IDC_DATUM, IDC_UNITS});
        return facts.crsName.substr(0, kTextSize - 1);
    }
    setText(dialog, IDC_COORDSYS, system);
    setText(dialog, IDC_DATUM, fieldText(keys.datum, sizeof keys.datum));
    setText(dialog, IDC_UNITS, fieldText(keys.units, sizeof keys.units));
    return system;
}

// Degrees, minutes and seconds with the hemisphere, as the library writes them.
std::string latitudeText(double degrees) {
    return quill32::formatLatLon(degrees, false, -1);
}

std::string longitudeText(double degrees) {
    return quill32::formatLatLon(degrees, true, -1);
}

void showCorners(HWND dialog, const strand32::FileFacts& facts, bool latLong) {
    if (!facts.extent) {
        setUnknown(dialog, {IDC_NORTHWEST_NORTH, IDC_NORTHWEST_EAST, IDC_SOUTHEAST_NORTH,
                            IDC_SOUTHEAST_EAST});
        return;
    }
    const strand32::Extent& extent = *facts.extent;
    if (latLong) {
        setText(dialog, IDC_NORTHWEST_NORTH, latitudeText(extent.north));
        setText(dialog, IDC_NORTHWEST_EAST, longitudeText(extent.west));
        setText(dialog, IDC_SOUTHEAST_NORTH, latitudeText(extent.south));
        setText(dialog, IDC_SOUTHEAST_EAST, longitudeText(extent.east));
    } else {
        setText(dialog, IDC_NORTHWEST_NORTH, plainNumber(extent.north));
        setText(dialog, IDC_NORTHWEST_EAST, plainNumber(extent.west));
        setText(dialog, IDC_SOUTHEAST_NORTH, plainNumber(extent.south));
        setText(dialog, IDC_SOUTHEAST_EAST, plainNumber(extent.east));
    }
}

void fillGeography(HWND dialog) {
    WaitCursor wait;
    const auto facts = sheetFacts();
    const std::string latLongText = showCoordSys(dialog, *facts);
    showCorners(dialog, *facts, isLatLong(latLongText));
}

} // namespace

INT_PTR GeographyPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return dispatchPageMessage({fillGeography, nullptr}, dialog, message, wParam);
}

} // namespace velmora
