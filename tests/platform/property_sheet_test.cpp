// Property sheet pages and their dialogs: pages count their reference
// parent while they live, dialogs hold the template's texts and take the
// procedure's, dead handles are refused; drop lists read back.
#include "platform/drop_list.h"
#include "platform/property_sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;

namespace {

constexpr DialogControl kControls[] = {
    {ControlKind::Static, IDC_STATIC, "Name:", 8, 12, 60, 8},
    {ControlKind::Static, 501, "", 70, 12, 100, 8},
    {ControlKind::PushButton, 502, "Go", 120, 40, 50, 14},
};
constexpr DialogTemplate kTemplates[] = {
    {"Sample", "Sample caption", "MS Sans Serif", 8, 194, 150, kControls, 3}};
constexpr ModuleResources kModule = {kTemplates, 1};

// Records what the procedure was sent; answers commands of 502 by setting
// 501, notifications with result 0.
struct Seen {
    std::vector<UINT> messages;
    LPARAM initParameter = 0;
};
Seen seen;

INT_PTR sampleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.messages.push_back(message);
    if (message == WM_INITDIALOG) {
        seen.initParameter = reinterpret_cast<const PROPSHEETPAGE*>(lParam)->lParam;
        return 1;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == 502) {
        SetDlgItemText(dialog, 501, "pressed");
        return 1;
    }
    if (message == WM_NOTIFY) {
        SetWindowLongPtr(dialog, DWLP_MSGRESULT, PSNRET_NOERROR);
        return 1;
    }
    return 0;
}

PROPSHEETPAGE description(LONG* parent) {
    PROPSHEETPAGE d{};
    d.dwSize = PROPSHEETPAGE_V1_SIZE;
    d.dwFlags = PSP_USETITLE | PSP_USEREFPARENT;
    d.hInstance = &kModule;
    d.pszTemplate = "Sample";
    d.pszTitle = "Own title";
    d.pfnDlgProc = sampleProc;
    d.lParam = 77;
    d.pcRefParent = parent;
    return d;
}

std::string itemText(HWND dialog, int id) {
    char text[64];
    GetDlgItemText(dialog, id, text, sizeof text);
    return text;
}

} // namespace

TEST(property_sheet_page, counts_its_reference_parent_while_it_lives) {
    LONG parent = 5;
    const struct {
        const char* what;
        void (*change)(PROPSHEETPAGE&);
        bool made;
        LONG countWhileAlive;
        const char* title;
    } cases[] = {
        {"as described", [](PROPSHEETPAGE&) {}, true, 6, "Own title"},
        {"no reference parent flag", [](PROPSHEETPAGE& d) { d.dwFlags = PSP_USETITLE; }, true, 5,
         "Own title"},
        {"no title flag", [](PROPSHEETPAGE& d) { d.dwFlags = PSP_USEREFPARENT; }, true, 6,
         "Sample caption"},
        {"record too small", [](PROPSHEETPAGE& d) { d.dwSize = 12; }, false, 5, ""},
        {"no procedure", [](PROPSHEETPAGE& d) { d.pfnDlgProc = nullptr; }, false, 5, ""},
        {"unknown template", [](PROPSHEETPAGE& d) { d.pszTemplate = "Other"; }, false, 5, ""},
        {"no module", [](PROPSHEETPAGE& d) { d.hInstance = nullptr; }, false, 5, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PROPSHEETPAGE d = description(&parent);
        c.change(d);
        const HPROPSHEETPAGE page = CreatePropertySheetPage(&d);
        EXPECT_EQ(page != nullptr, c.made);
        EXPECT_EQ(parent, c.countWhileAlive);
        EXPECT_EQ(PropertySheetPageTitle(page), c.title);
        EXPECT_EQ(DestroyPropertySheetPage(page), c.made ? 1 : 0);
        EXPECT_EQ(parent, 5);
        EXPECT_EQ(DestroyPropertySheetPage(page), 0); // a second time: refused
    }
}

TEST(property_sheet_dialog, holds_template_texts_and_answers_through_its_procedure) {
    LONG parent = 0;
    const PROPSHEETPAGE d = description(&parent);
    const HPROPSHEETPAGE page = CreatePropertySheetPage(&d);
    ASSERT_NE(page, nullptr);
    seen = {};
    const HWND dialog = CreatePropertySheetPageDialog(page);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CreatePropertySheetPageDialog(page), dialog);
    EXPECT_EQ(seen.messages, std::vector<UINT>{WM_INITDIALOG});
    EXPECT_EQ(seen.initParameter, 77); // the page's copy of its description
    EXPECT_EQ(itemText(dialog, IDC_STATIC), "Name:");
    EXPECT_EQ(itemText(dialog, 501), "");

    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(502, BN_CLICKED), 0);
    EXPECT_EQ(itemText(dialog, 501), "pressed");
    char cut[4];
    EXPECT_EQ(GetDlgItemText(dialog, 501, cut, sizeof cut), 3u);
    EXPECT_STREQ(cut, "pre");
    EXPECT_EQ(SetDlgItemText(dialog, 999, "x"), 0);

    SetWindowLongPtr(dialog, DWLP_MSGRESULT, 7);
    NMHDR header{nullptr, 0, PSN_APPLY};
    EXPECT_EQ(SendMessage(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_EQ(GetWindowLongPtr(dialog, DWLP_MSGRESULT), 0);
    EXPECT_EQ(DialogItems(dialog).size(), 3u);

    // The page takes its dialog with it; both handles are refused after.
    EXPECT_EQ(DestroyPropertySheetPage(page), 1);
    EXPECT_EQ(parent, 0);
    EXPECT_EQ(SetDlgItemText(dialog, 501, "late"), 0);
    EXPECT_EQ(SendMessage(dialog, WM_COMMAND, MAKEWPARAM(502, BN_CLICKED), 0), 0);
    EXPECT_TRUE(DialogItems(dialog).empty());
    EXPECT_EQ(DestroyWindow(dialog), 0);
}

TEST(drop_list, built_from_paths_reads_back) {
    const std::vector<std::string> paths = {"/data/roads.shp",
                                            "/data/my maps/\xc3\xa9t\xc3\xa9.tif"};
    GlobalBlock drop(makeDropList(paths));
    ASSERT_NE(drop.get(), 0u);
    ASSERT_EQ(DragQueryFile(drop.get(), 0xFFFFFFFF, nullptr, 0), 2u);
    char name[260];
    for (UINT i = 0; i < 2; ++i) {
        DragQueryFile(drop.get(), i, name, sizeof name);
        EXPECT_EQ(name, paths[i]);
    }
    GlobalBlock none(makeDropList({}));
    EXPECT_EQ(DragQueryFile(none.get(), 0xFFFFFFFF, nullptr, 0), 0u);
}
