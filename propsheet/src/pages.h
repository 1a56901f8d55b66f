#pragma once
// The dialog procedures of the Geography and Spatial Objects pages, and
// what they share.
#include "platform/property_sheet.h"

namespace velmora {

using platform::HWND;
using platform::INT_PTR;
using platform::LPARAM;
using platform::UINT;
using platform::WPARAM;

INT_PTR GeographyPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR ObjectsPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

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

// Every notification of the sheet is answered "no error", handled.
INT_PTR answerNotification(HWND dialog);

// Runs a page's message handler; nothing it throws leaves the procedure
// (the sheet that calls it is another module): the message counts as
// handled, the page shows what it had set.
template <class Handler> INT_PTR guardedPage(Handler&& handler) noexcept {
    try {
        return handler();
    } catch (...) {
        return 1;
    }
}

} // namespace velmora
