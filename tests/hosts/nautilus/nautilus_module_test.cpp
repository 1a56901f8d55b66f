// The GNOME Files module loaded as the file manager loads it and asked for
// the properties of real sample files: its models come at once with every
// value waiting, and a reader process fills them with the texts
// velmora-props prints; readers that hang, crash or write are held in check.
#include "file_info_stub.h"
#include "hive_env.h"
#include "module_loader.h"
#include "properties_provider.h"
#include "reader_texts.h"
#include "run_command.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

namespace {

using nautilushost::GObjectPtr;
using Models = std::vector<GObjectPtr<NautilusPropertiesModel>>;
using testsupport::ScopedEnv;
using testsupport::TempDir;

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

// The models as velmora-props prints pages: the title, then "label value";
// every value given as `value` when there is one.
std::string printed(const Models& models, const char* value = nullptr) {
    std::string text;
    for (const auto& model : models) {
        text += nautilus_properties_model_get_title(model.get()) + std::string("\n");
        GListModel* items = nautilus_properties_model_get_model(model.get());
        for (guint i = 0; i < g_list_model_get_n_items(items); ++i) {
            const auto item = GObjectPtr<NautilusPropertiesItem>::adopt(
                static_cast<NautilusPropertiesItem*>(g_list_model_get_item(items, i)));
            text += nautilus_properties_item_get_name(item.get()) + std::string(" ") +
                    (value ? value : nautilus_properties_item_get_value(item.get())) + "\n";
        }
    }
    return text;
}

std::string velmoraProps(const std::string& options, const std::string& file) {
    return testsupport::runCommand(std::string(VELMORA_PROPS) + " " + options + " '" + file + "'")
        .out;
}

int readersRunning() {
    int running = -1;
    g_object_get(provider(), nautilushost::kReadersRunningProperty, &running, nullptr);
    return running;
}

// Runs this thread's main context until every reader has ended.
bool waitForReaders() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (readersRunning() > 0) {
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    }
    return true;
}

// Processes whose command line names `path`.
int processesNaming(const std::string& path) {
    int found = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string line((std::istreambuf_iterator<char>(in)), {});
        found += line.find(path) != std::string::npos ? 1 : 0;
    }
    return found;
}

// A copy of a sample shapefile in a folder of its own.
struct CopiedSample {
    TempDir dir;
    std::string file = dir / "cities.shp";
    CopiedSample() {
        for (const char* ext : {".shp", ".shx", ".dbf", ".prj"})
            std::filesystem::copy_file(kSamples + "world/cities" + ext,
                                       dir / ("cities" + std::string(ext)));
    }
};

} // namespace

TEST(nautilus_module, models_come_at_once_and_the_reader_fills_them_as_velmora_props_prints) {
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
        EXPECT_EQ(printed(models), printed(models, nautilushost::kReadingText));
        ASSERT_TRUE(waitForReaders());
        EXPECT_EQ(printed(models), velmoraProps("--count", file));
    }
}

TEST(nautilus_module, containers_get_a_layers_page_that_the_reader_fills_or_says_holds_one) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    const struct {
        const char* file;
        std::size_t models;
        std::string added; // beyond what velmora-props prints
    } cases[] = {
        {"formats/countries.gpkg", 3, ""},
        {"formats/cities.sqlite", 3,
         std::string("Layers\nLayer ") + nautilushost::kOneLayerText + "\n"},
        {"formats/cities.geojson", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string file = kSamples + c.file;
        const Models models = modelsFor({file});
        ASSERT_EQ(models.size(), c.models);
        EXPECT_EQ(printed(models), printed(models, nautilushost::kReadingText));
        ASSERT_TRUE(waitForReaders());
        EXPECT_EQ(printed(models), velmoraProps("--count", file) + c.added);
    }
}

TEST(nautilus_module, models_return_while_the_reader_is_held_and_fill_in_afterwards) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    // The hold file beside the file, where a sandboxed reader sees it.
    const CopiedSample sample;
    const std::string hold = sample.dir / "hold";
    sample.dir.writeFile("hold");
    const ScopedEnv hook("KAVREL_READER_TEST_HOOK", "hold:" + hold);
    // Should get_models wait for the reader, the hold ends after a while and
    // the models come too late.
    std::promise<void> returned;
    std::atomic<bool> released{false};
    std::thread watchdog([&, done = returned.get_future()] {
        if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready)
            released = true;
        std::filesystem::remove(hold);
    });
    const std::string& file = sample.file;
    const Models models = modelsFor({file});
    EXPECT_FALSE(released);
    returned.set_value();
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(readersRunning(), 1);
    watchdog.join();
    ASSERT_TRUE(waitForReaders());
    EXPECT_EQ(printed(models), velmoraProps("--count", file));
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
        {{kSamples + "world/countries.shp"}, testsupport::databaseHive(kSamples + "world")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.front() + (c.files.size() > 1 ? " and more" : "") + ", " + c.hive);
        testsupport::HiveEnv hives(c.hive);
        EXPECT_EQ(modelsFor(c.files).size(), 0u);
        EXPECT_EQ(readersRunning(), 0);
    }
}

