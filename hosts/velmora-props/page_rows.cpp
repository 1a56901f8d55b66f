// Rows and buttons of a page's dialog, read from its controls.
#include "page_rows.h"

#include <algorithm>

namespace velmorahost {

using namespace platform;

std::vector<PageRow> pageRows(HWND dialog) {
    const std::vector<DialogItem> items = DialogItems(dialog);
    std::vector<const DialogItem*> labels;
    for (const DialogItem& item : items) {
        if (item.control.kind == ControlKind::Static && item.control.id == IDC_STATIC)
            labels.push_back(&item);
    }
    std::stable_sort(labels.begin(), labels.end(), [](const DialogItem* a, const DialogItem* b) {
        return a->control.y < b->control.y;
    });
    std::vector<PageRow> rows;
    for (const DialogItem* label : labels) {
        const auto value = std::find_if(items.begin(), items.end(), [&](const DialogItem& item) {
            return item.control.kind == ControlKind::Static && item.control.id != IDC_STATIC &&
                   item.control.y == label->control.y;
        });
        rows.push_back({label->text, value == items.end() ? std::string() : value->text});
    }
    return rows;
}

std::vector<int> pageButtons(HWND dialog) {
    std::vector<int> ids;
    for (const DialogItem& item : DialogItems(dialog)) {
        if (item.control.kind == ControlKind::PushButton)
            ids.push_back(item.control.id);
    }
    return ids;
}

void pressButton(HWND dialog, int id) {
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
}

LRESULT notifyPage(HWND dialog, UINT code) {
    NMHDR header{nullptr, 0, code};
    return SendMessage(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

} // namespace velmorahost
