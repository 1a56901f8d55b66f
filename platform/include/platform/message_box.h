#pragma once
// Message boxes go through one small interface so that tests can answer them.
// The default presenter shows a QMessageBox (see platform_qt); tests install
// one that records the box and returns a chosen answer.
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Button sets and icons with the values of the original platform.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;

constexpr unsigned MB_TYPEMASK = 0xF;
constexpr unsigned MB_ICONMASK = 0xF0;
constexpr unsigned MB_DEFMASK = 0xF00;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest {
    void* owner = nullptr; // a QWidget*, or null
    std::string text;
    std::string title;
    unsigned style = MB_OK;
};

using MessageBoxPresenter = std::function<int(const MessageBoxRequest&)>;

// Shows a box through the installed presenter and returns the button pressed.
// Without a presenter (no window system) the box is written to standard error
// and the default button's answer is returned.
int messageBox(void* owner, const std::string& text, const std::string& title, unsigned style);

// Installs a presenter for the whole process; an empty one restores the default.
void setMessageBoxPresenter(MessageBoxPresenter presenter);

// The answers of a box's buttons in their order ("Yes", "No", "Cancel" ->
// IDYES, IDNO, IDCANCEL), and the answer of its default button.
std::vector<int> messageBoxButtons(unsigned style);
int messageBoxDefaultAnswer(unsigned style);

// The presenter used when none is installed: writes the box to standard
// error and returns the default answer.
int messageBoxToStandardError(const MessageBoxRequest& request);

} // namespace platform
