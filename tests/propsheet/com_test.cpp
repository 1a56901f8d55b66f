// The server as a file manager meets it: loaded by path, its class object,
// extension object and pages, reference counts and HRESULTs, and when it
// starts and stops the map-view library. The calls to start and stop the
// library are counted on their way: this program exports its own
// Mapora_Init and Mapora_Shutdown, which the server binds before the
// library's, and passes them on.
#include "file_data_object.h"
#include "gdal_tools.h"
#include "hive_env.h"
#include "property_session.h"
#include "server_library.h"
#include <platform/com_ref.h>

#include "strand32/mapora.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <vector>

using namespace platform;
using namespace velmorahost;

namespace {

std::atomic<int> g_starts{0}, g_stops{0};

template <class F> F libraryFunction(const char* name) {
    static void* library = dlopen(STRAND32_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    return reinterpret_cast<F>(dlsym(library, name));
}

} // namespace

extern "C" std::int32_t Mapora_Init(const char* databaseFile) {
    ++g_starts;
    return libraryFunction<std::int32_t (*)(const char*)>("Mapora_Init")(databaseFile);
}

extern "C" void Mapora_Shutdown(void) {
    ++g_stops;
    libraryFunction<void (*)()>("Mapora_Shutdown")();
}

namespace {

const std::string kDataDir = KAVREL_DATA_DIR;

// A file manager's process with the server loaded and the database in the
// registry.
class Server : public testing::Test {
protected:
    void SetUp() override {
        g_starts = 0;
        g_stops = 0;
        ASSERT_TRUE(server_.load(VELMORA_LIBRARY)) << server_.error();
    }

    platform::ComRef<IClassFactory> factory() {
        platform::ComRef<IClassFactory> f;
        EXPECT_EQ(
            server_.getClassObject(velmora::CLSID_VelmoraPropSheet, IID_IClassFactory, f.putVoid()),
            S_OK);
        return f;
    }

    platform::ComRef<IShellExtInit> extension(IClassFactory* f) {
        platform::ComRef<IShellExtInit> e;
        EXPECT_EQ(f->CreateInstance(nullptr, IID_IShellExtInit, e.putVoid()), S_OK);
        return e;
    }

    HRESULT canUnloadNow() { return server_.canUnloadNow(); }

