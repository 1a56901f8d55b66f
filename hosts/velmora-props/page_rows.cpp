// Rows and buttons of a page's dialog, read from its controls.
#include "page_rows.h"

#include <algorithm>

namespace velmorahost {

using namespace platform;

std::vector<PageRow> pageRows(HWND dialog) {
    const std::vector<DialogItem> items = DialogItems(dialog);
    std::vector<const DialogItem*> texts;
    for (const DialogItem& item : items) {
        if (item.control.kind == ControlKind::Static)
            texts.push_back(&item);
    }
    std::stable_sort(texts.begin(), texts.end(), [](const DialogItem* a, const DialogItem* b) {
        return a->control.y != b->control.y ? a->control.y < b->control.y
                                            : a->control.x < b->control.x;
    });
    std::vector<PageRow> rows;
    for (std::size_t i = 0; i < texts.size();) {
        std::size_t next = i + 1;
        while (next < texts.size() && texts[next]->control.y == texts[i]->control.y)
            ++next;
        PageRow row{texts[i]->text, next > i + 1 ? texts[i + 1]->text : std::string()};
        // A line the page left empty (a layer row beyond the file's layers)
        // is no row.
        if (!row.label.empty() || !row.value.empty())
            rows.push_back(std::move(row));
        i = next;
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
