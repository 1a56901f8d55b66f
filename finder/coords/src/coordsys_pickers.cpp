// The three chained coordinate-system lists: filled from the database read
// for each fill, and their change handlers.
#include "finder/coords/coordsys_pickers.h"

#include <platform/message_box.h>

#include <algorithm>
#include <utility>

namespace finder {

namespace {

// The database held open for one fill: opened into the window's holder and
// closed when the fill ends, however it ends. An open that fails shows the
// error box.
class FillSession {
public:
    FillSession(const std::string& databaseFile, std::optional<quill32::CoordSysDatabase>& database)
        : database_(database) {
        // A fill never runs during a search, so whatever is held here is stale.
        CloseCoordSysDatabase(database_);
        database_ = OpenCoordSysDatabase(databaseFile);
        if (!database_)
            platform::messageBox(nullptr, std::string(kOpenDatabaseErrorText),
                                 std::string(kOpenDatabaseErrorCaption),
                                 platform::MB_OK | platform::MB_ICONERROR);
    }
    ~FillSession() { CloseCoordSysDatabase(database_); }
    FillSession(const FillSession&) = delete;
    FillSession& operator=(const FillSession&) = delete;

    bool isOpen() const { return database_.has_value(); }
    const quill32::CoordSysDatabase& database() const { return *database_; }

private:
    std::optional<quill32::CoordSysDatabase>& database_;
};

int indexOf(const std::vector<std::string>& items, const std::string& text) {
    const auto found = std::find(items.begin(), items.end(), text);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

} // namespace

void MemoryPickerList::clear() {
    items_.clear();
    selected_ = -1;
}

void MemoryPickerList::addText(const std::string& text) {
    items_.push_back(text);
}

void MemoryPickerList::selectIndex(int index) {
    selected_ = index >= 0 && index < count() ? index : -1;
}

std::string MemoryPickerList::text() const {
    return selected_ < 0 ? std::string() : items_[static_cast<std::size_t>(selected_)];
}

std::optional<quill32::CoordSysDatabase> OpenCoordSysDatabase(const std::string& databaseFile) {
    return quill32::CoordSysDatabase::open(databaseFile);
}

void CloseCoordSysDatabase(std::optional<quill32::CoordSysDatabase>& database) {
    database.reset();
}

CoordSysPickers::CoordSysPickers(PickerList& groups, PickerList& systems, PickerList& datums,
                                 std::string databaseFile,
                                 std::optional<quill32::CoordSysDatabase>& database)
    : groups_(groups), systems_(systems), datums_(datums), databaseFile_(std::move(databaseFile)),
      database_(database) {}

void CoordSysPickers::resetToAny(PickerList& list) {
    list.clear();
    list.addText(std::string(kAnyItemText));
    list.selectIndex(0);
}

bool CoordSysPickers::FillSystemGroups() {
    const FillSession session(databaseFile_, database_);
    if (!session.isOpen())
        return false;

    groups_.addText(std::string(kAnyItemText));
    groups_.selectIndex(0);
    const quill32::CoordSysDatabase& database = session.database();
    for (std::size_t i = 0; i < database.groupCount(); ++i)
        groups_.addText(database.group(i).name());
    systems_.addText(std::string(kAnyItemText));
    systems_.selectIndex(0);
    datums_.addText(std::string(kAnyItemText));
    datums_.selectIndex(0);
    return true;
}

bool CoordSysPickers::FillSystems(const std::string& groupName) {
    const FillSession session(databaseFile_, database_);
    if (!session.isOpen())
        return false;

    const auto group = session.database().findGroup(groupName);
    if (!group || group->systemCount() == 0)
        return false;
    for (std::size_t i = 0; i < group->systemCount(); ++i)
        systems_.addText(group->system(i).name());
    return true;
}

bool CoordSysPickers::FillDatums(const std::string& groupName, const std::string& systemName) {
    const FillSession session(databaseFile_, database_);
    if (!session.isOpen())
        return false;

    const quill32::CoordSysDatabase& database = session.database();
    const auto group = database.findGroup(groupName);
    if (!group)
        return false;
    const auto system = group->findSystem(systemName);
    if (!system)
        return false;
    const std::string systemDatumKey = system->datum().key();
    for (std::size_t i = 0; i < database.datumCount(); ++i) {
        const std::string& key = database.datum(i).key();
        if (group->datumKeyValid(key) || key == systemDatumKey)
            datums_.addText(key);
    }
    return true;
}

void CoordSysPickers::CoordinateSystemGroupChange() {
    const int index = groups_.selectedIndex();
    if (index < 0)
        return;
    if (index == 0) {
        systems_.setEnabled(false);
        datums_.setEnabled(false);
        systems_.selectIndex(0);
        datums_.selectIndex(0);
        rememberedGroup_ = 0;
        return;
    }
    if (index == rememberedGroup_)
        return;

    resetToAny(systems_);
    resetToAny(datums_);
    if (FillSystems(groups_.text())) {
        rememberedGroup_ = index;
        systems_.setEnabled(true);
        systems_.selectIndex(0);
    } else {
        // The systems of the group remembered before are gone from the list,
        // so choosing that group again must load them again.
        rememberedGroup_ = NoGroupLoaded;
    }
}

void CoordSysPickers::CoordinateSystemChange() {
    const int index = systems_.selectedIndex();
    if (index < 0)
        return;
    if (index == 0) {
        datums_.setEnabled(false);
        return;
    }
    resetToAny(datums_);
    if (FillDatums(groups_.text(), systems_.text())) {
        datums_.setEnabled(true);
        datums_.selectIndex(0);
    }
}

PickerListResult listPickerTexts(const std::string& databaseFile,
                                 const std::optional<std::string>& group,
                                 const std::optional<std::string>& system) {
    MemoryPickerList groups;
    MemoryPickerList systems;
    MemoryPickerList datums;
    std::optional<quill32::CoordSysDatabase> database;
    CoordSysPickers pickers(groups, systems, datums, databaseFile, database);

    PickerListResult result;
    const auto collect = [&](PickerListStatus status) {
        result.status = status;
        result.texts = {groups.items(), systems.items(), datums.items()};
        return result;
    };

    if (!pickers.FillSystemGroups())
        return collect(PickerListStatus::DatabaseUnavailable);
    systems.setEnabled(false);
    datums.setEnabled(false);

    // Selects `text` in `list` and runs its change handler; false when the
    // list has no such item.
    const auto choose = [&](MemoryPickerList& list, const std::string& text, auto handler) {
        const int index = indexOf(list.items(), text);
        if (index < 0)
            return false;
        list.selectIndex(index);
        (pickers.*handler)();
        return true;
    };
    if (group && !choose(groups, *group, &CoordSysPickers::CoordinateSystemGroupChange))
        return collect(PickerListStatus::UnknownGroup);
    if (group && system && !choose(systems, *system, &CoordSysPickers::CoordinateSystemChange))
        return collect(PickerListStatus::UnknownSystem);
    return collect(PickerListStatus::Ok);
}

} // namespace finder
