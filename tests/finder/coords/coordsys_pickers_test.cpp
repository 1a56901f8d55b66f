// The group, system and datum lists filled from the real database and from a
// small database written here, the change handlers' re-selection rules, the
// open failure, and that no fill holds the database after it ends.
#include "finder/coords/coordsys_pickers.h"

#include "datora_text.h"
#include "temp_dir.h"

#include <platform/message_box.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>

namespace {

using namespace finder;
using testsupport::TempDir;
using Texts = std::vector<std::string>;

const std::string kDatabase = std::string(KAVREL_DATA_DIR) + "/datora.dat";
const std::string kAny(kAnyItemText);
const std::string kUtm = "Universal Transverse Mercator (UTM)";

// The real database read as text: "( Any )" and the group names, and for
// one group "( Any )" with its systems' names and its valid datum keys.
struct DatabaseText {
    Texts groups{kAny}, systems{kAny}, datums{kAny};

    DatabaseText(const std::string& path, const std::string& group) {
        std::istringstream in(TempDir::readFile(path));
        Texts datumKeys;
        bool inGroup = false;
        for (std::string line; std::getline(in, line);) {
            Texts f;
            std::istringstream fields(line);
            for (std::string field; std::getline(fields, field, '\t');)
                f.push_back(field);
            if (f[0] == "D")
                datumKeys.push_back(f[1]);
            if (f[0] == "G") {
                groups.push_back(f[2]);
                inGroup = f[2] == group;
            }
            if (f[0] == "G" && inGroup) {
                std::istringstream list(f[3]);
                for (std::string item; std::getline(list, item, ',');)
                    datums.push_back(datumKeys.at(std::stoul(item)));
            }
            if (f[0] == "S" && inGroup)
                systems.push_back(f[2]);
        }
    }
};

TEST(PickerTexts, lists_over_the_real_database_after_each_selection) {
    const DatabaseText utm(kDatabase, kUtm);
    ASSERT_GT(utm.groups.size(), 2u);
    ASSERT_NE(std::find(utm.systems.begin(), utm.systems.end(), "UTM zone 33N"), utm.systems.end());
    ASSERT_NE(std::find(utm.datums.begin(), utm.datums.end(), "WGS84"), utm.datums.end());
    struct Case {
        std::optional<std::string> group, system;
        PickerListStatus status;
        Texts systems, datums;
    };
    const Case cases[] = {
        {{}, {}, PickerListStatus::Ok, {kAny}, {kAny}},
        {kAny, kAny, PickerListStatus::Ok, {kAny}, {kAny}},
        {kUtm, {}, PickerListStatus::Ok, utm.systems, {kAny}},
        {kUtm, "UTM zone 33N", PickerListStatus::Ok, utm.systems, utm.datums},
        {"No Such Group", {}, PickerListStatus::UnknownGroup, {kAny}, {kAny}},
        {"universal transverse mercator (utm)", {}, PickerListStatus::UnknownGroup, {kAny}, {kAny}},
        {kUtm, "UTM zone 99X", PickerListStatus::UnknownSystem, utm.systems, {kAny}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.group.value_or("-") + " / " + c.system.value_or("-"));
        const PickerListResult result = listPickerTexts(kDatabase, c.group, c.system);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.texts.groups, utm.groups);
        EXPECT_EQ(result.texts.systems, c.systems);
        EXPECT_EQ(result.texts.datums, c.datums);
    }
}

// Pickers over a database written here: "Grid A" lies on BETA, which its
// group does not list; "Beta" differs from BETA only in letter case; "Empty"
// has no systems. Boxes are recorded; the database is held only during a fill.
class Pickers : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setMessageBoxPresenter([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request);
            return platform::IDOK;
        });
        file_ = dir_.writeFile(
            "datora.dat",
            testsupport::datoraText({"D\tALPHA\tAlpha", "D\tBeta\tBeta lower", "D\tBETA\tBeta",
                                     "D\tGAMMA\tGamma", "G\tTEST\tTest Grid\t0,3",
                                     "S\tGRID-A\tGrid A\t2\tMETERS", "S\tGRID-B\tGrid B\t0\tM",
                                     "G\tEMPTY\tEmpty\t0"}));
    }
    void TearDown() override {
        platform::setMessageBoxPresenter({});
        EXPECT_FALSE(database) << "the database stayed open after a fill";
    }

    // Start-up as the window runs it.
    bool start(const std::string& file) {
        pickers.emplace(groups, systems, datums, file, database);
        const bool filled = pickers->FillSystemGroups();
        systems.setEnabled(false);
        datums.setEnabled(false);
        return filled;
    }
    void choose(MemoryPickerList& list, const std::string& text) {
        const auto& items = list.items();
        const auto found = std::find(items.begin(), items.end(), text);
        ASSERT_NE(found, items.end()) << text;
        list.selectIndex(static_cast<int>(found - items.begin()));
        if (&list == &groups)
            pickers->CoordinateSystemGroupChange();
        else
            pickers->CoordinateSystemChange();
    }

    TempDir dir_;
    std::string file_;
    MemoryPickerList groups, systems, datums;
    std::optional<quill32::CoordSysDatabase> database;
    std::optional<CoordSysPickers> pickers;
    std::vector<platform::MessageBoxRequest> boxes;
};

