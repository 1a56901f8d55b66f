// What both pages share: the wait cursor and the answer to notifications.
#include "pages.h"

namespace velmora {

WaitCursor::WaitCursor()
    : previous_(platform::SetCursor(platform::LoadCursor(nullptr, platform::IDC_WAIT))) {}

WaitCursor::~WaitCursor() {
    platform::SetCursor(previous_);
}

INT_PTR answerNotification(HWND dialog) {
    platform::SetWindowLongPtr(dialog, platform::DWLP_MSGRESULT, platform::PSNRET_NOERROR);
    return 1;
}

} // namespace velmora
