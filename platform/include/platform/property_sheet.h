#pragma once
// Property sheet pages: the page description a server hands to a sheet, the
// dialog templates a module holds as resources, dialogs made from them whose
// controls hold texts, the messages a dialog procedure answers, and the
// cursor a page shows while it works. A host renders the dialogs however it
// likes (text, Qt, a file manager's own widgets); the server never knows.
#include "platform/com.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

using WPARAM = std::uintptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using LONG_PTR = std::intptr_t;
using HCURSOR = std::uintptr_t;

// ---- resources -----------------------------------------------------------

// Id of controls nobody addresses (labels).
constexpr int IDC_STATIC = -1;

enum class ControlKind { Static, PushButton };

// One control of a template; position and size in dialog units (a quarter
// of the font's average character width, an eighth of its height).
struct DialogControl {
    ControlKind kind;
    int id;
    const char* text;
    short x, y, cx, cy;
};

struct DialogTemplate {
    const char* name;
    const char* caption;
    const char* fontName;
    int fontPointSize;
    short cx, cy;
    const DialogControl* controls;
    std::size_t controlCount;
};

// What a module holds besides its code. A module instance handle names it,
// as the loader of the original platform finds resources through the
// module's handle.
struct ModuleResources {
    const DialogTemplate* dialogs;
    std::size_t dialogCount;
};
using HINSTANCE = const ModuleResources*;

// The template of that name in the module; null when it has none.
const DialogTemplate* FindDialogTemplate(HINSTANCE instance, const char* name);

// ---- page descriptions -----------------------------------------------------

using DLGPROC = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The page description of the original (40 bytes with 32-bit pointers),
// fields in the original order. Only the fields below are read.
struct PROPSHEETPAGE {
    DWORD dwSize;
    DWORD dwFlags;
    HINSTANCE hInstance;
    const char* pszTemplate;
    void* hIcon;
    const char* pszTitle;
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    void* pfnCallback;
    LONG* pcRefParent; // counted while the page lives, with PSP_USEREFPARENT
};
constexpr DWORD PROPSHEETPAGE_V1_SIZE = sizeof(PROPSHEETPAGE);

// A page made from its description (which is copied): null when the size
// is too small, there is no dialog procedure or the module has no such
// template. With PSP_USEREFPARENT the page adds 1 to *pcRefParent now and
// takes it away when it is destroyed (atomically: sheets run on any thread).
HPROPSHEETPAGE CreatePropertySheetPage(const PROPSHEETPAGE* description);
// Destroys a page that no sheet took, or one whose sheet is closing, with
// its dialog if one was made. FALSE for a value that is not a live page.
BOOL DestroyPropertySheetPage(HPROPSHEETPAGE page);

// For hosts: the page's copy of its description, its title (the
// description's with PSP_USETITLE, else the template's caption) and
// template. Null / empty for a value that is not a live page.
const PROPSHEETPAGE* PropertySheetPageDescription(HPROPSHEETPAGE page);
std::string PropertySheetPageTitle(HPROPSHEETPAGE page);
const DialogTemplate* PropertySheetPageTemplate(HPROPSHEETPAGE page);

// ---- dialogs ---------------------------------------------------------------

constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT BN_CLICKED = 0;

// Notifications a sheet sends its pages.
struct NMHDR {
    HWND hwndFrom;
    std::uintptr_t idFrom;
    UINT code;
};
constexpr UINT PSN_FIRST = 0u - 200u;
constexpr UINT PSN_SETACTIVE = PSN_FIRST - 0;
constexpr UINT PSN_KILLACTIVE = PSN_FIRST - 1;
constexpr UINT PSN_APPLY = PSN_FIRST - 2;
constexpr UINT PSN_RESET = PSN_FIRST - 3;
constexpr LONG_PTR PSNRET_NOERROR = 0;

// Index of the message result of a dialog (SetWindowLongPtr).
constexpr int DWLP_MSGRESULT = 0;

constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
    return static_cast<WPARAM>((low & 0xFFFFu) | (high & 0xFFFFu) << 16);
}
constexpr unsigned LOWORD(WPARAM value) {
    return static_cast<unsigned>(value & 0xFFFFu);
}
constexpr unsigned HIWORD(WPARAM value) {
    return static_cast<unsigned>((value >> 16) & 0xFFFFu);
}

// The page's dialog: the template's controls, each holding the template's
// text, then WM_INITDIALOG sent to the page's procedure with the page's
// description. A page has at most one dialog: a second call gives the same.
// Null for a value that is not a live page.
HWND CreatePropertySheetPageDialog(HPROPSHEETPAGE page);
// Destroys a dialog before its page; FALSE when it is not a live dialog.
BOOL DestroyWindow(HWND dialog);

// Calls the dialog's procedure. The result is the procedure's for
// WM_INITDIALOG, else the dialog's message result when the procedure
// handled the message and 0 when it did not. 0 for a dead dialog.
LRESULT SendMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// As the original for DWLP_MSGRESULT; 0 for another index or a dead dialog.
LONG_PTR SetWindowLongPtr(HWND dialog, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtr(HWND dialog, int index);

// The text of the first control with that id. FALSE / 0 when there is none.
BOOL SetDlgItemText(HWND dialog, int id, const char* text);
// Copies the text, cut to size - 1 bytes and NUL-ended; its length.
UINT GetDlgItemText(HWND dialog, int id, char* buffer, int size);

// For hosts: every control in template order with its current text.
struct DialogItem {
    DialogControl control; // the template's entry
    std::string text;      // what the control holds now
};
std::vector<DialogItem> DialogItems(HWND dialog);
const DialogTemplate* DialogTemplateOf(HWND dialog);

// ---- cursor ----------------------------------------------------------------

constexpr std::uintptr_t IDC_ARROW = 32512;
constexpr std::uintptr_t IDC_WAIT = 32514;

// A standard cursor (instance null): its handle; 0 otherwise.
HCURSOR LoadCursor(HINSTANCE instance, std::uintptr_t id);
// Makes `cursor` the calling thread's cursor and returns the previous one
// (the arrow on a thread that never set one). The host's hook, if any, is
// told of every change so it can show it.
HCURSOR SetCursor(HCURSOR cursor);
void setCursorHook(std::function<void(HCURSOR)> hook);

} // namespace platform
