// The server's two exports. No exception leaves them.
#include "velmora/velmora.h"

#include "class_factory.h"
#include "module.h"

#include <new>

using namespace platform;

extern "C" {

HRESULT DllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (classId != velmora::CLSID_VelmoraPropSheet)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) velmora::CClassFactory;
    if (factory == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(interfaceId, object);
    factory->Release();
    return result;
}

HRESULT DllCanUnloadNow(void) {
    if (velmora::objectCount() != 0)
        return S_FALSE;
    velmora::shutDownLibrary();
    return S_OK;
}

} // extern "C"
