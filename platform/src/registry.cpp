#include "platform/registry.h"

#include "hive_store.h"
#include "platform/paths.h"

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

std::string envPath(const char* name) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : std::string();
}

// A relative configuration folder lies under the prefix, except that a
// program installed in /usr keeps its configuration in /etc (as the GNU
// installation folders have it).
std::string systemHiveDefault() {
    const std::string sysconf = KAVREL_INSTALL_SYSCONFDIR;
    const std::string prefix = installPrefix();
    const std::string base = (!sysconf.empty() && sysconf.front() == '/') ? sysconf
                             : prefix == "/usr"                           ? "/" + sysconf
                                                                          : prefix + "/" + sysconf;
    return base + "/kavrel/system.reg";
}

std::string userHiveDefault() {
    std::string config = envPath("XDG_CONFIG_HOME");
    if (config.empty())
        config = envPath("HOME") + "/.config";
    return config + "/kavrel/user.reg";
}

// The bytes a value is stored as: texts up to their first NUL plus one NUL
// (a caller's size may or may not count it), DWORDs exactly 4 bytes.
bool storedBytes(std::uint32_t type, const void* data, std::uint32_t size, std::string& out) {
    if (size > 0 && data == nullptr)
        return false;
    const char* bytes = static_cast<const char*>(data);
    if (type == REG_SZ) {
        const void* nul = size ? std::memchr(bytes, '\0', size) : nullptr;
        const std::size_t length = nul ? static_cast<const char*>(nul) - bytes : size;
        out.assign(bytes, length);
        out += '\0';
        return true;
    }
    if (type == REG_DWORD && size != 4)
        return false;
    out.assign(bytes, size);
    return true;
}

} // namespace

std::string hivePath(Hive hive) {
    if (hive == Hive::LocalMachine) {
        const std::string path = envPath("KAVREL_SYSTEM_HIVE");
        return path.empty() ? systemHiveDefault() : path;
    }
    const std::string path = envPath("KAVREL_USER_HIVE");
    return path.empty() ? userHiveDefault() : path;
}

struct RegistryKey::State {
    std::string path;
    std::string key;
    RegAccess access;
};

RegistryKey::RegistryKey() = default;
RegistryKey::~RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;

long RegistryKey::open(Hive hive, std::string_view subkey, RegAccess access) {
    close();
    try {
        const std::string path = hivePath(hive);
        if (hive == Hive::CurrentUser)
            hive::ensureUserHive(path);
        const hive::Loaded loaded = hive::loadHive(path);
        if (loaded.error != ERROR_SUCCESS)
            return loaded.error;
        if (!hive::keyExists(loaded.doc, subkey))
            return ERROR_FILE_NOT_FOUND;
        state_ = std::make_unique<State>(State{path, hive::normaliseKey(subkey), access});
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

void RegistryKey::close() {
    state_.reset();
}

bool RegistryKey::isOpen() const {
    return state_ != nullptr;
}

long RegistryKey::queryValue(std::string_view name, std::uint32_t* type, void* data,
                             std::uint32_t* size) const {
    if (!state_)
        return ERROR_INVALID_HANDLE;
    if (state_->access != RegAccess::Query)
        return ERROR_ACCESS_DENIED;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    try {
        // Read afresh on every query: another process may have written since.
        const hive::Loaded loaded = hive::loadHive(state_->path);
        if (loaded.error != ERROR_SUCCESS)
            return loaded.error;
        if (!hive::keyExists(loaded.doc, state_->key))
            return ERROR_FILE_NOT_FOUND;
        const hive::Entry* entry = hive::findValue(loaded.doc, state_->key, name);
        if (!entry)
            return ERROR_FILE_NOT_FOUND;
        if (type)
            *type = entry->type;
        const auto needed = static_cast<std::uint32_t>(entry->bytes.size());
        long result = ERROR_SUCCESS;
        if (data && *size < needed)
            result = ERROR_MORE_DATA;
        else if (data)
            std::memcpy(data, entry->bytes.data(), needed);
        if (size)
            *size = needed;
        return result;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

long RegistryKey::setValue(std::string_view name, std::uint32_t type, const void* data,
                           std::uint32_t size) {
    if (!state_)
        return ERROR_INVALID_HANDLE;
    if (state_->access != RegAccess::SetValue)
        return ERROR_ACCESS_DENIED;
    try {
        std::string bytes;
        if (!storedBytes(type, data, size, bytes))
            return ERROR_INVALID_PARAMETER;
        const std::string& key = state_->key;
        return hive::updateHive(state_->path, [&](hive::Document& doc) {
            if (!hive::keyExists(doc, key))
                return ERROR_FILE_NOT_FOUND;
            hive::setValue(doc, key, name, type, bytes);
            return ERROR_SUCCESS;
        });
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

} // namespace platform
