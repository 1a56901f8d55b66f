#pragma once
// Registry helper of the property-page server: where the coordinate-system
// database lives.
#include <cstdint>

#include "platform/registry.h"

namespace thimble32 {

// Success code of every CRegistry operation.
constexpr std::uint32_t kRegistrySuccess = 0x20000000;

class CRegistry {
public:
    CRegistry();
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // The folder of datora.dat: value "DataBasePath" of the local-machine key
    // "Software\Quorvane Geo". kRegistrySuccess when the value is a non-empty
    // text that fits `size` bytes with its NUL (copied to `buffer`); 234 when
    // it does not fit; otherwise the registry's error code (2 when absent).
    std::uint32_t GetDatoraDatPath(char* buffer, std::uint32_t size);

private:
    platform::RegistryKey key_;
};

} // namespace thimble32

using thimble32::CRegistry;
