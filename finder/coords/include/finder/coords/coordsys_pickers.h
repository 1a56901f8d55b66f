#pragma once
// The three chained "Coordinate System" lists (group, system, datum), filled
// from the coordinate-system database. The window implements PickerList over
// its drop-down lists; kavrel-find and the tests use MemoryPickerList.
#include <quill32/coordsys_database.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace finder {

// Item 0 of every filled list.
inline constexpr std::string_view kAnyItemText = "( Any )";
// Shown (no owner, error icon) when the database cannot be opened for a fill.
inline constexpr std::string_view kOpenDatabaseErrorText = "Error on OpenDatoraDatabase";
inline constexpr std::string_view kOpenDatabaseErrorCaption = "Atlion Find";

// A drop-down list that accepts no typing and keeps its items unsorted.
class PickerList {
public:
    virtual ~PickerList() = default;
    virtual void clear() = 0;
    virtual void addText(const std::string& text) = 0;
    // Selects item `index`; -1 selects nothing.
    virtual void selectIndex(int index) = 0;
    // The selected item, -1 when none.
    virtual int selectedIndex() const = 0;
    // Text of the selected item, empty when none.
    virtual std::string text() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual int count() const = 0;
};

// A list held in memory.
class MemoryPickerList : public PickerList {
public:
    void clear() override;
    void addText(const std::string& text) override;
    void selectIndex(int index) override;
    int selectedIndex() const override { return selected_; }
    std::string text() const override;
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    int count() const override { return static_cast<int>(items_.size()); }

    const std::vector<std::string>& items() const { return items_; }
    bool isEnabled() const { return enabled_; }

private:
    std::vector<std::string> items_;
    int selected_ = -1;
    bool enabled_ = true;
};

// The database read from `databaseFile`; nothing when it cannot be read.
std::optional<quill32::CoordSysDatabase> OpenCoordSysDatabase(const std::string& databaseFile);
// Lets go of an open database; `database` is empty afterwards in every case.
void CloseCoordSysDatabase(std::optional<quill32::CoordSysDatabase>& database);

// The pickers' logic over three lists. Every fill opens the database into
// `database` first and closes it last; when the open fails it shows
// "Error on OpenDatoraDatabase" and returns false without touching a list.
class CoordSysPickers {
public:
    // `database` is the window's open database, empty while no fill runs; it
    // must outlive this object, as must the three lists.
    CoordSysPickers(PickerList& groups, PickerList& systems, PickerList& datums,
                    std::string databaseFile, std::optional<quill32::CoordSysDatabase>& database);

    // Start-up fill: "( Any )" then every group's display name; "( Any )"
    // alone in the system and datum lists. The caller then disables those two.
    bool FillSystemGroups();
    // Adds the systems of the group; true when at least one was listed.
    bool FillSystems(const std::string& groupName);
    // Adds the datum keys valid for the group, plus the system's own datum
    // key; true when the system's datum was found.
    bool FillDatums(const std::string& groupName, const std::string& systemName);

    // Change handlers of the group and system lists.
    void CoordinateSystemGroupChange();
    void CoordinateSystemChange();

    // Index of the group whose systems were last loaded: 0 at first and
    // after "( Any )", NoGroupLoaded after a load that failed.
    static constexpr int NoGroupLoaded = -1;
    int rememberedGroupIndex() const { return rememberedGroup_; }
    const std::string& databaseFile() const { return databaseFile_; }

private:
    static void resetToAny(PickerList& list);

    PickerList& groups_;
    PickerList& systems_;
    PickerList& datums_;
    std::string databaseFile_;
    std::optional<quill32::CoordSysDatabase>& database_;
    int rememberedGroup_ = 0;
};

// The texts of the three lists as the window holds them after start-up and
// then choosing a group and, within it, a system.
struct PickerTexts {
    std::vector<std::string> groups;
    std::vector<std::string> systems;
    std::vector<std::string> datums;
};

enum class PickerListStatus {
    Ok,
    DatabaseUnavailable, // the database could not be opened at start-up
    UnknownGroup,        // the group is not an item of the group list
    UnknownSystem,       // the system is not an item of the group's system list
};

struct PickerListResult {
    PickerListStatus status = PickerListStatus::Ok;
    PickerTexts texts;
};

// Runs start-up, then selects `group` (when given) and `system` (when given,
// only with a group) by their exact item text through the change handlers.
// The open failure's box goes through the installed message-box presenter.
PickerListResult listPickerTexts(const std::string& databaseFile,
                                 const std::optional<std::string>& group = std::nullopt,
                                 const std::optional<std::string>& system = std::nullopt);

} // namespace finder
