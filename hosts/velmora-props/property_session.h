#pragma once
// One Properties sheet as a file manager opens it for the selected files:
// the server loaded, its class factory and extension object made, the
// files handed over in a data object, the pages added; then each page's
// dialog made. Closing destroys the pages, asks the server whether it may
// go and unloads it when it agrees. Hosts render the dialogs themselves.
#include "server_library.h"

#include "platform/property_sheet.h"

#include <string>
#include <vector>

namespace velmorahost {

struct SheetPage {
    platform::HPROPSHEETPAGE page;
    platform::HWND dialog;
    std::string title;
};

class PropertySession {
public:
    explicit PropertySession(std::string serverPath = defaultServerPath());
    ~PropertySession();
    PropertySession(const PropertySession&) = delete;
    PropertySession& operator=(const PropertySession&) = delete;

    // True when the extension gave pages for `files` (full paths); false
    // with the reason in error() otherwise.
    bool open(const std::vector<std::string>& files);
    const std::string& error() const { return error_; }
    const std::vector<SheetPage>& pages() const { return pages_; }

    // Destroys the pages, then asks DllCanUnloadNow and unloads the server
    // when it answers S_OK. Its answer; E_FAIL when nothing was loaded.
    platform::HRESULT close();

private:
    bool fail(const std::string& step, platform::HRESULT result, const std::string& why);
    static platform::BOOL addPage(platform::HPROPSHEETPAGE page, platform::LPARAM session);

    std::string serverPath_;
    ServerLibrary server_;
    std::vector<SheetPage> pages_;
    std::string error_;
};

} // namespace velmorahost
