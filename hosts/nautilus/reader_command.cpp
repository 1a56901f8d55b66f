// The reader's command line, with the bubblewrap arguments of its sandbox.
#include "reader_command.h"

#include "platform/registry.h"

#include <filesystem>

namespace nautilushost {

std::vector<std::string> readerCommand(const std::string& reader, const std::string& file,
                                       const std::string& bwrap,
                                       const std::vector<std::string>& readOnly) {
    if (bwrap.empty())
        return {reader, file};
    std::vector<std::string> argv = {bwrap,           "--unshare-all", "--die-with-parent",
                                     "--new-session", "--ro-bind",     "/usr",
                                     "/usr",          "--ro-bind-try", "/etc",
                                     "/etc",          "--proc",        "/proc",
                                     "--dev",         "/dev",          "--tmpfs",
                                     "/tmp"};
    // /bin, /lib ... as the host has them: links into /usr, or folders.
    for (const char* top : {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"}) {
        std::error_code ec;
        if (std::filesystem::is_symlink(top, ec)) {
            argv.insert(argv.end(), {"--symlink", std::filesystem::read_symlink(top, ec), top});
        } else if (std::filesystem::is_directory(top, ec)) {
            argv.insert(argv.end(), {"--ro-bind", top, top});
        }
    }
    for (const std::string& path : readOnly)
        argv.insert(argv.end(), {"--ro-bind-try", path, path});
    argv.insert(argv.end(), {"--", reader, file});
    return argv;
}

std::vector<std::string> readerPaths(const std::string& prefix, const std::string& file) {
    std::vector<std::string> paths;
    if (!prefix.empty())
        paths.push_back(prefix);
    const std::string folder = std::filesystem::path(file).parent_path();
    if (!folder.empty())
        paths.push_back(folder);
    for (const platform::Hive hive : {platform::Hive::LocalMachine, platform::Hive::CurrentUser})
        paths.push_back(platform::hivePath(hive));
    return paths;
}

} // namespace nautilushost
