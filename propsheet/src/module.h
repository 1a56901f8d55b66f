#pragma once
// Module-wide state of the property-page server: its instance handle, the
// count of live objects that keeps it loaded, the status of the map-view
// library it starts, and the current file name the pages describe.
#include "platform/com.h"
#include "platform/property_sheet.h"

#include <string>

namespace velmora {

using platform::HRESULT;
using platform::LONG;

// Saved when the process attaches the module.
platform::HINSTANCE moduleInstance();

// Live factories, extension objects and pages. Pages count themselves
// through the cell, as their reference parent.
void objectCreated();
void objectDestroyed();
LONG objectCount();
LONG* objectCountCell();

// Starts the map-view library with the database named in the registry
// (and reads the coordinate-system library's start-up record): S_OK when
// it is ready, E_FAIL when the database folder is not in the registry or
// the library refused it.
HRESULT startLibrary();
// Shuts the library down when the last start readied it; false otherwise.
bool shutDownLibrary();

// The file of the most recent successful Initialize (260 bytes with the
// terminator at most), shared by every instance and page.
void setCurrentFileName(const char* name);
std::string currentFileName();

} // namespace velmora
