#pragma once
// A temporary folder for one test, removed with everything in it when the
// object goes. Helpers write files and make folders relative to it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace testsupport {

class TempDir {
public:
    TempDir() : TempDir(std::string()) {}
    // A folder in `base`; an empty base is $TMPDIR, else /tmp.
    explicit TempDir(std::string base) {
        const char* tmp = std::getenv("TMPDIR");
        if (base.empty())
            base = tmp && *tmp ? tmp : "/tmp";
        std::string pattern = base + "/kavrel-test-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        // Folders a test made unreadable must be opened up again to be removed.
        for (auto it = std::filesystem::recursive_directory_iterator(
                 path_, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
        // Paths too long to name whole are removed by rm, which walks by descriptors.
        if (ec && std::filesystem::exists(path_)) {
            [[maybe_unused]] const int removed =
                std::system(("rm -rf '" + path_.string() + "'").c_str());
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // The full path of `relative` inside the folder.
    std::string operator/(std::string_view relative) const { return (path_ / relative).string(); }

    // Writes `content` to `relative`, making the folders above it.
    std::string writeFile(std::string_view relative, std::string_view content = {}) const {
        const auto full = path_ / relative;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream out(full, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out)
            throw std::runtime_error("cannot write " + full.string());
        return full.string();
    }

    std::string makeFolder(std::string_view relative) const {
        const auto full = path_ / relative;
        std::filesystem::create_directories(full);
        return full.string();
    }

    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
};

} // namespace testsupport
