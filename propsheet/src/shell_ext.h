#pragma once
// The property-sheet extension object: IShellPropSheetExt (also its
// IUnknown) and IShellExtInit on one object with one reference count.
#include "platform/com.h"

#include <atomic>

namespace velmora {

using namespace platform;

class CPropSheetExt final : public IShellPropSheetExt, public IShellExtInit {
public:
    CPropSheetExt();
    CPropSheetExt(const CPropSheetExt&) = delete;
    CPropSheetExt& operator=(const CPropSheetExt&) = delete;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM parameter) override;
    HRESULT ReplacePage(UINT pageId, LPFNADDPROPSHEETPAGE replaceWith, LPARAM parameter) override;

    HRESULT Initialize(LPCITEMIDLIST folder, IDataObject* data, HKEY programKey) override;

private:
    ~CPropSheetExt();
    std::atomic<ULONG> references_{1};
    char fileName_[260] = {};
};

} // namespace velmora
