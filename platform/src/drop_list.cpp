// Drop-file lists built from paths.
#include "platform/drop_list.h"

#include <cstring>

namespace platform {

HDROP makeDropList(const std::vector<std::string>& paths) {
    std::size_t bytes = sizeof(DROPFILES) + 1;
    for (const auto& path : paths)
        bytes += path.size() + 1;
    const HGLOBAL block = GlobalAlloc(GHND | GMEM_SHARE, bytes);
    auto* data = static_cast<char*>(GlobalLock(block));
    if (data == nullptr) {
        GlobalFree(block);
        return 0;
    }
    const DROPFILES header{sizeof(DROPFILES), 0, 0, 0, 0};
    std::memcpy(data, &header, sizeof header);
    char* out = data + sizeof header;
    for (const auto& path : paths) {
        std::memcpy(out, path.c_str(), path.size() + 1);
        out += path.size() + 1;
    }
    // The final NUL is already there: the block is zero-filled.
    GlobalUnlock(block);
    return block;
}

} // namespace platform
