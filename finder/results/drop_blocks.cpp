// Builds the drop-file list and the Shell IDList Array of the dragged rows,
// laid out byte for byte as drop targets of the original platform read them.
#include "drop_blocks.h"

#include "com_ref.h"
#include "id_lists.h"

#include <platform/shell.h>
#include <platform/trace.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace finder {

using namespace platform;

namespace {

constexpr unsigned kBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE;

// Copies `bytes` into the block at `offset`, within its bounds only.
bool writeAt(HGLOBAL block, std::size_t offset, const void* bytes, std::size_t count) {
    auto* base = static_cast<std::uint8_t*>(GlobalLock(block));
    if (base == nullptr)
        return false;
    const bool fits = offset + count <= GlobalSize(block);
    if (fits)
        std::memcpy(base + offset, bytes, count);
    GlobalUnlock(block);
    return fits;
}

bool writeNumber(HGLOBAL block, std::size_t offset, std::size_t value) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return writeAt(block, offset, bytes, sizeof bytes);
}

std::vector<std::string_view> folderComponents(std::string_view folder) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start < folder.size()) {
        const std::size_t slash = std::min(folder.find('/', start), folder.size());
        if (slash > start)
            parts.push_back(folder.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

// The folder the identifier lists are relative to, and each row's name below it.
struct DropParent {
    std::string path;
    std::vector<std::string> names;
};

// The deepest folder common to all rows, and each row's path below it: for
// rows of one folder, that folder and the file names. A row without a folder
// has no path: its name stays empty, which no folder resolves.
DropParent dropParentOf(const std::vector<RowTexts>& rows) {
    std::vector<std::vector<std::string_view>> folders;
    for (const RowTexts& row : rows)
        folders.push_back(folderComponents(row.folder));
    const auto first = std::find_if(rows.begin(), rows.end(),
                                    [](const RowTexts& row) { return !row.folder.empty(); });
    DropParent parent{"/", std::vector<std::string>(rows.size())};
    if (first == rows.end())
        return parent;
    const std::vector<std::string_view>& model = folders[first - rows.begin()];
    std::size_t common = model.size();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].folder.empty())
            continue;
        const std::size_t length = std::min(common, folders[r].size());
        common = static_cast<std::size_t>(
            std::mismatch(model.begin(), model.begin() + length, folders[r].begin()).first -
            model.begin());
    }
    for (std::size_t i = 0; i < common; ++i)
        parent.path.append(model[i]).append("/");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].folder.empty())
            continue;
        for (std::size_t i = common; i < folders[r].size(); ++i)
            parent.names[r].append(folders[r][i]).append("/");
        parent.names[r] += rows[r].name;
    }
    return parent;
}

// The array over the parent's list and the rows' lists: allocated with room
// for every list at the parent's size, grown when a row's list does not fit.
HGLOBAL layOutIdListArray(LPCITEMIDLIST parent, const std::vector<IdListPtr>& lists) {
    const std::size_t n = lists.size();
    const std::size_t parentSize = IdListSize(parent);
    std::size_t size = parentSize * (n + 1) + 4 * n + 8;
    GlobalBlock block(GlobalAlloc(kBlockFlags, size));
    if (!block.get())
        return 0;
    std::size_t offset = 4 * n + 8;
    if (!writeNumber(block.get(), 0, n) || !writeNumber(block.get(), 4, offset) ||
        !writeAt(block.get(), offset, parent, parentSize))
        return 0;
    offset += parentSize;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t listSize = IdListSize(lists[k].get());
        if (!writeNumber(block.get(), 8 + 4 * k, offset))
            return 0;
        if (offset + listSize > size) {
            size += (n - k) * listSize;
            if (GlobalReAlloc(block.get(), size, kBlockFlags) == 0)
                return 0;
        }
        if (!writeAt(block.get(), offset, lists[k].get(), listSize))
            return 0;
        offset += listSize;
    }
    return block.release();
}

} // namespace

std::string dropPathOfRow(const RowTexts& row) {
    return row.folder.empty() ? row.name : fullPathOfRow(row.folder, row.name);
}

HGLOBAL CreateHDrop(const std::vector<RowTexts>& rows) {
    std::vector<std::string> paths;
    std::size_t listSize = 1;
    for (const RowTexts& row : rows) {
        paths.push_back(dropPathOfRow(row));
        listSize += paths.back().size() + 1;
    }
    const std::size_t size =
        sizeof(DROPFILES) + std::max(kDropPathRoom * rows.size() + 1, listSize);
    GlobalBlock block(GlobalAlloc(kBlockFlags, size));
    debugTrace("CreateHDrop()\n");
    auto* bytes = static_cast<char*>(GlobalLock(block.get()));
    if (bytes == nullptr)
        return 0;
    const DROPFILES header{sizeof(DROPFILES), 0, 0, 0, 0};
    std::memcpy(bytes, &header, sizeof header);
    std::size_t offset = sizeof header;
    for (const std::string& path : paths) {
        debugTrace("CreateHDrop(): moving " + path + "\n");
        std::memcpy(bytes + offset, path.c_str(), path.size() + 1);
        offset += path.size() + 1;
    }
    bytes[offset] = '\0';
    GlobalUnlock(block.get());
    return block.release();
}

HGLOBAL CreateShellIdList(const std::vector<RowTexts>& rows) {
    debugTrace("CreateShellIdList()\n");
    if (rows.empty())
        return 0;
    const DropParent parent = dropParentOf(rows);
    const IdListPtr parentList = PathToIdList(parent.path);
    if (!parentList)
        return 0;
    const ComRef<IShellFolder> folder(BindFolder(parentList.get()));
    if (!folder)
        return 0;
    std::vector<IdListPtr> lists;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        debugTrace("CreateShellIdList(): moving " + rows[r].name);
        if (IdListPtr list = NameToIdList(folder.get(), parent.names[r]))
            lists.push_back(std::move(list));
    }
    if (lists.empty())
        return 0;
    // The shell's lists are freed as `lists` goes, once copied into the block.
    return layOutIdListArray(parentList.get(), lists);
}

} // namespace finder
