// The extension object: takes the one selected file from the file
// manager's data object and offers the Geography and Spatial Objects pages,
// and the Layers page for a file of several layers.
#include "shell_ext.h"

#include "module.h"
#include "page_templates.h"
#include "pages.h"
#include "sheet_facts.h"

#include "platform/clipboard.h"
#include "platform/property_sheet.h"
#include "platform/shell.h"
#include "velmora/page_layout.h"

#include <iterator>
#include <span>

namespace velmora {

CPropSheetExt::CPropSheetExt() {
    objectCreated();
}

CPropSheetExt::~CPropSheetExt() {
    objectDestroyed();
}

HRESULT CPropSheetExt::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IShellPropSheetExt) {
        *object = static_cast<IShellPropSheetExt*>(this);
    } else if (riid == IID_IShellExtInit) {
        *object = static_cast<IShellExtInit*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CPropSheetExt::AddRef() {
    return ++references_;
}

ULONG CPropSheetExt::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CPropSheetExt::AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM parameter) {
    struct PageKind {
        const char* templateName;
        const char* title;
        DLGPROC procedure;
    };
    static constexpr PageKind kPages[] = {{kGeoTemplate, kGeoTitle, GeographyPageProc},
                                          {kObjectTemplate, kObjectTitle, ObjectsPageProc},
                                          {kLayerTemplate, kLayerTitle, LayersPageProc}};
    PROPSHEETPAGE description{};
    description.dwSize = PROPSHEETPAGE_V1_SIZE;
    description.dwFlags = PSP_USETITLE | PSP_USEREFPARENT;
    description.hInstance = moduleInstance();
    description.pcRefParent = objectCountCell();
    // The Layers page only for a file of more than one layer.
    const std::size_t pages = offersLayersPage() ? std::size(kPages) : std::size(kPages) - 1;
    for (const PageKind& kind : std::span(kPages, pages)) {
        description.pszTemplate = kind.templateName;
        description.pszTitle = kind.title;
        description.pfnDlgProc = kind.procedure;
        const HPROPSHEETPAGE page = CreatePropertySheetPage(&description);
        if (page != nullptr && (addPage == nullptr || !addPage(page, parameter)))
            DestroyPropertySheetPage(page);
    }
    return S_OK;
}

HRESULT CPropSheetExt::ReplacePage(UINT, LPFNADDPROPSHEETPAGE, LPARAM) {
    return E_FAIL;
}

HRESULT CPropSheetExt::Initialize(LPCITEMIDLIST, IDataObject* data, HKEY) {
    if (data == nullptr)
        return E_FAIL;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium)))
        return E_FAIL;
    HRESULT result = E_FAIL;
    if (medium.tymed == TYMED_HGLOBAL &&
        DragQueryFile(medium.hGlobal, 0xFFFFFFFFu, nullptr, 0) == 1) {
        DragQueryFile(medium.hGlobal, 0, fileName_, sizeof fileName_);
        setCurrentFileName(fileName_);
        result = S_OK;
    }
    ReleaseStgMedium(&medium);
    return result;
}

} // namespace velmora
