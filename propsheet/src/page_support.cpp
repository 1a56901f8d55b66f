// What both pages share: the wait cursor and the frame of their procedures.
#include "pages.h"

namespace velmora {

WaitCursor::WaitCursor()
    : previous_(platform::SetCursor(platform::LoadCursor(nullptr, platform::IDC_WAIT))) {}

WaitCursor::~WaitCursor() {
    platform::SetCursor(previous_);
}

INT_PTR dispatchPageMessage(const PageHandlers& page, HWND dialog, UINT message, WPARAM wParam) {
    try {
        switch (message) {
        case platform::WM_INITDIALOG:
            if (page.initialise != nullptr)
                page.initialise(dialog);
            return 1;
        case platform::WM_COMMAND:
            return page.command != nullptr &&
                   page.command(dialog, static_cast<int>(platform::LOWORD(wParam)));
        case platform::WM_NOTIFY:
            platform::SetWindowLongPtr(dialog, platform::DWLP_MSGRESULT, platform::PSNRET_NOERROR);
            return 1;
        default:
            return 0;
        }
    } catch (...) {
        return 1; // the page shows what it had set
    }
}

} // namespace velmora
