#include "platform/message_box.h"

#include "process_hook.h"

#include <cstdio>

namespace platform {

namespace {

ProcessHook<MessageBoxPresenter>& installedPresenter() {
    static ProcessHook<MessageBoxPresenter> presenter;
    return presenter;
}

const char* iconWord(unsigned style) {
    switch (style & MB_ICONMASK) {
    case MB_ICONERROR:
        return "error";
    case MB_ICONQUESTION:
        return "question";
    case MB_ICONWARNING:
        return "warning";
    case MB_ICONINFORMATION:
        return "information";
    default:
        return "message";
    }
}

} // namespace

// Without a window system the box goes to standard error and is answered
// with its default button, so nothing ever waits for a user.
int messageBoxToStandardError(const MessageBoxRequest& request) {
    std::fprintf(stderr, "[%s] %s: %s\n", iconWord(request.style), request.title.c_str(),
                 request.text.c_str());
    return messageBoxDefaultAnswer(request.style);
}

std::vector<int> messageBoxButtons(unsigned style) {
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    default:
        return {IDOK};
    }
}

int messageBoxDefaultAnswer(unsigned style) {
    const std::vector<int> buttons = messageBoxButtons(style);
    const unsigned index = (style & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int messageBox(void* owner, const std::string& text, const std::string& title, unsigned style) {
    const MessageBoxPresenter presenter = installedPresenter().get();
    const MessageBoxRequest request{owner, text, title, style};
    return presenter ? presenter(request) : messageBoxToStandardError(request);
}

void setMessageBoxPresenter(MessageBoxPresenter presenter) {
    installedPresenter().set(std::move(presenter));
}

} // namespace platform
