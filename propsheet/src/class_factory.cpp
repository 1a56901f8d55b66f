// The class factory: starts the map-view library for the first extension
// object while it is the only object alive, and makes extension objects.
#include "class_factory.h"

#include "module.h"
#include "shell_ext.h"

#include <new>

namespace velmora {

CClassFactory::CClassFactory() {
    objectCreated();
}

CClassFactory::~CClassFactory() {
    objectDestroyed();
}

HRESULT CClassFactory::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CClassFactory::AddRef() {
    return ++references_;
}

ULONG CClassFactory::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    try {
        // Only this factory alive: the library is (re)started for the
        // first extension object.
        if (objectCount() == 1 && FAILED(startLibrary()))
            return E_FAIL;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        auto* extension = new (std::nothrow) CPropSheetExt;
        if (extension == nullptr)
            return E_OUTOFMEMORY;
        const HRESULT result = extension->QueryInterface(riid, object);
        extension->Release();
        return result;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CClassFactory::LockServer(BOOL) {
    return E_NOTIMPL;
}

} // namespace velmora
