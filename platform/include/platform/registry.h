#pragma once
// The registry: two hives (local machine, current user) kept as REGEDIT4 text
// files. Keys are opened, never created; values are REG_SZ or REG_DWORD.
// Return codes are the system error codes callers of a registry expect.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

enum class Hive { LocalMachine, CurrentUser };

enum class RegAccess { Query, SetValue };

constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_DWORD = 4;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_WRITE_FAULT = 29;
constexpr long ERROR_OUTOFMEMORY = 14;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_BADDB = 1009; // a hive that cannot be parsed is not written

// Path of a hive's file: $KAVREL_SYSTEM_HIVE / $KAVREL_USER_HIVE when set,
// else <prefix>/etc/kavrel/system.reg and $XDG_CONFIG_HOME/kavrel/user.reg.
std::string hivePath(Hive hive);

// An open key. Closing happens on destruction or close(); a closed or
// never-opened key answers ERROR_INVALID_HANDLE.
class RegistryKey {
public:
    RegistryKey();
    ~RegistryKey();
    RegistryKey(RegistryKey&&) noexcept;
    RegistryKey& operator=(RegistryKey&&) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key ("Software\\Quorvane Geo\\Morvane Find"); names are
    // matched ignoring letter case. ERROR_FILE_NOT_FOUND when it is absent.
    long open(Hive hive, std::string_view subkey, RegAccess access);
    void close();
    bool isOpen() const;

    // As RegQueryValueEx: an empty name is the key's default value. `size` is
    // the buffer size in, the bytes of the value out (texts count their NUL).
    // ERROR_MORE_DATA when the value does not fit; `type` may be null.
    long queryValue(std::string_view name, std::uint32_t* type, void* data,
                    std::uint32_t* size) const;
    // As RegSetValueEx; needs SetValue access. The hive file is rewritten
    // atomically; a hive that could not be parsed is never written.
    long setValue(std::string_view name, std::uint32_t type, const void* data, std::uint32_t size);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform
