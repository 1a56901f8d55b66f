#include "platform/com.h"

#include <cctype>
#include <cstdio>

namespace platform {

namespace {

thread_local int oleInitCount = 0;

// Reads `digits` hexadecimal digits from the front of `text`.
bool takeHex(std::string_view& text, int digits, std::uint64_t& out) {
    if (text.size() < static_cast<std::size_t>(digits))
        return false;
    out = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = text[static_cast<std::size_t>(i)];
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        out = out * 16 + static_cast<std::uint64_t>(std::isdigit(static_cast<unsigned char>(c))
                                                        ? c - '0'
                                                        : std::tolower(c) - 'a' + 10);
    }
    text.remove_prefix(static_cast<std::size_t>(digits));
    return true;
}

bool takeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

} // namespace

std::optional<GUID> parseGuid(std::string_view text) {
    const bool braced = takeChar(text, '{');
    GUID g;
    std::uint64_t v = 0;
    if (!takeHex(text, 8, v) || !takeChar(text, '-'))
        return std::nullopt;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!takeHex(text, 4, v) || !takeChar(text, '-'))
        return std::nullopt;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!takeHex(text, 4, v) || !takeChar(text, '-'))
        return std::nullopt;
    g.Data3 = static_cast<std::uint16_t>(v);
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && !takeChar(text, '-'))
            return std::nullopt;
        if (!takeHex(text, 2, v))
            return std::nullopt;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    if (braced && !takeChar(text, '}'))
        return std::nullopt;
    if (!text.empty())
        return std::nullopt;
    return g;
}

std::string formatGuid(const GUID& g) {
    char buffer[39];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                  g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buffer;
}

void ReleaseStgMedium(STGMEDIUM* medium) {
    if (medium == nullptr)
        return;
    if (medium->pUnkForRelease != nullptr)
        medium->pUnkForRelease->Release();
    else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal != 0)
        GlobalFree(medium->hGlobal);
    *medium = STGMEDIUM{};
}

HRESULT OleInitialize(void*) {
    return oleInitCount++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize() {
    if (oleInitCount > 0)
        --oleInitCount;
}

bool oleInitializedOnThisThread() {
    return oleInitCount > 0;
}

} // namespace platform