    testsupport::HiveEnv hives_{testsupport::databaseHive(kDataDir)};
    ServerLibrary server_;
};

BOOL takePage(HPROPSHEETPAGE page, LPARAM pages) {
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(pages)->push_back(page);
    return 1;
}

BOOL refusePage(HPROPSHEETPAGE, LPARAM) {
    return 0;
}

void* const kGarbage = reinterpret_cast<void*>(0x5A5A5A5A);

} // namespace

TEST(velmora_exports, exactly_the_two_entry_points_and_no_gui_toolkit) {
    const std::string symbols =
        testsupport::run("nm -D --defined-only " + testsupport::quoted(VELMORA_LIBRARY));
    std::vector<std::string> names;
    for (std::size_t pos = 0; (pos = symbols.find(" T ", pos)) != std::string::npos;) {
        const auto end = symbols.find('\n', pos);
        names.push_back(symbols.substr(pos + 3, end - pos - 3));
        pos = end;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject"}));
    const std::string needed =
        testsupport::run("readelf -d " + testsupport::quoted(VELMORA_LIBRARY));
    EXPECT_NE(needed.find("libstrand32.so"), std::string::npos);
    EXPECT_EQ(needed.find("Qt"), std::string::npos) << needed;
}

TEST_F(Server, class_object_only_for_its_class_and_interfaces) {
    const CLSID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    const struct {
        const CLSID* classId;
        const IID* interfaceId;
        HRESULT answer;
    } cases[] = {
        {&other, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
        {&velmora::CLSID_VelmoraPropSheet, &IID_IDataObject, E_NOINTERFACE},
        {&velmora::CLSID_VelmoraPropSheet, &IID_IUnknown, S_OK},
        {&velmora::CLSID_VelmoraPropSheet, &IID_IClassFactory, S_OK},
    };
    for (const auto& c : cases) {
        void* object = kGarbage;
        EXPECT_EQ(server_.getClassObject(*c.classId, *c.interfaceId, &object), c.answer);
        EXPECT_EQ(object != nullptr, c.answer == S_OK);
        if (object != nullptr) {
            auto* f = static_cast<IClassFactory*>(object);
            EXPECT_EQ(f->LockServer(1), E_NOTIMPL);
            EXPECT_EQ(canUnloadNow(), S_FALSE);
            EXPECT_EQ(f->Release(), 0u);
        }
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, aggregation_refused_with_the_out_pointer_null) {
    auto f = factory();
    int outer = 0;
    void* object = kGarbage;
    EXPECT_EQ(f->CreateInstance(reinterpret_cast<IUnknown*>(&outer), IID_IUnknown, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

TEST_F(Server, extension_answers_both_interfaces_on_one_counted_object) {
    auto f = factory();
    void* object = kGarbage;
    EXPECT_EQ(f->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    platform::ComRef<IShellPropSheetExt> sheet;
    ASSERT_EQ(f->CreateInstance(nullptr, IID_IShellPropSheetExt, sheet.putVoid()), S_OK);
    platform::ComRef<IShellExtInit> init;
    ASSERT_EQ(sheet->QueryInterface(IID_IShellExtInit, init.putVoid()), S_OK);
    EXPECT_NE(static_cast<void*>(init.get()), static_cast<void*>(sheet.get()));
    platform::ComRef<IUnknown> fromInit, fromSheet;
    ASSERT_EQ(init->QueryInterface(IID_IUnknown, fromInit.putVoid()), S_OK);
    ASSERT_EQ(sheet->QueryInterface(IID_IUnknown, fromSheet.putVoid()), S_OK);
    EXPECT_EQ(fromInit.get(), fromSheet.get()); // one identity: the first interface
    EXPECT_EQ(static_cast<void*>(fromSheet.get()), static_cast<void*>(sheet.get()));
    EXPECT_EQ(init->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(sheet->AddRef(), 5u); // sheet, init, two IUnknowns, this one
    EXPECT_EQ(init->Release(), 4u);
    EXPECT_EQ(sheet->ReplacePage(0, takePage, 0), E_FAIL);
}

TEST_F(Server, initialize_takes_exactly_one_file) {
    auto f = factory();
    auto init = extension(f.get());
    const std::size_t blocks = GlobalLiveCount();
    const struct {
        std::vector<std::string> files;
        HRESULT answer;
    } cases[] = {
        {{"/data/roads.shp"}, S_OK},
        {{"/data/roads.shp", "/data/rivers.shp"}, E_FAIL},
        {{}, E_FAIL},
    };
    for (const auto& c : cases) {
        platform::ComRef<IDataObject> data(CFileDataObject::create(c.files));
        EXPECT_EQ(init->Initialize(nullptr, data.get(), nullptr), c.answer) << c.files.size();
        EXPECT_EQ(GlobalLiveCount(), blocks); // the medium was released
    }
    EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), E_FAIL);
}

TEST_F(Server, pages_keep_the_server_loaded_after_the_extension_is_gone) {
    std::vector<HPROPSHEETPAGE> pages;
    {
        auto f = factory();
        platform::ComRef<IShellPropSheetExt> sheet;
        ASSERT_EQ(f->CreateInstance(nullptr, IID_IShellPropSheetExt, sheet.putVoid()), S_OK);
        EXPECT_EQ(sheet->AddPages(refusePage, 0), S_OK); // refused pages are destroyed
        EXPECT_EQ(sheet->AddPages(takePage, reinterpret_cast<LPARAM>(&pages)), S_OK);
    }
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(PropertySheetPageTitle(pages[0]), "Geography");
    EXPECT_EQ(PropertySheetPageTitle(pages[1]), "Spatial Objects");
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    DestroyPropertySheetPage(pages[0]);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    EXPECT_EQ(g_stops, 0);
    DestroyPropertySheetPage(pages[1]);
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_EQ(g_stops, 1);
}

TEST_F(Server, library_started_only_while_just_the_factory_lives) {
    {
        auto f = factory();
        auto first = extension(f.get());
        auto second = extension(f.get());
        EXPECT_EQ(g_starts, 1);
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_EQ(g_stops, 1);
    EXPECT_EQ(canUnloadNow(), S_OK); // stopped once only
    EXPECT_EQ(g_stops, 1);
    {
        auto f = factory();
        auto again = extension(f.get());
        EXPECT_EQ(g_starts, 2);
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_EQ(g_stops, 2);
}

TEST_F(Server, a_library_never_started_is_never_shut_down) {
    EXPECT_EQ(canUnloadNow(), S_OK);
    { auto f = factory(); }
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_EQ(g_starts, 0);
    EXPECT_EQ(g_stops, 0);
}

TEST_F(Server, without_its_database_no_extension_and_no_pages) {
    testsupport::TempDir empty;
    const std::optional<std::string> hives[] = {
        std::string("REGEDIT4\n\n[Software\\Quorvane Geo]\n"), // no DataBasePath
        testsupport::databaseHive(empty.str()),                // no datora.dat there
        std::nullopt,                                          // no hive at all
    };
    for (const auto& hive : hives) {
        testsupport::HiveEnv env(hive);
        {
            auto f = factory();
            void* object = kGarbage;
            EXPECT_EQ(f->CreateInstance(nullptr, IID_IShellExtInit, &object), E_FAIL);
            EXPECT_EQ(object, nullptr);
        }
        EXPECT_EQ(canUnloadNow(), S_OK);
        EXPECT_EQ(g_stops, 0); // a library that refused to start is not shut down
        PropertySession session(VELMORA_LIBRARY);
        EXPECT_FALSE(session.open({kDataDir + "/samples/world/cities.shp"}));
        EXPECT_NE(session.error().find("CreateInstance"), std::string::npos) << session.error();
    }
}
