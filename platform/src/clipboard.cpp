#include "platform/clipboard.h"

#include <cctype>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace platform {

namespace {

constexpr unsigned kFirstFormat = 0xC000;
constexpr unsigned kLastFormat = 0xFFFF;

struct Registry {
    std::mutex mutex;
    std::map<std::string, unsigned> byFoldedName;
    std::deque<std::string> names; // index = format - kFirstFormat; stable for string_views
};

Registry& formats() {
    static Registry r;
    return r;
}

std::string fold(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

unsigned RegisterClipboardFormat(std::string_view name) {
    if (name.empty())
        return 0;
    Registry& r = formats();
    std::lock_guard lock(r.mutex);
    const std::string key = fold(name);
    if (const auto it = r.byFoldedName.find(key); it != r.byFoldedName.end())
        return it->second;
    if (r.names.size() > kLastFormat - kFirstFormat)
        return 0; // every number is taken
    const unsigned format = kFirstFormat + static_cast<unsigned>(r.names.size());
    r.names.emplace_back(name);
    r.byFoldedName.emplace(key, format);
    return format;
}

std::string_view clipboardFormatName(unsigned format) {
    Registry& r = formats();
    std::lock_guard lock(r.mutex);
    if (format < kFirstFormat || format - kFirstFormat >= r.names.size())
        return {};
    return r.names[format - kFirstFormat];
}

} // namespace platform
