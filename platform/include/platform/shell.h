#pragma once
// Shell item identifier lists, the desktop folder object, and the drop-file
// list (CF_HDROP) blocks.
//
// An identifier list is a run of items, each a 16-bit little-endian byte
// count (counting itself) followed by that item's bytes, ended by a 16-bit
// zero. Here an item is one path component, its name's bytes as the file
// system holds them: "/data/my maps" is [10 "data"][9 "my maps"][0 0].
// The desktop is the file-system root, so its own list is empty.
// Names are the file system's own bytes (UTF-8), not wide characters, so no
// name is altered on the way through a code page.
#include "platform/com.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct ITEMIDLIST; // opaque: read and written as bytes
using LPITEMIDLIST = ITEMIDLIST*;

// Size of a list with its terminator; 0 for none.
std::size_t ILGetSize(LPCITEMIDLIST list);
// The names of a list's items in order.
std::vector<std::string> ILItemNames(LPCITEMIDLIST list);
// A copy that the caller frees with ILFree; null for none or out of memory.
LPITEMIDLIST ILClone(LPCITEMIDLIST list);
// `parent` followed by `child`, freed with ILFree.
LPITEMIDLIST ILCombine(LPCITEMIDLIST parent, LPCITEMIDLIST child);
// Frees a list the shell functions handed out (the shell allocator's free).
void ILFree(LPITEMIDLIST list);
// The path of an absolute list ("/" for the desktop's own, empty list).
std::string pathFromIdList(LPCITEMIDLIST list);

struct IdListFree {
    void operator()(ITEMIDLIST* list) const { ILFree(list); }
};
using IdListPtr = std::unique_ptr<ITEMIDLIST, IdListFree>;

constexpr ULONG SFGAO_FOLDER = 0x20000000;
constexpr ULONG SFGAO_FILESYSTEM = 0x40000000;

struct IBindCtx; // bind contexts are not used

// A folder of the shell namespace. Of the original interface, the slots
// that turn names into lists and lists into folders are here.
struct IShellFolder : IUnknown {
    // Parses `displayName` relative to this folder (an absolute path for the
    // desktop) into a list relative to this folder; the named item must
    // exist. `eaten` gets the bytes used; `attributes` is in: the
    // SFGAO_* bits asked for, out: those that hold.
    virtual HRESULT ParseDisplayName(HWND owner, IBindCtx* bind, const char* displayName,
                                     ULONG* eaten, LPITEMIDLIST* list, ULONG* attributes) = 0;
    // The folder object of a list relative to this folder (IID_IShellFolder).
    // The empty list binds to this folder itself.
    virtual HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx* bind, REFIID riid,
                                 void** object) = 0;

protected:
    ~IShellFolder() = default;
};

// The desktop folder object (the root of the namespace), with one reference.
HRESULT SHGetDesktopFolder(IShellFolder** desktop);

// ---- drop-file lists ---------------------------------------------------------

// The header of a CF_HDROP block; the names follow at pFiles, each ended by
// a NUL, the list by one more NUL.
struct DROPFILES {
    DWORD pFiles;
    LONG ptX;
    LONG ptY;
    BOOL fNC;
    BOOL fWide;
};
static_assert(sizeof(DROPFILES) == 20);

using HDROP = HGLOBAL;

// As the original: index 0xFFFFFFFF gives the number of names; a null
// buffer gives the length of name `index`; else the name is copied (cut to
// size - 1 bytes and NUL-ended) and its copied length returned. 0 for a
// missing index or a block that is not a sound drop list. Wide-character
// names are handed out as UTF-8.
UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size);

} // namespace platform