TEST(nautilus_module, values_arrive_on_the_thread_that_asked) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    const Models models = modelsFor({kSamples + "world/cities.shp"});
    ASSERT_EQ(models.size(), 2u);
    std::vector<std::thread::id> changedOn;
    const auto recordThread = +[](GListModel*, guint, guint, guint, gpointer threads) {
        static_cast<std::vector<std::thread::id>*>(threads)->push_back(std::this_thread::get_id());
    };
    for (const auto& model : models)
        g_signal_connect(nautilus_properties_model_get_model(model.get()), "items-changed",
                         G_CALLBACK(recordThread), &changedOn);
    ASSERT_TRUE(waitForReaders());
    for (const auto& model : models)
        g_signal_handlers_disconnect_by_data(nautilus_properties_model_get_model(model.get()),
                                             &changedOn);
    ASSERT_EQ(changedOn.size(), 2u); // each page once
    for (const auto& id : changedOn)
        EXPECT_EQ(id, std::this_thread::get_id());
}

// A reader that never answers, crashes or overruns its limit leaves texts
// saying so, and the host goes on serving the next file.
TEST(nautilus_module, a_reader_that_fails_leaves_texts_saying_so) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    // The hold file beside the file, where a sandboxed reader sees it.
    const CopiedSample sample;
    sample.dir.writeFile("hold");
    const struct {
        std::string hook;
        const char* limitMs;
        const char* text;
    } cases[] = {
        {"crash", "10000", nautilushost::kReaderStoppedText},
        {"hold:" + sample.dir / "hold", "300", nautilushost::kTimedOutText},
    };
    const std::string& file = sample.file;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hook);
        const ScopedEnv hook("KAVREL_READER_TEST_HOOK", c.hook);
        const ScopedEnv limit("KAVREL_READER_TEST_LIMIT_MS", c.limitMs);
        const Models models = modelsFor({file});
        ASSERT_EQ(models.size(), 2u);
        ASSERT_TRUE(waitForReaders());
        EXPECT_EQ(printed(models), printed(models, c.text));
    }
    const Models next = modelsFor({file});
    ASSERT_TRUE(waitForReaders());
    EXPECT_EQ(printed(next), velmoraProps("--count", file));
}

TEST(nautilus_module, no_reader_outlives_its_properties_window) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    const CopiedSample sample;
    const std::string hold = sample.dir / "hold";
    sample.dir.writeFile("hold");
    GWeakRef items;
    {
        const ScopedEnv hook("KAVREL_READER_TEST_HOOK", "hold:" + hold);
        const Models models = modelsFor({sample.file});
        ASSERT_EQ(models.size(), 2u);
        g_weak_ref_init(&items, nautilus_properties_model_get_model(models[1].get()));
        EXPECT_EQ(readersRunning(), 1);
    }
    // The window and its models are gone; the reader, still held, is killed.
    EXPECT_EQ(g_weak_ref_get(&items), nullptr);
    g_weak_ref_clear(&items);
    ASSERT_TRUE(waitForReaders());
    // A sandboxed reader goes with the sandbox that held it, a moment after.
    for (int look = 0; look < 200 && processesNaming(sample.file) != 0; ++look)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(processesNaming(sample.file), 0);
}

TEST(nautilus_module, the_sandbox_refuses_a_write_beside_the_file) {
    char* bwrap = g_find_program_in_path("bwrap");
    g_free(bwrap);
    if (bwrap == nullptr)
        GTEST_SKIP() << "bwrap is not installed";
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    const CopiedSample sample;
    const ScopedEnv hook("KAVREL_READER_TEST_HOOK", "write");
    const Models models = modelsFor({sample.file});
    ASSERT_EQ(models.size(), 2u);
    ASSERT_TRUE(waitForReaders());
    EXPECT_FALSE(std::filesystem::exists(sample.file + ".written"));
    // The file itself was read.
    EXPECT_EQ(printed(models), velmoraProps("--count", sample.file));
}
