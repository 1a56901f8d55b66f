// The steps of opening a Properties sheet with the server's pages.
#include "property_session.h"

#include "file_data_object.h"
#include <platform/com_ref.h>

#include <cstdio>

namespace velmorahost {

using namespace platform;

PropertySession::PropertySession(std::string serverPath) : serverPath_(std::move(serverPath)) {}

PropertySession::~PropertySession() {
    close();
}

bool PropertySession::fail(const std::string& step, HRESULT result, const std::string& why) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
    error_ = step + " failed (" + code + "): " + why;
    return false;
}

BOOL PropertySession::addPage(HPROPSHEETPAGE page, LPARAM session) {
    try {
        auto* self = reinterpret_cast<PropertySession*>(session);
        self->pages_.push_back({page, nullptr, PropertySheetPageTitle(page)});
        return 1;
    } catch (...) {
        return 0;
    }
}

bool PropertySession::open(const std::vector<std::string>& files) {
    close();
    error_.clear();
    if (!server_.load(serverPath_)) {
        error_ = server_.error();
        return false;
    }
    platform::ComRef<IClassFactory> factory;
    HRESULT result = server_.getClassObject(velmora::CLSID_VelmoraPropSheet, IID_IClassFactory,
                                            factory.putVoid());
    if (FAILED(result))
        return fail("DllGetClassObject", result, "the server does not offer its class");
    platform::ComRef<IShellExtInit> init;
    result = factory->CreateInstance(nullptr, IID_IShellExtInit, init.putVoid());
    if (FAILED(result))
        return fail("CreateInstance", result,
                    "the database folder is not in the registry or the map-view library "
                    "could not start with it");
    platform::ComRef<IDataObject> data(CFileDataObject::create(files));
    if (!data)
        return fail("Initialize", E_OUTOFMEMORY, "no data object");
    result = init->Initialize(nullptr, data.get(), nullptr);
    if (FAILED(result))
        return fail("Initialize", result, "the extension describes exactly one file");
    platform::ComRef<IShellPropSheetExt> sheetExt;
    result = init->QueryInterface(IID_IShellPropSheetExt, sheetExt.putVoid());
    if (FAILED(result))
        return fail("QueryInterface", result, "no IShellPropSheetExt");
    sheetExt->AddPages(&PropertySession::addPage, reinterpret_cast<LPARAM>(this));
    if (pages_.empty()) {
        error_ = "the extension gave no pages";
        return false;
    }
    for (SheetPage& page : pages_)
        page.dialog = CreatePropertySheetPageDialog(page.page);
    return true;
}

HRESULT PropertySession::close() {
    for (const SheetPage& page : pages_)
        DestroyPropertySheetPage(page.page);
    pages_.clear();
    if (!server_.loaded())
        return E_FAIL;
    const HRESULT answer = server_.canUnloadNow();
    if (answer == S_OK)
        server_.unload();
    return answer;
}

} // namespace velmorahost
