// Property sheet pages and their dialogs: live objects kept in tables, so a
// value that is not a live page or dialog is refused instead of followed.
#include "platform/property_sheet.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_set>

namespace platform {

namespace {

struct Dialog;

struct Page {
    PROPSHEETPAGE description;
    std::string title;
    const DialogTemplate* dialogTemplate;
    Dialog* dialog = nullptr;
};

struct Dialog {
    Page* page;
    std::vector<DialogItem> items;
    LONG_PTR messageResult = 0;
};

// Every live page and dialog of the process.
struct LiveObjects {
    std::mutex mutex;
    std::unordered_set<Page*> pages;
    std::unordered_set<Dialog*> dialogs;

    Page* page(HPROPSHEETPAGE handle) {
        const auto it = pages.find(static_cast<Page*>(handle));
        return it == pages.end() ? nullptr : *it;
    }
    Dialog* dialog(HWND handle) {
        const auto it = dialogs.find(static_cast<Dialog*>(handle));
        return it == dialogs.end() ? nullptr : *it;
    }
};

LiveObjects& live() {
    static LiveObjects objects;
    return objects;
}

void countParent(const PROPSHEETPAGE& d, LONG delta) {
    if ((d.dwFlags & PSP_USEREFPARENT) && d.pcRefParent != nullptr)
        std::atomic_ref<LONG>(*d.pcRefParent).fetch_add(delta);
}

// The dialog procedure of a live dialog, looked up under the lock and
// called outside it (procedures set control texts).
DLGPROC procedureOf(HWND handle) {
    std::lock_guard lock(live().mutex);
    const Dialog* d = live().dialog(handle);
    return d ? d->page->description.pfnDlgProc : nullptr;
}

} // namespace

const DialogTemplate* FindDialogTemplate(HINSTANCE instance, const char* name) {
    if (instance == nullptr || name == nullptr)
        return nullptr;
    for (std::size_t i = 0; i < instance->dialogCount; ++i) {
        if (std::strcmp(instance->dialogs[i].name, name) == 0)
            return &instance->dialogs[i];
    }
    return nullptr;
}

HPROPSHEETPAGE CreatePropertySheetPage(const PROPSHEETPAGE* description) {
    if (description == nullptr || description->dwSize < PROPSHEETPAGE_V1_SIZE ||
        description->pfnDlgProc == nullptr)
        return nullptr;
    const DialogTemplate* dialogTemplate =
        FindDialogTemplate(description->hInstance, description->pszTemplate);
    if (dialogTemplate == nullptr)
        return nullptr;
    try {
        auto page = std::make_unique<Page>(Page{*description, {}, dialogTemplate});
        const bool ownTitle = (description->dwFlags & PSP_USETITLE) && description->pszTitle;
        page->title = ownTitle ? description->pszTitle : dialogTemplate->caption;
        {
            std::lock_guard lock(live().mutex);
            live().pages.insert(page.get());
        }
        countParent(page->description, +1);
        return page.release();
    } catch (...) {
        return nullptr;
    }
}

BOOL DestroyPropertySheetPage(HPROPSHEETPAGE handle) {
    std::unique_ptr<Page> page;
    std::unique_ptr<Dialog> dialog;
    {
        std::lock_guard lock(live().mutex);
        page.reset(live().page(handle));
        if (!page)
            return 0;
        live().pages.erase(page.get());
        dialog.reset(page->dialog);
        if (dialog)
            live().dialogs.erase(dialog.get());
    }
    countParent(page->description, -1);
    return 1;
}

const PROPSHEETPAGE* PropertySheetPageDescription(HPROPSHEETPAGE handle) {
    std::lock_guard lock(live().mutex);
    const Page* page = live().page(handle);
    return page ? &page->description : nullptr;
}

std::string PropertySheetPageTitle(HPROPSHEETPAGE handle) {
    std::lock_guard lock(live().mutex);
    const Page* page = live().page(handle);
    return page ? page->title : std::string();
}

const DialogTemplate* PropertySheetPageTemplate(HPROPSHEETPAGE handle) {
    std::lock_guard lock(live().mutex);
    const Page* page = live().page(handle);
    return page ? page->dialogTemplate : nullptr;
}

HWND CreatePropertySheetPageDialog(HPROPSHEETPAGE handle) {
    Dialog* made = nullptr;
    const PROPSHEETPAGE* description = nullptr;
    {
        std::lock_guard lock(live().mutex);
        Page* page = live().page(handle);
        if (page == nullptr)
            return nullptr;
        if (page->dialog != nullptr)
            return page->dialog;
        auto dialog = std::make_unique<Dialog>(Dialog{page, {}});
        const DialogTemplate& t = *page->dialogTemplate;
        for (std::size_t i = 0; i < t.controlCount; ++i)
            dialog->items.push_back({t.controls[i], t.controls[i].text ? t.controls[i].text : ""});
        live().dialogs.insert(dialog.get());
        page->dialog = made = dialog.release();
        description = &page->description;
    }
    SendMessage(made, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(description));
    return made;
}

BOOL DestroyWindow(HWND handle) {
    std::unique_ptr<Dialog> dialog;
    std::lock_guard lock(live().mutex);
    dialog.reset(live().dialog(handle));
    if (!dialog)
        return 0;
    live().dialogs.erase(dialog.get());
    dialog->page->dialog = nullptr;
    return 1;
}

LRESULT SendMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const DLGPROC procedure = procedureOf(dialog);
    if (procedure == nullptr)
        return 0;
    const INT_PTR handled = procedure(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        return handled;
    return handled ? GetWindowLongPtr(dialog, DWLP_MSGRESULT) : 0;
}

LONG_PTR SetWindowLongPtr(HWND handle, int index, LONG_PTR value) {
    std::lock_guard lock(live().mutex);
    Dialog* dialog = live().dialog(handle);
    if (dialog == nullptr || index != DWLP_MSGRESULT)
        return 0;
    const LONG_PTR previous = dialog->messageResult;
    dialog->messageResult = value;
    return previous;
}

LONG_PTR GetWindowLongPtr(HWND handle, int index) {
    std::lock_guard lock(live().mutex);
    const Dialog* dialog = live().dialog(handle);
    return dialog != nullptr && index == DWLP_MSGRESULT ? dialog->messageResult : 0;
}

BOOL SetDlgItemText(HWND handle, int id, const char* text) {
    try {
        std::lock_guard lock(live().mutex);
        Dialog* dialog = live().dialog(handle);
        if (dialog == nullptr)
            return 0;
        for (DialogItem& item : dialog->items) {
            if (item.control.id == id) {
                item.text = text ? text : "";
                return 1;
            }
        }
        return 0;
    } catch (...) {
        return 0;
    }
}

UINT GetDlgItemText(HWND handle, int id, char* buffer, int size) {
    std::lock_guard lock(live().mutex);
    const Dialog* dialog = live().dialog(handle);
    if (dialog == nullptr || buffer == nullptr || size <= 0)
        return 0;
    for (const DialogItem& item : dialog->items) {
        if (item.control.id == id) {
            const std::size_t n = std::min(item.text.size(), static_cast<std::size_t>(size - 1));
            std::memcpy(buffer, item.text.data(), n);
            buffer[n] = '\0';
            return static_cast<UINT>(n);
        }
    }
    buffer[0] = '\0';
    return 0;
}

std::vector<DialogItem> DialogItems(HWND handle) {
    std::lock_guard lock(live().mutex);
    const Dialog* dialog = live().dialog(handle);
    return dialog ? dialog->items : std::vector<DialogItem>{};
}

const DialogTemplate* DialogTemplateOf(HWND handle) {
    std::lock_guard lock(live().mutex);
    const Dialog* dialog = live().dialog(handle);
    return dialog ? dialog->page->dialogTemplate : nullptr;
}

} // namespace platform
