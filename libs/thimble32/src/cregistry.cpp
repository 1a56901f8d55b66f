// The database folder from the local-machine hive.
#include "thimble32/cregistry.h"

#include <cstring>

namespace thimble32 {
namespace {
constexpr char kMakerKey[] = "Software\\Quorvane Geo";
constexpr char kDataBasePath[] = "DataBasePath";
constexpr std::uint32_t kTextBufferSize = 260;
} // namespace

CRegistry::CRegistry() = default;
CRegistry::~CRegistry() = default;

std::uint32_t CRegistry::GetDatoraDatPath(char* buffer, std::uint32_t size) {
    try {
        key_.close();
        long rc = key_.open(platform::Hive::LocalMachine, kMakerKey, platform::RegAccess::Query);
        if (rc != platform::ERROR_SUCCESS)
            return static_cast<std::uint32_t>(rc);
        char text[kTextBufferSize] = {};
        std::uint32_t type = 0;
        std::uint32_t bytes = sizeof text;
        rc = key_.queryValue(kDataBasePath, &type, text, &bytes);
        key_.close();
        if (rc != platform::ERROR_SUCCESS)
            return static_cast<std::uint32_t>(rc);
        if (type != platform::REG_SZ)
            return platform::ERROR_FILE_NOT_FOUND;
        text[sizeof text - 1] = '\0';
        const std::size_t length = std::strlen(text);
        if (length == 0)
            return platform::ERROR_FILE_NOT_FOUND;
        if (buffer == nullptr || length + 1 > size)
            return platform::ERROR_MORE_DATA;
        std::memcpy(buffer, text, length + 1);
        return kRegistrySuccess;
    } catch (...) {
        return platform::ERROR_INVALID_PARAMETER;
    }
}

} // namespace thimble32
