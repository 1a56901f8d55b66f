#include "database.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <sstream>

#include "naming.h"

namespace quill32 {

namespace {

constexpr std::size_t kMaxFileSize = 64u << 20;

std::vector<std::string_view> split(std::string_view line, char sep) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const auto at = line.find(sep, start);
        out.push_back(line.substr(start, at - start));
        if (at == std::string_view::npos)
            return out;
        start = at + 1;
    }
}

bool parseIndex(std::string_view text, std::size_t limit, std::uint32_t& value) {
    if (text.empty())
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value < limit;
}

bool validKey(std::string_view key) {
    return !key.empty() && key.size() <= naming::kMaxKeyLength &&
           std::none_of(key.begin(), key.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool validName(std::string_view name) {
    return !name.empty() && name.size() <= naming::kMaxNameLength &&
           std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

} // namespace

std::uint32_t crc32(std::string_view data) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data)
        crc = table[(crc ^ c) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void Database::write(std::ostream& out) const {
    std::ostringstream body;
    std::size_t records = 0;
    body << kDatabaseMagic << '\t' << kDatabaseVersion << '\n';
    for (const auto& d : datums) {
        body << "D\t" << d.key << '\t' << d.name << '\n';
        ++records;
    }
    for (const auto& g : groups) {
        body << "G\t" << g.key << '\t' << g.name << '\t';
        for (std::size_t i = 0; i < g.validDatums.size(); ++i)
            body << (i ? "," : "") << g.validDatums[i];
        body << '\n';
        ++records;
        for (const auto& s : g.systems) {
            body << "S\t" << s.key << '\t' << s.name << '\t' << s.datum << '\t' << s.units << '\n';
            ++records;
        }
    }
    const std::string text = body.str();
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32(text));
    out << text << "END\t" << records << '\t' << crc << '\n';
}

bool Database::read(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string text;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxFileSize) {
            error = "file too large";
            return false;
        }
    }
    if (in.bad()) {
        error = "read error";
        return false;
    }
    return parse(text, error);
}

bool Database::parse(std::string_view text, std::string& error) {
    datums.clear();
    groups.clear();
    auto fail = [&](std::string why) {
        datums.clear();
        groups.clear();
        index();
        error = std::move(why);
        return false;
    };
    // Trailer: "END\t<records>\t<crc>\n" after the last body line.
    if (text.empty() || text.back() != '\n')
        return fail("truncated");
    const auto trailerAt = text.rfind('\n', text.size() - 2);
    if (trailerAt == std::string_view::npos)
        return fail("no trailer");
    const std::string_view body = text.substr(0, trailerAt + 1);
    const auto trailer = split(text.substr(trailerAt + 1, text.size() - trailerAt - 2), '\t');
    if (trailer.size() != 3 || trailer[0] != "END")
        return fail("no trailer");
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32(body));
    if (trailer[2] != crc)
        return fail("checksum mismatch");

    auto lines = split(body.substr(0, body.size() - 1), '\n');
    const std::string header =
        std::string(kDatabaseMagic) + '\t' + std::to_string(kDatabaseVersion);
    if (lines.empty() || lines[0] != header)
        return fail("not a datora database of version " + std::to_string(kDatabaseVersion));
    std::uint32_t count = 0;
    if (!parseIndex(trailer[1], 0xFFFFFFFFu, count) || count != lines.size() - 1)
        return fail("record count mismatch");

    // Datums come first, so groups and systems can refer to them by index.
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto f = split(lines[i], '\t');
        const std::string where = " at line " + std::to_string(i + 1);
        if (f[0] == "D") {
            if (f.size() != 3 || !validKey(f[1]) || !validName(f[2]) || !groups.empty())
                return fail("bad datum record" + where);
            datums.push_back({std::string(f[1]), std::string(f[2])});
        } else if (f[0] == "G") {
            if (f.size() != 4 || !validKey(f[1]) || !validName(f[2]))
                return fail("bad group record" + where);
            GroupRecord g{std::string(f[1]), std::string(f[2]), {}, {}};
            if (!f[3].empty())
                for (auto item : split(f[3], ',')) {
                    std::uint32_t d;
                    if (!parseIndex(item, datums.size(), d) ||
                        (!g.validDatums.empty() && d <= g.validDatums.back()))
                        return fail("bad datum list" + where);
                    g.validDatums.push_back(d);
                }
            groups.push_back(std::move(g));
        } else if (f[0] == "S") {
            std::uint32_t d;
            if (f.size() != 5 || groups.empty() || !validKey(f[1]) || !validName(f[2]) ||
                !parseIndex(f[3], datums.size(), d) || !validKey(f[4]))
                return fail("bad system record" + where);
            groups.back().systems.push_back(
                {std::string(f[1]), std::string(f[2]), d, std::string(f[4])});
        } else {
            return fail("unknown record" + where);
        }
    }
    if (!index())
        return fail("duplicate key");
    return true;
}

bool Database::index() {
    groupIndex_.clear();
    datumIndex_.clear();
    systemIndex_.assign(groups.size(), {});
    bool unique = true;
    // Keys first, so that a key always wins over a display name.
    for (int i = 0; i < static_cast<int>(groups.size()); ++i)
        unique &= groupIndex_.emplace(groups[i].key, i).second;
    for (int i = 0; i < static_cast<int>(datums.size()); ++i)
        unique &= datumIndex_.emplace(datums[i].key, i).second;
    for (int i = 0; i < static_cast<int>(groups.size()); ++i) {
        auto& systems = systemIndex_[i];
        for (int s = 0; s < static_cast<int>(groups[i].systems.size()); ++s)
            unique &= systems.emplace(groups[i].systems[s].key, s).second;
        for (int s = 0; s < static_cast<int>(groups[i].systems.size()); ++s)
            systems.emplace(groups[i].systems[s].name, s);
    }
    for (int i = 0; i < static_cast<int>(groups.size()); ++i)
        groupIndex_.emplace(groups[i].name, i);
    for (int i = 0; i < static_cast<int>(datums.size()); ++i)
        datumIndex_.emplace(datums[i].name, i);
    return unique;
}

int Database::findGroup(std::string_view nameOrKey) const {
    auto it = groupIndex_.find(std::string(nameOrKey));
    return it == groupIndex_.end() ? -1 : it->second;
}

int Database::findSystem(int group, std::string_view nameOrKey) const {
    if (group < 0 || group >= static_cast<int>(systemIndex_.size()))
        return -1;
    auto it = systemIndex_[group].find(std::string(nameOrKey));
    return it == systemIndex_[group].end() ? -1 : it->second;
}

int Database::findDatum(std::string_view keyOrName) const {
    auto it = datumIndex_.find(std::string(keyOrName));
    return it == datumIndex_.end() ? -1 : it->second;
}

bool Database::datumValidForGroup(int group, std::uint32_t datum) const {
    if (group < 0 || group >= static_cast<int>(groups.size()))
        return false;
    const auto& v = groups[group].validDatums;
    return std::binary_search(v.begin(), v.end(), datum);
}

} // namespace quill32
