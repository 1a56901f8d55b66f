// The group, system and datum lists filled from the real database and from
// small databases written here, the change handlers' re-selection rules, the
// open failure, and the release of every handle the fills obtain.
#include "finder/coords/coordsys_pickers.h"

#include "temp_dir.h"

#include <platform/message_box.h>
#include <quill32/live_objects.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>

namespace {

using namespace finder;
using testsupport::TempDir;
using Texts = std::vector<std::string>;

const std::string kDatabase = std::string(KAVREL_DATA_DIR) + "/datora.dat";
const std::string kAny(AnyItemText);
const std::string kUtm = "Universal Transverse Mercator (UTM)";

// The database file read as text: datum keys, and per group its name, its
// systems' names and the keys of its valid datums, all in file order.
struct DatabaseText {
    struct Group {
        std::string name;
        Texts systems;
        Texts datums;
    };
    Texts datumKeys;
    std::vector<Group> groups;

    explicit DatabaseText(const std::string& path) {
        std::istringstream in(TempDir::readFile(path));
        for (std::string line; std::getline(in, line);) {
            std::vector<std::string> f;
            std::istringstream fields(line);
            for (std::string field; std::getline(fields, field, '\t');)
                f.push_back(field);
            if (f[0] == "D") {
                datumKeys.push_back(f[1]);
            } else if (f[0] == "G") {
                groups.push_back({f[2], {}, {}});
                std::istringstream list(f.size() > 3 ? f[3] : "");
                for (std::string item; std::getline(list, item, ',');)
                    groups.back().datums.push_back(datumKeys.at(std::stoul(item)));
            } else if (f[0] == "S") {
                groups.back().systems.push_back(f[2]);
            }
        }
    }
    const Group& group(const std::string& name) const {
        return *std::find_if(groups.begin(), groups.end(),
                             [&](const Group& g) { return g.name == name; });
    }
};

std::uint32_t crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// Writes a database of the given records with its trailer.
std::string writeDatabase(const TempDir& dir, const Texts& records) {
    std::string body = "DATORA\t1\n";
    for (const std::string& record : records)
        body += record + "\n";
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32(body));
    return dir.writeFile("datora.dat",
                         body + "END\t" + std::to_string(records.size()) + "\t" + crc + "\n");
}

Texts withAny(Texts texts) {
    texts.insert(texts.begin(), kAny);
    return texts;
}

int indexOf(const MemoryPickerList& list, const std::string& text) {
    const auto& items = list.items();
    const auto found = std::find(items.begin(), items.end(), text);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

// Three lists and the pickers over them, started as the window starts them;
// every box shown is recorded, and no handle may outlive the test.
class Pickers : public ::testing::Test {
protected:
    void SetUp() override {
        objectsBefore_ = quill32::liveObjectCount();
        databasesBefore_ = quill32::liveDatabaseCount();
        platform::setMessageBoxPresenter([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request);
            return platform::IDOK;
        });
    }
    void TearDown() override {
        platform::setMessageBoxPresenter({});
        EXPECT_EQ(handle, 0u);
        EXPECT_EQ(quill32::liveObjectCount(), objectsBefore_) << "an object was not released";
        EXPECT_EQ(quill32::liveDatabaseCount(), databasesBefore_) << "a database stayed open";
    }

    bool start(const std::string& file = kDatabase) {
        pickers.emplace(groups, systems, datums, file, handle);
        const bool filled = pickers->FillSystemGroups();
        systems.setEnabled(false);
        datums.setEnabled(false);
        return filled;
    }
    void chooseGroup(const std::string& name) {
        groups.selectIndex(indexOf(groups, name));
        ASSERT_GE(groups.selectedIndex(), 0) << name;
        pickers->CoordinateSystemGroupChange();
    }
    void chooseSystem(const std::string& name) {
        systems.selectIndex(indexOf(systems, name));
        ASSERT_GE(systems.selectedIndex(), 0) << name;
        pickers->CoordinateSystemChange();
    }

    MemoryPickerList groups, systems, datums;
    DatoraDatabase handle = 0;
    std::optional<CoordSysPickers> pickers;
    std::vector<platform::MessageBoxRequest> boxes;
    std::size_t objectsBefore_ = 0, databasesBefore_ = 0;
};

