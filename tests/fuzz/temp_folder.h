#pragma once
// Files a harness rewrites on every run, in a temporary folder of the
// process (removed with its files at exit).
#include "temp_dir.h"

#include <unistd.h>

namespace fuzz {

// Writes `bytes` as the file `name` of `folder`; its full path. The old file
// is removed first: rewriting a truncated file makes ext4 flush it to disk on
// close, which would make every run wait for the disk.
inline std::string rewrite(const testsupport::TempDir& folder, const std::string& name,
                           std::string_view bytes) {
    const std::string file = folder / name;
    ::unlink(file.c_str());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

} // namespace fuzz
