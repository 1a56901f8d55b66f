#pragma once
// The dialog procedures of the Geography, Spatial Objects and Layers pages,
// and what they share.
#include "platform/property_sheet.h"

namespace velmora {

using platform::HWND;
using platform::INT_PTR;
using platform::LPARAM;
using platform::UINT;
using platform::WPARAM;

INT_PTR GeographyPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR ObjectsPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR LayersPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The wait cursor for the life of the object; the previous one after.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    platform::HCURSOR previous_;
};

// What a page does at dialog initialisation and on a command from a
// control (true when it handled it; null handlers handle nothing).
struct PageHandlers {
    void (*initialise)(HWND dialog);
    bool (*command)(HWND dialog, int controlId);
};

// The frame of both procedures: every notification of the sheet answered
// "no error", handled; initialisation and commands passed to the page;
// nothing thrown leaves it (the sheet that calls is another module).
INT_PTR dispatchPageMessage(const PageHandlers& page, HWND dialog, UINT message, WPARAM wParam);

} // namespace velmora