TEST_F(Pickers, StartUpListsAnyThenEveryGroupInDatabaseOrder) {
    const DatabaseText file(kDatabase);
    ASSERT_TRUE(start());
    Texts expected;
    for (const auto& g : file.groups)
        expected.push_back(g.name);
    EXPECT_EQ(groups.items(), withAny(expected));
    EXPECT_EQ(groups.selectedIndex(), 0);
    EXPECT_NE(indexOf(groups, kUtm), -1);
    EXPECT_EQ(systems.items(), Texts{kAny});
    EXPECT_EQ(datums.items(), Texts{kAny});
    EXPECT_EQ(systems.selectedIndex(), 0);
    EXPECT_EQ(datums.selectedIndex(), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Pickers, GroupThenSystemFillTheChainedLists) {
    const DatabaseText file(kDatabase);
    ASSERT_TRUE(start());

    chooseGroup(kUtm);
    EXPECT_EQ(systems.items(), withAny(file.group(kUtm).systems));
    EXPECT_NE(indexOf(systems, "UTM zone 33N"), -1);
    EXPECT_TRUE(systems.isEnabled());
    EXPECT_EQ(systems.selectedIndex(), 0);
    EXPECT_FALSE(datums.isEnabled());
    EXPECT_EQ(pickers->rememberedGroupIndex(), indexOf(groups, kUtm));

    chooseSystem("UTM zone 33N");
    EXPECT_EQ(datums.items(), withAny(file.group(kUtm).datums));
    EXPECT_NE(indexOf(datums, "WGS84"), -1);
    EXPECT_TRUE(datums.isEnabled());
    EXPECT_EQ(datums.selectedIndex(), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Pickers, ReselectionRules) {
    ASSERT_TRUE(start());
    chooseGroup(kUtm);
    chooseSystem("UTM zone 33N");
    const Texts utmSystems = systems.items();
    const Texts utmDatums = datums.items();

    // The same system again reloads the datums: the selection returns to 0.
    datums.selectIndex(2);
    pickers->CoordinateSystemChange();
    EXPECT_EQ(datums.selectedIndex(), 0);
    EXPECT_EQ(datums.items(), utmDatums);

    // "( Any )" as system disables the datums and leaves their items and selection.
    datums.selectIndex(2);
    systems.selectIndex(0);
    pickers->CoordinateSystemChange();
    EXPECT_FALSE(datums.isEnabled());
    EXPECT_EQ(datums.selectedIndex(), 2);
    EXPECT_EQ(datums.items(), utmDatums);

    // The loaded group again is not reloaded: the system chosen stays chosen.
    systems.selectIndex(3);
    pickers->CoordinateSystemGroupChange();
    EXPECT_EQ(systems.selectedIndex(), 3);

    // "( Any )" as group disables both and selects their first items, which stay.
    groups.selectIndex(0);
    pickers->CoordinateSystemGroupChange();
    EXPECT_FALSE(systems.isEnabled());
    EXPECT_FALSE(datums.isEnabled());
    EXPECT_EQ(systems.selectedIndex(), 0);
    EXPECT_EQ(datums.selectedIndex(), 0);
    EXPECT_EQ(systems.items(), utmSystems);
    EXPECT_EQ(pickers->rememberedGroupIndex(), 0);

    // After "( Any )" the same group loads again, and its datums start over.
    chooseGroup(kUtm);
    EXPECT_TRUE(systems.isEnabled());
    EXPECT_EQ(systems.items(), utmSystems);
    EXPECT_EQ(datums.items(), Texts{kAny});
    EXPECT_TRUE(boxes.empty());
}

// A database written here: "Grid A" lies on BETA, which its group does not
// list; "Beta" differs from it only in letter case; "Empty" has no systems.
class SmallDatabase : public Pickers {
protected:
    void SetUp() override {
        Pickers::SetUp();
        file_ = writeDatabase(dir_, {"D\tALPHA\tAlpha datum", "D\tBeta\tBeta lower",
                                     "D\tBETA\tBeta datum", "D\tGAMMA\tGamma datum",
                                     "G\tTEST\tTest Grid\t0,3", "S\tGRID-A\tGrid A\t2\tMETERS",
                                     "S\tGRID-B\tGrid B\t0\tMETERS", "G\tEMPTY\tEmpty\t0"});
        ASSERT_TRUE(start(file_));
    }
    TempDir dir_;
    std::string file_;
};

TEST_F(SmallDatabase, DatumsValidForTheGroupPlusTheSystemsOwnKey) {
    EXPECT_EQ(groups.items(), (Texts{kAny, "Test Grid", "Empty"}));
    chooseGroup("Test Grid");
    EXPECT_EQ(systems.items(), (Texts{kAny, "Grid A", "Grid B"}));
    chooseSystem("Grid A");
    EXPECT_EQ(datums.items(), (Texts{kAny, "ALPHA", "BETA", "GAMMA"}));
    chooseSystem("Grid B");
    EXPECT_EQ(datums.items(), (Texts{kAny, "ALPHA", "GAMMA"}));
}

TEST_F(SmallDatabase, GroupWithoutSystemsLeavesAnyAndReloadsThePreviousGroupAfterwards) {
    chooseGroup("Test Grid");
    chooseSystem("Grid A");
    chooseGroup("Empty");
    EXPECT_EQ(systems.items(), Texts{kAny});
    EXPECT_EQ(datums.items(), Texts{kAny});
    EXPECT_TRUE(boxes.empty());
    // The systems of "Test Grid" were cleared, so choosing it again loads them.
    chooseGroup("Test Grid");
    EXPECT_EQ(systems.items(), (Texts{kAny, "Grid A", "Grid B"}));
}

TEST_F(SmallDatabase, DatabaseGoneAfterStartUpShowsTheBoxOnEachFill) {
    std::filesystem::remove(file_);
    chooseGroup("Test Grid");
    EXPECT_EQ(systems.items(), Texts{kAny});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error on OpenDatoraDatabase");
}

TEST_F(Pickers, OpenFailureShowsTheBoxAndLeavesTheListsEmpty) {
    TempDir dir;
    for (const std::string& file :
         {dir / "missing.dat", dir.writeFile("bad.dat", "DATORA\t1\n"), std::string()}) {
        SCOPED_TRACE(file);
        boxes.clear();
        groups.clear();
        EXPECT_FALSE(start(file));
        EXPECT_TRUE(groups.items().empty());
        EXPECT_TRUE(systems.items().empty());
        EXPECT_TRUE(datums.items().empty());
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Error on OpenDatoraDatabase");
        EXPECT_EQ(boxes[0].title, "Atlion Find");
        EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONERROR);
        EXPECT_EQ(boxes[0].owner, nullptr);
    }
}

TEST_F(Pickers, OpenAndCloseTheDatabase) {
    handle = OpenCoordSysDatabase(kDatabase);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(quill32::liveDatabaseCount(), databasesBefore_ + 1);
    CloseCoordSysDatabase(handle);
    EXPECT_EQ(handle, 0u);
    CloseCoordSysDatabase(handle); // closing nothing is harmless
    EXPECT_EQ(OpenCoordSysDatabase("/nonexistent/datora.dat"), 0u);
}

TEST_F(Pickers, ListTextsAfterTheSameSelections) {
    const DatabaseText file(kDatabase);
    const Texts groupTexts = withAny([&] {
        Texts names;
        for (const auto& g : file.groups)
            names.push_back(g.name);
        return names;
    }());
    struct Case {
        std::optional<std::string> group, system;
        PickerListStatus status;
        Texts systems, datums;
    };
    const Case cases[] = {
        {{}, {}, PickerListStatus::Ok, {kAny}, {kAny}},
        {kAny, {}, PickerListStatus::Ok, {kAny}, {kAny}},
        {kUtm, {}, PickerListStatus::Ok, withAny(file.group(kUtm).systems), {kAny}},
        {kUtm, "UTM zone 33N", PickerListStatus::Ok, withAny(file.group(kUtm).systems),
         withAny(file.group(kUtm).datums)},
        {"No Such Group", {}, PickerListStatus::UnknownGroup, {kAny}, {kAny}},
        {kUtm,
         "UTM zone 99X",
         PickerListStatus::UnknownSystem,
         withAny(file.group(kUtm).systems),
         {kAny}},
        // Names match exactly, as the lists show them.
        {"universal transverse mercator (utm)", {}, PickerListStatus::UnknownGroup, {kAny}, {kAny}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.group.value_or("-") + " / " + c.system.value_or("-"));
        const PickerListResult result = ListPickerTexts(kDatabase, c.group, c.system);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.texts.groups, groupTexts);
        EXPECT_EQ(result.texts.systems, c.systems);
        EXPECT_EQ(result.texts.datums, c.datums);
    }
    const PickerListResult missing = ListPickerTexts("/nonexistent/datora.dat");
    EXPECT_EQ(missing.status, PickerListStatus::DatabaseUnavailable);
    EXPECT_TRUE(missing.texts.groups.empty());
    EXPECT_EQ(boxes.size(), 1u);
}

} // namespace
