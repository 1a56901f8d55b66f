#include "platform/shell.h"

#include "platform/registry.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <sys/stat.h>

namespace platform {

namespace {

const std::uint8_t* bytesOf(LPCITEMIDLIST list) {
    return reinterpret_cast<const std::uint8_t*>(list);
}

std::uint16_t itemSize(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

LPITEMIDLIST allocateList(std::string_view bytes) {
    void* memory = std::malloc(bytes.size());
    if (memory != nullptr)
        std::memcpy(memory, bytes.data(), bytes.size());
    return static_cast<LPITEMIDLIST>(memory);
}

// The bytes of a list made of `names`, with its terminator.
std::string listBytes(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& name : names) {
        const std::size_t count = name.size() + 2;
        out += static_cast<char>(count & 0xFF);
        out += static_cast<char>(count >> 8);
        out += name;
    }
    out.append(2, '\0');
    return out;
}

bool validItemName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.size() <= 0xFFFD;
}

std::string joinPath(const std::string& folder, const std::vector<std::string>& names) {
    std::string path = folder;
    for (const auto& name : names) {
        if (path.empty() || path.back() != '/')
            path += '/';
        path += name;
    }
    return path;
}

constexpr HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

class ShellFolder final : public IShellFolder {
public:
    explicit ShellFolder(std::string path) : path_(std::move(path)) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_IShellFolder)
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IShellFolder*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++count_; }
    ULONG Release() override {
        const ULONG left = --count_;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT ParseDisplayName(HWND, IBindCtx*, const char* displayName, ULONG* eaten,
                             LPITEMIDLIST* list, ULONG* attributes) override {
        if (list == nullptr)
            return E_INVALIDARG;
        *list = nullptr;
        if (displayName == nullptr || *displayName == '\0')
            return E_INVALIDARG;
        const std::string_view name = displayName;
        // Only the desktop (the root) takes absolute paths.
        if (name.front() == '/' && path_ != "/")
            return E_INVALIDARG;
        std::vector<std::string> names;
        std::size_t start = 0;
        while (start <= name.size()) {
            const std::size_t slash = std::min(name.find('/', start), name.size());
            const std::string part(name.substr(start, slash - start));
            start = slash + 1;
            if (part.empty() || part == ".")
                continue;
            if (part == "..") {
                if (names.empty())
                    return E_INVALIDARG; // above this folder
                names.pop_back();
                continue;
            }
            if (part.size() > 0xFFFD)
                return E_INVALIDARG;
            names.push_back(part);
        }
        const std::string full = joinPath(path_, names);
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0)
            return kNotFound;
        if (attributes != nullptr) {
            const bool folder = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            *attributes &= SFGAO_FILESYSTEM | (folder ? SFGAO_FOLDER : 0);
        }
        *list = allocateList(listBytes(names));
        if (*list == nullptr)
            return E_OUTOFMEMORY;
        if (eaten != nullptr)
            *eaten = static_cast<ULONG>(name.size());
        return S_OK;
    }

    HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx*, REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (list == nullptr)
            return E_INVALIDARG;
        const std::vector<std::string> names = ILItemNames(list);
        for (const auto& name : names)
            if (!validItemName(name))
                return E_INVALIDARG;
        const std::string full = joinPath(path_, names);
        struct stat st {};
        if (::stat(full.c_str(), &st) != 0)
            return kNotFound;
        if (!S_ISDIR(st.st_mode))
            return E_INVALIDARG;
        auto* folder = new (std::nothrow) ShellFolder(full);
        if (folder == nullptr)
            return E_OUTOFMEMORY;
        const HRESULT result = folder->QueryInterface(riid, object);
        folder->Release();
        return result;
    }

private:
    ~ShellFolder() = default;

    std::string path_;
    std::atomic<ULONG> count_{1};
};

