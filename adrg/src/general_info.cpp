#include "general_info.h"

#include "platform/wildcard.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sys/stat.h>

namespace rastrel {

namespace {

// Positions from the anchor; each count is a decimal text.
struct FieldPositions {
    std::size_t tileRows, tileColumns, tileIndexFlag, firstTileIndex;
};
constexpr FieldPositions kOverviewFields{76, 79, 111, 159};
constexpr FieldPositions kGeoDataFields{256, 259, 291, 339};
constexpr std::size_t kCountWidth = 3;
constexpr std::size_t kTileIndexWidth = 5;
constexpr std::size_t kSecondAnchorFrom = 14;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

std::string lowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string folderOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string_view::npos)
        return ".";
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return std::nullopt;
    in.seekg(0);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in.read(text.data(), size))
        return std::nullopt;
    return text;
}

} // namespace

bool isOverviewImage(std::string_view imagePath) {
    const auto slash = imagePath.find_last_of('/');
    const auto name = imagePath.substr(slash == std::string_view::npos ? 0 : slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos)
        return false;
    const auto ext = name.substr(dot);
    return ext == ".OVR" || ext == ".ovr";
}

std::int32_t decimalValue(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && std::isspace(static_cast<unsigned char>(field[i])))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    std::int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (field[i] - '0'), INT32_MAX);
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::optional<AdrgGeometry> parseGeneralInfo(std::string_view text, bool overview) {
    // The anchor search stops at the first zero byte, as a text search does.
    const std::string_view searched = text.substr(0, text.find('\0'));
    const auto first = searched.find("ADRG");
    if (first == std::string_view::npos)
        return std::nullopt;
    const auto anchor = overview ? first : searched.find("ADRG", first + kSecondAnchorFrom);
    if (anchor == std::string_view::npos)
        return std::nullopt;
    const FieldPositions& at = overview ? kOverviewFields : kGeoDataFields;

    // A field the text does not reach fails the reading.
    auto field = [&](std::size_t offset, std::size_t width) -> std::optional<std::string_view> {
        if (anchor + offset + width > text.size())
            return std::nullopt;
        return text.substr(anchor + offset, width);
    };
    const auto rowsText = field(at.tileRows, kCountWidth);
    const auto columnsText = field(at.tileColumns, kCountWidth);
    const auto flagText = field(at.tileIndexFlag, 1);
    if (!rowsText || !columnsText || !flagText)
        return std::nullopt;

    AdrgGeometry g;
    g.tileRows = decimalValue(*rowsText);
    g.tileColumns = decimalValue(*columnsText);
    if (g.tileRows < 0 || g.tileColumns < 0)
        return std::nullopt;
    g.width = g.tileColumns * kTileSide;
    g.height = g.tileRows * kTileSide;
    if ((*flagText)[0] != 'Y')
        return g;

    const std::size_t tiles = std::size_t(g.tileRows) * std::size_t(g.tileColumns);
    const auto entries = field(at.firstTileIndex, tiles * kTileIndexWidth);
    if (!entries)
        return std::nullopt;
    g.hasTileMap = true;
    g.tileMap.resize(tiles, 0);
    for (std::size_t n = 0; n < tiles; ++n)
        if (decimalValue(entries->substr(n * kTileIndexWidth, kTileIndexWidth)) != 0)
            g.tileMap[n] = 255;
    return g;
}

std::string findGeneralInfoFile(std::string_view imagePath) {
    const std::string folder = folderOf(imagePath);
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        return {};
    std::string best;
    std::string bestKey;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (!platform::wildcardMatch("*.gen", name))
            continue;
        const std::string path = folder + "/" + std::string(name);
        if (!isRegularFile(path))
            continue;
        // The folder listing of the original platform comes sorted by name
        // without regard to letter case; taking the least name keeps the
        // choice stable whatever order the file system lists them in.
        std::string key = lowerCase(name);
        if (best.empty() || key < bestKey || (key == bestKey && path < best)) {
            best = path;
            bestKey = std::move(key);
        }
    }
    return best;
}

std::optional<AdrgGeometry> readGeneralInfo(std::string_view imagePath) {
    const std::string file = findGeneralInfoFile(imagePath);
    if (file.empty())
        return std::nullopt;
    const auto text = readWholeFile(file);
    if (!text)
        return std::nullopt;
    return parseGeneralInfo(*text, isOverviewImage(imagePath));
}

} // namespace rastrel
