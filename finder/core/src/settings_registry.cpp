#include "finder/settings_registry.h"

#include "finder/startup_settings.h"

#include <cstring>

namespace finder {
namespace {

using platform::Hive;
using platform::RegAccess;

std::string productKey(std::string_view subkey) {
    std::string key(kMakerKey);
    key += subkey;
    return key;
}

std::string_view makerKeyName() {
    std::string_view key = kMakerKey;
    key.remove_suffix(1); // the trailing "\"
    return key;
}

std::uint32_t code(long error) {
    return static_cast<std::uint32_t>(error);
}

} // namespace

CSettingsRegistry::CSettingsRegistry() = default;

CSettingsRegistry::~CSettingsRegistry() = default;

void CSettingsRegistry::Close() {
    key_.close();
}

bool CSettingsRegistry::hasOpenKey() const {
    return key_.isOpen();
}

std::uint32_t CSettingsRegistry::readText(Hive hive, std::string_view key, std::string_view value,
                                          std::string& out, std::size_t size,
                                          bool requireNonEmpty) {
    Close();
    if (long error = key_.open(hive, key, RegAccess::Query); error != platform::ERROR_SUCCESS)
        return code(error);
    char buffer[kTextBufferSize] = {};
    std::uint32_t type = 0;
    std::uint32_t bytes = sizeof buffer;
    if (long error = key_.queryValue(value, &type, buffer, &bytes);
        error != platform::ERROR_SUCCESS)
        return code(error);
    if (type != platform::REG_SZ)
        return ErrorInvalidData;
    const std::size_t length = strnlen(buffer, sizeof buffer);
    if (requireNonEmpty && length == 0)
        return code(platform::ERROR_FILE_NOT_FOUND);
    if (size == 0 || length > size - 1)
        return code(platform::ERROR_MORE_DATA);
    out.assign(buffer, length);
    return Success;
}

std::uint32_t CSettingsRegistry::GetAppPath(std::string_view exeName, std::string& out,
                                            std::size_t size) {
    std::string key(kAppPathsKey);
    key += exeName;
    return readText(Hive::LocalMachine, key, "", out, size, true);
}

std::uint32_t CSettingsRegistry::GetDataBasePath(std::string& out, std::size_t size) {
    return readText(Hive::LocalMachine, makerKeyName(), "DataBasePath", out, size, true);
}

std::uint32_t CSettingsRegistry::GetSupportedFormats(std::string_view productSubkey,
                                                     std::string& out) {
    return readText(Hive::LocalMachine, productKey(productSubkey), "SupportedFormats", out,
                    kTextBufferSize, false);
}

std::uint32_t CSettingsRegistry::readDword(std::string_view productSubkey, std::string_view value,
                                           std::uint32_t& out) {
    Close();
    if (long error = key_.open(Hive::CurrentUser, productKey(productSubkey), RegAccess::Query);
        error != platform::ERROR_SUCCESS)
        return code(error);
    // Read into a larger buffer so that a value of another size is seen as such.
    unsigned char buffer[8] = {};
    std::uint32_t type = 0;
    std::uint32_t bytes = sizeof buffer;
    if (long error = key_.queryValue(value, &type, buffer, &bytes);
        error != platform::ERROR_SUCCESS)
        return code(error);
    if (type != platform::REG_DWORD || bytes != 4)
        return ErrorInvalidData;
    std::uint32_t data = 0;
    std::memcpy(&data, buffer, 4);
    out = data;
    return Success;
}

std::uint32_t CSettingsRegistry::writeDword(std::string_view productSubkey, std::string_view value,
                                            std::uint32_t data) {
    Close();
    if (long error = key_.open(Hive::CurrentUser, productKey(productSubkey), RegAccess::SetValue);
        error != platform::ERROR_SUCCESS)
        return code(error);
    if (long error = key_.setValue(value, platform::REG_DWORD, &data, sizeof data);
        error != platform::ERROR_SUCCESS)
        return code(error);
    return Success;
}

std::uint32_t CSettingsRegistry::GetOptions(std::string_view productSubkey,
                                            std::uint32_t& options) {
    return readDword(productSubkey, "Options", options);
}

std::uint32_t CSettingsRegistry::SetOptions(std::string_view productSubkey, std::uint32_t options) {
    return writeDword(productSubkey, "Options", options);
}

std::uint32_t CSettingsRegistry::GetFootprintCache(std::string_view productSubkey,
                                                   std::uint32_t& value) {
    return readDword(productSubkey, "UseFootprintCache", value);
}

std::uint32_t CSettingsRegistry::SetFootprintCache(std::string_view productSubkey,
                                                   std::uint32_t value) {
    return writeDword(productSubkey, "UseFootprintCache", value);
}

} // namespace finder
