#include "finder/coords/coordsys_pickers.h"

#include "finder/coords/datora_object.h"

#include <platform/message_box.h>

#include <algorithm>
#include <array>
#include <utility>

namespace finder {

namespace {

constexpr int kNameBufferSize = 260; // group and system names
constexpr int kKeyBufferSize = 256;  // datum keys

// The database held open for one fill: opened into the window's handle and
// closed when the fill ends, however it ends. An open that fails shows the
// error box.
class FillSession {
public:
    FillSession(const std::string& databaseFile, DatoraDatabase& handle) : handle_(handle) {
        // A handle left open would leak its connection; a fill never runs
        // during a search, so whatever is held here is stale.
        CloseCoordSysDatabase(handle_);
        handle_ = OpenCoordSysDatabase(databaseFile);
        if (handle_ == 0)
            platform::messageBox(nullptr, std::string(kOpenDatabaseErrorText),
                                 std::string(kOpenDatabaseErrorCaption),
                                 platform::MB_OK | platform::MB_ICONERROR);
    }
    ~FillSession() { CloseCoordSysDatabase(handle_); }
    FillSession(const FillSession&) = delete;
    FillSession& operator=(const FillSession&) = delete;

    bool isOpen() const { return handle_ != 0; }
    DatoraObject readGroup(const std::string& groupName) const {
        return Datora_CoordSysGroupRead(handle_, groupName.c_str(), 0);
    }

private:
    DatoraDatabase& handle_;
};

// A buffer the library writes a NUL-terminated text into.
template <int Size> struct TextBuffer {
    std::array<char, Size> chars{};
    char* data() { return chars.data(); }
    std::string text() const {
        const auto end = std::find(chars.begin(), chars.end(), '\0');
        return std::string(chars.begin(), end);
    }
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

DatoraDatabase OpenCoordSysDatabase(const std::string& databaseFile) {
    const DatoraDatabase database = Datora_DBConnect(databaseFile.c_str());
    if (database == 0)
        return 0;
    if (Datora_DBOpen(database, 1) == 0) {
        Datora_DBDisconnect(database);
        return 0;
    }
    return database;
}

void CloseCoordSysDatabase(DatoraDatabase& handle) {
    if (handle != 0) {
        Datora_DBClose(handle);
        Datora_DBDisconnect(handle);
    }
    handle = 0;
}

CoordSysPickers::CoordSysPickers(PickerList& groups, PickerList& systems, PickerList& datums,
                                 std::string databaseFile, DatoraDatabase& databaseHandle)
    : groups_(groups), systems_(systems), datums_(datums), databaseFile_(std::move(databaseFile)),
      databaseHandle_(databaseHandle) {}

void CoordSysPickers::resetToAny(PickerList& list) {
    list.clear();
    list.addText(std::string(kAnyItemText));
    list.selectIndex(0);
}

bool CoordSysPickers::FillSystemGroups() {
    const FillSession session(databaseFile_, databaseHandle_);
    if (!session.isOpen())
        return false;

    groups_.addText(std::string(kAnyItemText));
    groups_.selectIndex(0);
    for (DatoraObject object = Datora_DBFirstCoordSysGroup(databaseHandle_); object != 0;
         object = Datora_DBNextCoordSysGroup(databaseHandle_)) {
        const DatoraObjectOwner group(object);
        TextBuffer<kNameBufferSize> name;
        Datora_ObjectGetName(group.get(), name.data(), kNameBufferSize);
        groups_.addText(name.text());
    }
    systems_.addText(std::string(kAnyItemText));
    systems_.selectIndex(0);
    datums_.addText(std::string(kAnyItemText));
    datums_.selectIndex(0);
    return true;
}

bool CoordSysPickers::FillSystems(const std::string& groupName) {
    const FillSession session(databaseFile_, databaseHandle_);
    if (!session.isOpen())
        return false;

    const DatoraObjectOwner group(session.readGroup(groupName));
    if (!group)
        return false;
    TextBuffer<kNameBufferSize> name;
    if (Datora_DBFirstCoordSysString(databaseHandle_, group.get(), name.data(), kNameBufferSize,
                                     0) == 0)
        return false;
    do {
        systems_.addText(name.text());
        name = {};
    } while (Datora_DBNextCoordSysString(databaseHandle_, name.data(), kNameBufferSize, 0) != 0);
    return true;
}

bool CoordSysPickers::FillDatums(const std::string& groupName, const std::string& systemName) {
    const FillSession session(databaseFile_, databaseHandle_);
    if (!session.isOpen())
        return false;

    const DatoraObjectOwner group(session.readGroup(groupName));
    if (!group)
        return false;
    const DatoraObjectOwner system(
        Datora_CoordSysRead2(databaseHandle_, group.get(), systemName.c_str(), 0));
    if (!system)
        return false;
    const DatoraObjectOwner datum(Datora_CoordSysGetDatum(system.get()));
    if (!datum)
        return false;

    TextBuffer<kKeyBufferSize> ownKey;
    Datora_ObjectGetKey(datum.get(), ownKey.data(), kKeyBufferSize);
    const std::string systemDatumKey = ownKey.text();

    TextBuffer<kKeyBufferSize> key;
    for (int more = Datora_DBFirstDatumString(databaseHandle_, key.data(), kKeyBufferSize, 0);
         more != 0;
         more = Datora_DBNextDatumString(databaseHandle_, key.data(), kKeyBufferSize, 0)) {
        const std::string text = key.text();
        if (Datora_CoordSysGroupDatumKeyValid(group.get(), text.c_str()) != 0 ||
            text == systemDatumKey)
            datums_.addText(text);
        key = {};
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
    DatoraDatabase handle = 0;
    CoordSysPickers pickers(groups, systems, datums, databaseFile, handle);

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
