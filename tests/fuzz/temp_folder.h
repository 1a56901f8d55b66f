#pragma once
// A temporary folder for one harness process, emptied and removed at exit;
// the harness rewrites its files on every run.
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fuzz {

class TempFolder {
public:
    TempFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kavrel-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path_ = pattern;
    }
    ~TempFolder() {
        for (const std::string& file : files_)
            ::unlink(file.c_str());
        ::rmdir(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

    // Writes `bytes` as the file `name` of the folder; its full path. The
    // old file is removed first: rewriting a truncated file makes ext4 flush
    // it to disk on close, which would make every run wait for the disk.
    std::string write(const std::string& name, std::string_view bytes) {
        const std::string file = path_ + "/" + name;
        ::unlink(file.c_str());
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        files_.insert(file);
        return file;
    }

private:
    std::string path_;
    std::set<std::string> files_;
};

} // namespace fuzz
