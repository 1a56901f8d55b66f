#include "finder/startup_settings.h"

#include "finder/criteria_form.h"
#include "finder/settings_registry.h"

namespace finder {

const std::vector<std::string>& builtInFormats() {
    // The eleven patterns of the layer table first, in their order, then one
    // for each kind beyond it.
    static const std::vector<std::string> formats = {
        "*.ZVL", "*.DGN", "*.DXF", "*.DWG",    "*.MIF",  "*.TAB",     "*.SHP",
        "*.TIF", "*.BMP", "*.JPG", "*.KPG",    "*.GPKG", "*.GEOJSON", "*.FGB",
        "*.KML", "*.KMZ", "*.GML", "*.SQLITE", "*.GDB",  "*.TIFF",    "*.JP2",
        "*.NC",  "*.IMG", "*.VRT", "*.ASC",    "*.HGT",  "*.LAS",     "*.LAZ"};
    return formats;
}

std::vector<std::string> namedListEntries(bool formatsRead, std::string_view supportedFormats) {
    std::vector<std::string> entries{std::string(kAllTypesText)};
    if (formatsRead && !supportedFormats.empty()) {
        std::size_t start = 0;
        for (std::size_t comma;
             (comma = supportedFormats.find(',', start)) != std::string_view::npos;
             start = comma + 1)
            entries.emplace_back(supportedFormats.substr(start, comma - start));
        if (start < supportedFormats.size())
            entries.emplace_back(supportedFormats.substr(start));
    } else {
        const auto& formats = builtInFormats();
        entries.insert(entries.end(), formats.begin(), formats.end());
    }
    entries.emplace_back(); // the empty entry of the form stays last
    return entries;
}

std::string databaseFileFrom(std::string_view dataBasePath) {
    constexpr std::string_view fileName = "datora.dat";
    std::string file(dataBasePath);
    if (file.empty() || file.back() != '/')
        file += '/';
    file += fileName;
    if (file.size() > kTextBufferSize - 1)
        file.assign("/").append(fileName);
    return file;
}

std::string savedSearchPathFrom(std::string_view commandLine) {
    const auto first = commandLine.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::string_view path = commandLine.substr(first);
    if (path.size() > kTextBufferSize - 1)
        return {};
    return std::string(path);
}

std::string commandLineOf(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line;
}

StartupSettings readStartupSettings(CSettingsRegistry& registry) {
    StartupSettings settings;
    std::string dataBasePath;
    if (registry.GetDataBasePath(dataBasePath, kTextBufferSize) != CSettingsRegistry::Success)
        dataBasePath.clear();
    settings.databaseFile = databaseFileFrom(dataBasePath);

    std::uint32_t options = 0;
    if (registry.GetOptions(kProductSubkey, options) == CSettingsRegistry::Success)
        settings.options = options;

    if (registry.GetAppPath(kFinderExecutable, settings.installFolder, kFolderBufferSize) !=
        CSettingsRegistry::Success)
        settings.installFolder.clear();

    std::string formats;
    const bool formatsRead =
        registry.GetSupportedFormats(kProductSubkey, formats) == CSettingsRegistry::Success;
    settings.namedEntries = namedListEntries(formatsRead, formats);
    registry.Close();
    return settings;
}

} // namespace finder
