#pragma once
// How a host reads a page's dialog: rows of a label and the value beside
// it, the push buttons, pressing one, and the sheet's notifications.
#include "platform/property_sheet.h"

#include <string>
#include <vector>

namespace velmorahost {

struct PageRow {
    std::string label; // as the template holds it
    std::string value; // what the value control holds now
};

// Top to bottom, one row per line of text controls: the leftmost is the
// label (fixed, or filled by the page), the next the value. Buttons form no
// row, nor does a line whose texts are all empty.
std::vector<PageRow> pageRows(platform::HWND dialog);

// The ids of the dialog's push buttons in template order.
std::vector<int> pageButtons(platform::HWND dialog);

// Sends the click of button `id`, as the control would.
void pressButton(platform::HWND dialog, int id);

// Sends a sheet notification (PSN_*) to the page; the page's answer.
platform::LRESULT notifyPage(platform::HWND dialog, platform::UINT code);

} // namespace velmorahost
