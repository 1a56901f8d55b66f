// The calling thread's cursor and the host's hook that shows it.
#include "platform/property_sheet.h"

#include "process_hook.h"

namespace platform {

namespace {

using CursorHook = std::function<void(HCURSOR)>;

ProcessHook<CursorHook>& cursorHook() {
    static ProcessHook<CursorHook> hook;
    return hook;
}

thread_local HCURSOR currentCursor = IDC_ARROW;

} // namespace

HCURSOR LoadCursor(HINSTANCE instance, std::uintptr_t id) {
    if (instance != nullptr)
        return 0;
    return id == IDC_ARROW || id == IDC_WAIT ? id : 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
    const HCURSOR previous = currentCursor;
    currentCursor = cursor;
    if (const CursorHook hook = cursorHook().get())
        hook(cursor);
    return previous;
}

void setCursorHook(std::function<void(HCURSOR)> hook) {
    cursorHook().set(std::move(hook));
}

} // namespace platform
