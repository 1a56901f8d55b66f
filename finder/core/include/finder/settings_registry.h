#pragma once
// The finder's registry access object. It holds at most one open key: each
// operation closes the key left open by the previous one, then opens its own
// key (never creating it) with the least access it needs.
#include <platform/registry.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace finder {

inline constexpr std::string_view kMakerKey = "Software\\Quorvane Geo\\";
inline constexpr std::string_view kProductSubkey = "Morvane Find";
inline constexpr std::string_view kAppPathsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
// The App Paths entry of the finder is named after its executable file.
inline constexpr std::string_view kFinderExecutable = "kavrel";

// Return codes: Success, platform::ERROR_MORE_DATA (234) when the value does
// not fit, otherwise the registry's error code (ERROR_FILE_NOT_FOUND also for
// an empty text, ErrorInvalidData for a value of the wrong type or size).
class CSettingsRegistry {
public:
    static constexpr std::uint32_t Success = 0x20000000;
    static constexpr std::uint32_t ErrorInvalidData = 13;

    CSettingsRegistry();
    ~CSettingsRegistry();
    CSettingsRegistry(const CSettingsRegistry&) = delete;
    CSettingsRegistry& operator=(const CSettingsRegistry&) = delete;

    // Default value of App Paths\<exeName> (HKLM): non-empty and at most
    // size - 1 characters.
    std::uint32_t GetAppPath(std::string_view exeName, std::string& out, std::size_t size);
    // "DataBasePath" under the maker key (HKLM): non-empty and fits.
    std::uint32_t GetDataBasePath(std::string& out, std::size_t size);
    // "Options" (HKCU, REG_DWORD of 4 bytes); `options` is set on success only.
    std::uint32_t GetOptions(std::string_view productSubkey, std::uint32_t& options);
    std::uint32_t SetOptions(std::string_view productSubkey, std::uint32_t options);
    // "UseFootprintCache" (HKCU, REG_DWORD of 4 bytes): 0 when searches are
    // not to use the footprint cache; `value` is set on success only.
    std::uint32_t GetFootprintCache(std::string_view productSubkey, std::uint32_t& value);
    std::uint32_t SetFootprintCache(std::string_view productSubkey, std::uint32_t value);
    // "SupportedFormats" (HKLM) read into 260 bytes.
    std::uint32_t GetSupportedFormats(std::string_view productSubkey, std::string& out);

    void Close();
    bool hasOpenKey() const;

private:
    std::uint32_t readText(platform::Hive hive, std::string_view key, std::string_view value,
                           std::string& out, std::size_t size, bool requireNonEmpty);
    std::uint32_t readDword(std::string_view productSubkey, std::string_view value,
                            std::uint32_t& out);
    std::uint32_t writeDword(std::string_view productSubkey, std::string_view value,
                             std::uint32_t data);
    platform::RegistryKey key_;
};

} // namespace finder