// UTF-16 (little-endian units) to UTF-8; lone surrogates become U+FFFD.
std::string utf8FromUtf16(const std::uint8_t* p, std::size_t units) {
    std::string out;
    auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(p[2 * i] | (p[2 * i + 1] << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(++i) - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The names of a drop list, read within the block's bounds only.
std::vector<std::string> dropNames(const std::uint8_t* block, std::size_t size) {
    std::vector<std::string> names;
    if (size < sizeof(DROPFILES))
        return names;
    DROPFILES header;
    std::memcpy(&header, block, sizeof header);
    std::size_t pos = header.pFiles;
    if (pos < sizeof(DROPFILES) || pos > size)
        return names;
    const std::size_t unitSize = header.fWide ? 2 : 1;
    for (;;) {
        std::size_t end = pos;
        while (end + unitSize <= size &&
               (block[end] != 0 || (unitSize == 2 && block[end + 1] != 0)))
            end += unitSize;
        if (end + unitSize > size || end == pos)
            break; // unterminated name, or the list's end
        names.push_back(header.fWide
                            ? utf8FromUtf16(block + pos, (end - pos) / 2)
                            : std::string(reinterpret_cast<const char*>(block + pos), end - pos));
        pos = end + unitSize;
    }
    return names;
}

} // namespace

std::size_t ILGetSize(LPCITEMIDLIST list) {
    if (list == nullptr)
        return 0;
    const std::uint8_t* p = bytesOf(list);
    std::size_t size = 0;
    for (std::uint16_t cb = itemSize(p); cb != 0; cb = itemSize(p + size)) {
        if (cb < 2)
            break; // not a sound item: the list ends here
        size += cb;
    }
    return size + 2;
}

std::vector<std::string> ILItemNames(LPCITEMIDLIST list) {
    std::vector<std::string> names;
    if (list == nullptr)
        return names;
    const std::uint8_t* p = bytesOf(list);
    for (std::uint16_t cb = itemSize(p); cb >= 2; cb = itemSize(p)) {
        names.emplace_back(reinterpret_cast<const char*>(p + 2), cb - 2u);
        p += cb;
    }
    return names;
}

LPITEMIDLIST ILClone(LPCITEMIDLIST list) {
    if (list == nullptr)
        return nullptr;
    return allocateList(std::string_view(reinterpret_cast<const char*>(list), ILGetSize(list)));
}

LPITEMIDLIST ILCombine(LPCITEMIDLIST parent, LPCITEMIDLIST child) {
    std::vector<std::string> names = ILItemNames(parent);
    for (auto& name : ILItemNames(child))
        names.push_back(std::move(name));
    return allocateList(listBytes(names));
}

void ILFree(LPITEMIDLIST list) {
    std::free(list);
}

std::string pathFromIdList(LPCITEMIDLIST list) {
    if (list == nullptr)
        return {};
    const std::string path = joinPath("/", ILItemNames(list));
    return path;
}

HRESULT SHGetDesktopFolder(IShellFolder** desktop) {
    if (desktop == nullptr)
        return E_INVALIDARG;
    *desktop = new (std::nothrow) ShellFolder("/");
    return *desktop ? S_OK : E_OUTOFMEMORY;
}

UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size) {
    const auto* block = static_cast<const std::uint8_t*>(GlobalLock(drop));
    if (block == nullptr)
        return 0;
    const std::vector<std::string> names = dropNames(block, GlobalSize(drop));
    GlobalUnlock(drop);
    if (index == 0xFFFFFFFFu)
        return static_cast<UINT>(names.size());
    if (index >= names.size())
        return 0;
    const std::string& name = names[index];
    if (buffer == nullptr)
        return static_cast<UINT>(name.size());
    if (size == 0)
        return 0;
    const std::size_t copied = std::min<std::size_t>(name.size(), size - 1);
    std::memcpy(buffer, name.data(), copied);
    buffer[copied] = '\0';
    return static_cast<UINT>(copied);
}

} // namespace platform
