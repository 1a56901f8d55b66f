// The Dolphin service menu "GIS Properties": offered on the samples' GIS
// files and on no other file, and starting velmora-props --gui on the file.
#include "mime_database.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

namespace {

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples/";
const std::string kMenu =
    std::string(KAVREL_BUILD_DIR) + "/share/kio/servicemenus/atlion-gis-properties.desktop";

struct Menu {
    std::vector<std::string> types;
    std::string name, exec;
};

Menu readMenu() {
    Menu menu;
    GKeyFile* file = g_key_file_new();
    if (g_key_file_load_from_file(file, kMenu.c_str(), G_KEY_FILE_NONE, nullptr)) {
        gchar** types =
            g_key_file_get_string_list(file, "Desktop Entry", "MimeType", nullptr, nullptr);
        for (gchar** type = types; type && *type; ++type)
            menu.types.push_back(*type);
        g_strfreev(types);
        for (auto [key, out] : {std::pair{"Name", &menu.name}, std::pair{"Exec", &menu.exec}}) {
            gchar* value =
                g_key_file_get_string(file, "Desktop Action gisProperties", key, nullptr);
            *out = value ? value : "";
            g_free(value);
        }
    }
    g_key_file_free(file);
    return menu;
}

bool offeredFor(const Menu& menu, const std::string& file) {
    const std::string type = testsupport::contentTypeOf(file);
    for (const std::string& listed : menu.types) {
        if (g_content_type_is_mime_type(type.c_str(), listed.c_str()))
            return true;
    }
    return false;
}

} // namespace

TEST(service_menu, is_offered_for_the_sample_layers_and_no_other_files) {
    const Menu menu = readMenu();
    ASSERT_FALSE(menu.types.empty()) << kMenu;
    const struct {
        const char* file;
        bool offered;
    } cases[] = {
        {"world/countries.shp", true},   {"with blank/Capital Cities.SHP", true},
        {"world/countries.tab", true},   {"rasters/world_tab.tab", true},
        {"world/cities.mif", true},      {"cad/europe.dgn", true},
        {"cad/world.dxf", true},         {"rasters/world_geo.tif", true},
        {"rasters/world_jgw.jpg", true}, {"rasters/world_wld.bmp", true},
        {"world/countries.dbf", false},  {"world/countries.prj", false},
        {"world/cities.mid", false},     {"rasters/world_tfw.tfw", false},
        {"misc/cities.csv", false},      {"misc/notes.txt", false},
        {"misc/report.pdf", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(offeredFor(menu, kSamples + c.file), c.offered) << c.file;
}

TEST(service_menu, starts_velmora_props_with_its_window_on_the_file) {
    const Menu menu = readMenu();
    EXPECT_EQ(menu.name, "GIS Properties");
    gchar** argv = nullptr;
    ASSERT_TRUE(g_shell_parse_argv(menu.exec.c_str(), nullptr, &argv, nullptr)) << menu.exec;
    const std::vector<std::string> arguments(argv, argv + g_strv_length(argv));
    g_strfreev(argv);
    ASSERT_EQ(arguments.size(), 3u) << menu.exec;
    EXPECT_EQ(arguments[0], VELMORA_PROPS);
    struct stat st {};
    EXPECT_TRUE(::stat(arguments[0].c_str(), &st) == 0 && (st.st_mode & S_IXUSR));
    EXPECT_EQ(arguments[1], "--gui");
    EXPECT_EQ(arguments[2], "%f");
}
