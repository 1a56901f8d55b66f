// File-system magic numbers (statfs f_type) of network and FUSE file systems.
#include "file_system_kind.h"

#include <sys/vfs.h>

#include <cstdlib>
#include <string_view>

namespace finder::watch {
namespace {

// The type the test stand-in gives `path`, when it names a folder above it.
std::optional<unsigned long> testType(const std::string& path) {
    const char* value = std::getenv("KAVREL_WATCH_TEST_FSTYPE");
    if (value == nullptr)
        return std::nullopt;
    const std::string_view text(value);
    const std::size_t equals = text.rfind('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::string_view folder = text.substr(0, equals);
    const bool below = path == folder || (path.size() > folder.size() && path.starts_with(folder) &&
                                          path[folder.size()] == '/');
    if (!below)
        return std::nullopt;
    return std::strtoul(std::string(text.substr(equals + 1)).c_str(), nullptr, 16);
}

} // namespace

std::optional<std::string> remoteKindOf(unsigned long magic) {
    static const struct {
        unsigned long magic;
        const char* name;
    } kinds[] = {
        {0x6969, "nfs"},       {0x517B, "smb"},        {0xFF534D42, "cifs"}, {0xFE534D42, "smb2"},
        {0x65735546, "fuse"},  {0x73757245, "coda"},   {0x5346414F, "afs"},  {0x6B414653, "afs"},
        {0x00C36400, "ceph"},  {0x01021997, "9p"},     {0x564C, "ncp"},      {0x01161970, "gfs2"},
        {0x7461636F, "ocfs2"}, {0x47504653, "gpfs"},   {0x0BD00BD0, "lustre"},
    };
    for (const auto& kind : kinds) {
        if (kind.magic == magic)
            return std::string(kind.name);
    }
    return std::nullopt;
}

std::optional<std::string> remoteFileSystem(const std::string& path) {
    if (const auto type = testType(path))
        return remoteKindOf(*type);
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0)
        return std::nullopt;
    return remoteKindOf(static_cast<unsigned long>(info.f_type));
}

} // namespace finder::watch
