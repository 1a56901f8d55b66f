// The GNOME Files module loaded as the file manager loads it and asked for
// the properties of real sample files: its models hold the texts
// velmora-props prints, and the counts follow from a worker.
#include "file_info_stub.h"
#include "hive_env.h"
#include "module_loader.h"
#include "properties_provider.h"
#include "run_command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using nautilushost::GObjectPtr;
using Models = std::vector<GObjectPtr<NautilusPropertiesModel>>;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples/";

NautilusPropertiesModelProvider* provider() {
    const nautilustest::LoadedModule& module = nautilustest::loadModule(NAUTILUS_MODULE);
    EXPECT_EQ(module.error, "");
    return nautilustest::propertiesProvider(module);
}

Models modelsFor(const std::vector<std::string>& files) {
    std::vector<GObjectPtr<NautilusFileInfo>> infos;
    GList* list = nullptr;
    for (const std::string& file : files) {
        infos.push_back(nautilustest::fileInfo(file));
        list = g_list_append(list, infos.back().get());
    }
    GList* result = nautilus_properties_model_provider_get_models(provider(), list);
    g_list_free(list);
    Models models;
    for (GList* item = result; item != nullptr; item = item->next)
        models.push_back(
            GObjectPtr<NautilusPropertiesModel>::adopt(NAUTILUS_PROPERTIES_MODEL(item->data)));
    g_list_free(result);
    return models;
}

// The models as velmora-props prints pages: the title, then "label value".
std::string printed(const Models& models) {
    std::string text;
    for (const auto& model : models) {
        text += nautilus_properties_model_get_title(model.get()) + std::string("\n");
        GListModel* items = nautilus_properties_model_get_model(model.get());
        for (guint i = 0; i < g_list_model_get_n_items(items); ++i) {
            const auto item = GObjectPtr<NautilusPropertiesItem>::adopt(
                static_cast<NautilusPropertiesItem*>(g_list_model_get_item(items, i)));
            text += nautilus_properties_item_get_name(item.get()) + std::string(" ") +
                    nautilus_properties_item_get_value(item.get()) + "\n";
        }
    }
    return text;
}

std::string velmoraProps(const std::string& options, const std::string& file) {
    return testsupport::runCommand(std::string(VELMORA_PROPS) + " " + options + " '" + file + "'")
        .out;
}

int countsPending() {
    int pending = -1;
    g_object_get(provider(), nautilushost::kCountsPendingProperty, &pending, nullptr);
    return pending;
}

// Runs this thread's main context until every count has been delivered.
bool waitForCounts() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (countsPending() > 0) {
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    }
    return true;
}

} // namespace

TEST(nautilus_module, models_hold_the_texts_velmora_props_prints_and_the_counts_follow) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    // Geographic and projected, vector and raster, a raster table, damaged files.
    const char* files[] = {
        "world/countries.shp",           "europe/europe_utm33.shp", "world/cities.mif",
        "with blank/South America.tab",  "rasters/world_tab.tab",   "rasters/world_geo.tif",
        "rasters/world_jgw.jpg",         "cad/europe.dgn",          "cad/world.dxf",
        "with blank/Capital Cities.SHP", "broken/no_index.shp",     "broken/truncated.tif"};
    for (const char* name : files) {
        SCOPED_TRACE(name);
        const std::string file = kSamples + name;
        const Models models = modelsFor({file});
        ASSERT_EQ(models.size(), 2u);
        EXPECT_EQ(printed(models), velmoraProps("", file));
        ASSERT_TRUE(waitForCounts());
        EXPECT_EQ(printed(models), velmoraProps("--count", file));
    }
}

TEST(nautilus_module, no_models_for_several_files_other_types_or_a_server_that_cannot_start) {
    const std::string database = testsupport::databaseHive(KAVREL_DATA_DIR);
    const struct {
        std::vector<std::string> files;
        std::string hive;
    } cases[] = {
        {{kSamples + "world/countries.shp", kSamples + "world/cities.shp"}, database},
        {{kSamples + "world/countries.shp", kSamples + "misc/notes.txt"}, database},
        {{kSamples + "misc/notes.txt"}, database},
        {{kSamples + "misc/report.pdf"}, database},
        {{kSamples + "broken/empty.tab"}, database}, // an empty file is of no type
        {{kSamples + "world"}, database},
        {{"sftp://example.invalid/world/countries.shp"}, database},
        {{kSamples + "world/countries.shp"}, "REGEDIT4\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.front() + (c.files.size() > 1 ? " and more" : "") + ", " + c.hive);
        testsupport::HiveEnv hives(c.hive);
        EXPECT_EQ(modelsFor(c.files).size(), 0u);
        EXPECT_EQ(countsPending(), 0);
    }
}

TEST(nautilus_module, counts_arrive_on_the_thread_that_asked) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    const Models models = modelsFor({kSamples + "world/cities.shp"});
    ASSERT_EQ(models.size(), 2u);
    std::vector<std::thread::id> changedOn;
    GListModel* counts = nautilus_properties_model_get_model(models[1].get());
    const auto recordThread = +[](GListModel*, guint, guint, guint, gpointer threads) {
        static_cast<std::vector<std::thread::id>*>(threads)->push_back(std::this_thread::get_id());
    };
    g_signal_connect(counts, "items-changed", G_CALLBACK(recordThread), &changedOn);
    ASSERT_TRUE(waitForCounts());
    g_signal_handlers_disconnect_by_data(counts, &changedOn);
    ASSERT_EQ(changedOn.size(), 1u);
    EXPECT_EQ(changedOn.front(), std::this_thread::get_id());
}

TEST(nautilus_module, models_dropped_before_their_counts_arrive_are_left_alone) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    GWeakRef counts;
    {
        const Models models = modelsFor({kSamples + "world/countries.shp"});
        ASSERT_EQ(models.size(), 2u);
        g_weak_ref_init(&counts, nautilus_properties_model_get_model(models[1].get()));
    }
    // The models and their items are gone before the worker reports.
    EXPECT_EQ(g_weak_ref_get(&counts), nullptr);
    g_weak_ref_clear(&counts);
    ASSERT_TRUE(waitForCounts());
    // The next file is served as usual.
    const Models next = modelsFor({kSamples + "world/cities.shp"});
    ASSERT_TRUE(waitForCounts());
    EXPECT_EQ(printed(next), velmoraProps("--count", kSamples + "world/cities.shp"));
}
