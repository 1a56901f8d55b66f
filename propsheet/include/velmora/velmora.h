#pragma once
// What a host needs to load the property-page server: its class identifier
// and the two entry points it exports.
#include "platform/com.h"

namespace velmora {

// {91351923-AECC-406A-A668-D8DE5475FDE2}: the property-sheet extension.
constexpr platform::CLSID CLSID_VelmoraPropSheet = {
    0x91351923, 0xAECC, 0x406A, {0xA6, 0x68, 0xD8, 0xDE, 0x54, 0x75, 0xFD, 0xE2}};

} // namespace velmora

extern "C" {

// The class factory of the extension class (IUnknown or IClassFactory).
platform::HRESULT DllGetClassObject(platform::REFCLSID classId, platform::REFIID interfaceId,
                                    void** object);
// S_OK when no factory, extension object or page of the server lives.
platform::HRESULT DllCanUnloadNow(void);

} // extern "C"

namespace velmora {
using DllGetClassObjectFn = decltype(&DllGetClassObject);
using DllCanUnloadNowFn = decltype(&DllCanUnloadNow);
} // namespace velmora
