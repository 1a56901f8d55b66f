// Identifier lists through the desktop folder: paths and names parsed into
// lists, absolute lists bound to folder objects.
#include "id_lists.h"

#include "com_ref.h"

namespace finder {

using namespace platform;

namespace {

IdListPtr parse(IShellFolder* folder, const std::string& name) {
    if (folder == nullptr)
        return nullptr;
    LPITEMIDLIST list = nullptr;
    ULONG eaten = 0;
    if (FAILED(folder->ParseDisplayName(nullptr, nullptr, name.c_str(), &eaten, &list, nullptr)))
        return nullptr;
    return IdListPtr(list);
}

ComRef<IShellFolder> desktop() {
    ComRef<IShellFolder> folder;
    if (FAILED(SHGetDesktopFolder(folder.put())))
        folder.reset();
    return folder;
}

} // namespace

std::size_t IdListSize(LPCITEMIDLIST list) {
    return ILGetSize(list);
}

// Names are the file system's own bytes, so no code-page conversion is due.
IdListPtr PathToIdList(const std::string& path) {
    return parse(desktop().get(), path);
}

IShellFolder* BindFolder(LPCITEMIDLIST list) {
    const ComRef<IShellFolder> root = desktop();
    if (!root || list == nullptr)
        return nullptr;
    void* folder = nullptr;
    if (FAILED(root->BindToObject(list, nullptr, IID_IShellFolder, &folder)))
        return nullptr;
    return static_cast<IShellFolder*>(folder);
}

IdListPtr NameToIdList(IShellFolder* folder, const std::string& name) {
    return parse(folder, name);
}

} // namespace finder
