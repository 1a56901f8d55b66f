#pragma once
// The class factory of the property-sheet extension.
#include "platform/com.h"

#include <atomic>

namespace velmora {

using namespace platform;

class CClassFactory final : public IClassFactory {
public:
    CClassFactory();
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT LockServer(BOOL lock) override;

private:
    ~CClassFactory();
    std::atomic<ULONG> references_{1};
};

} // namespace velmora