TEST_F(Pickers, datums_valid_for_the_group_plus_the_systems_own_key) {
    ASSERT_TRUE(start(file_));
    EXPECT_EQ(groups.items(), (Texts{kAny, "Test Grid", "Empty"}));
    choose(groups, "Test Grid");
    EXPECT_EQ(systems.items(), (Texts{kAny, "Grid A", "Grid B"}));
    choose(systems, "Grid A");
    EXPECT_EQ(datums.items(), (Texts{kAny, "ALPHA", "BETA", "GAMMA"}));
    choose(systems, "Grid B");
    EXPECT_EQ(datums.items(), (Texts{kAny, "ALPHA", "GAMMA"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Pickers, reselection_rules) {
    ASSERT_TRUE(start(file_));
    choose(groups, "Test Grid");
    EXPECT_TRUE(systems.isEnabled());
    EXPECT_FALSE(datums.isEnabled());
    choose(systems, "Grid A");
    EXPECT_TRUE(datums.isEnabled());

    // The same system again reloads the datums: the selection returns to 0.
    datums.selectIndex(2);
    pickers->CoordinateSystemChange();
    EXPECT_EQ(datums.selectedIndex(), 0);
    EXPECT_EQ(datums.count(), 4);

    // "( Any )" as system disables the datums, keeping items and selection.
    datums.selectIndex(2);
    choose(systems, kAny);
    EXPECT_FALSE(datums.isEnabled());
    EXPECT_EQ(datums.selectedIndex(), 2);
    EXPECT_EQ(datums.count(), 4);

    // The loaded group again is not reloaded: the chosen system stays chosen.
    systems.selectIndex(2);
    pickers->CoordinateSystemGroupChange();
    EXPECT_EQ(systems.selectedIndex(), 2);

    // "( Any )" as group disables both and selects their first items, which stay.
    choose(groups, kAny);
    EXPECT_FALSE(systems.isEnabled());
    EXPECT_FALSE(datums.isEnabled());
    EXPECT_EQ(systems.selectedIndex(), 0);
    EXPECT_EQ(datums.selectedIndex(), 0);
    EXPECT_EQ(systems.count(), 3);

    // Afterwards the same group loads again, and its datums start over.
    choose(groups, "Test Grid");
    EXPECT_TRUE(systems.isEnabled());
    EXPECT_EQ(systems.count(), 3);
    EXPECT_EQ(datums.items(), Texts{kAny});

    // A group without systems leaves "( Any )" alone; the group before it,
    // whose systems were cleared, loads again when chosen.
    choose(groups, "Empty");
    EXPECT_EQ(systems.items(), Texts{kAny});
    choose(groups, "Test Grid");
    EXPECT_EQ(systems.count(), 3);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Pickers, open_failure_shows_the_box_and_touches_no_list) {
    for (const std::string& file : {dir_ / "missing.dat", dir_.writeFile("bad.dat", "DATORA\t1\n"),
                                    std::string(), dir_ / ""}) {
        SCOPED_TRACE(file);
        boxes.clear();
        EXPECT_FALSE(start(file));
        EXPECT_EQ(groups.count() + systems.count() + datums.count(), 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Error on OpenDatoraDatabase");
        EXPECT_EQ(boxes[0].title, "Atlion Find");
        EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONERROR);
        EXPECT_EQ(boxes[0].owner, nullptr);
    }
    // A database that goes away after start-up fails the next fill the same way.
    ASSERT_TRUE(start(file_));
    std::filesystem::remove(file_);
    boxes.clear();
    choose(groups, "Test Grid");
    EXPECT_EQ(systems.items(), Texts{kAny});
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(listPickerTexts(file_).status, PickerListStatus::DatabaseUnavailable);
}

} // namespace
