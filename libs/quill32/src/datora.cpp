// The Datora_* C functions: database handles, object handles and the
// latitude/longitude texts. Nothing thrown inside crosses this boundary;
// failures become return values, with a reason kept for Datora_LastErrorText.
#include "quill32/datora.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "handle_table.h"
#include "latlon.h"
#include "platform/c_boundary.h"

namespace quill32 {
namespace {

std::string& lastErrorText() noexcept {
    thread_local std::string text;
    return text;
}
using Boundary = platform::CBoundary<&lastErrorText>;

void clearOut(char* buffer, int size) {
    if (buffer != nullptr && size > 0)
        buffer[0] = '\0';
}

// The contents of a file, shared by every open of the same unchanged file:
// the pickers open and close the database around each fill. Null, with the
// reason in `error`, when the file cannot be read.
std::shared_ptr<const Database> loadDatabase(const std::string& path, std::string& error) {
    static std::mutex mutex;
    static std::string cachedPath;
    static std::uintmax_t cachedSize = 0;
    static std::filesystem::file_time_type cachedTime;
    static std::shared_ptr<const Database> cached;

    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::filesystem::file_time_type time;
    if (!ec)
        time = std::filesystem::last_write_time(path, ec);
    if (ec) {
        error = ec.message();
        return nullptr;
    }
    {
        std::lock_guard lock(mutex);
        if (cached && cachedPath == path && cachedSize == size && cachedTime == time)
            return cached;
    }
    auto db = std::make_shared<Database>();
    if (!db->read(path, error))
        return nullptr;
    std::lock_guard lock(mutex);
    cachedPath = path;
    cachedSize = size;
    cachedTime = time;
    cached = db;
    return db;
}

std::shared_ptr<const Database> openData(DatoraDatabase handle) {
    std::shared_ptr<const Database> data;
    HandleTable::instance().withConnection(handle, [&](Connection& c) { data = c.data; });
    return data;
}

DatoraObject newObject(std::shared_ptr<const Database> data, ObjectKind kind, int group,
                       int index) {
    return HandleTable::instance().addObject({std::move(data), kind, group, index});
}

// Writes the next system name of the connection's current group.
int nextSystemString(DatoraDatabase db, char* buffer, int size) {
    std::string name;
    const bool found = HandleTable::instance().withConnection(db, [&](Connection& c) {
        if (!c.systemData || c.systemGroup < 0)
            return;
        const auto& systems = c.systemData->groups[c.systemGroup].systems;
        if (c.nextSystem < static_cast<int>(systems.size()))
            name = systems[c.nextSystem++].name;
    });
    if (!found || name.empty() || !platform::copyToBuffer(name, buffer, size)) {
        clearOut(buffer, size);
        return 0;
    }
    return 1;
}

int nextDatumString(DatoraDatabase db, char* buffer, int size, bool first) {
    std::string key;
    HandleTable::instance().withConnection(db, [&](Connection& c) {
        if (first)
            c.nextDatum = 0;
        if (c.data && c.nextDatum < static_cast<int>(c.data->datums.size()))
            key = c.data->datums[c.nextDatum++].key;
    });
    if (key.empty() || !platform::copyToBuffer(key, buffer, size)) {
        clearOut(buffer, size);
        return 0;
    }
    return 1;
}

DatoraObject nextGroup(DatoraDatabase db, bool first) {
    std::shared_ptr<const Database> data;
    int index = -1;
    HandleTable::instance().withConnection(db, [&](Connection& c) {
        if (first)
            c.nextGroup = 0;
        if (c.data && c.nextGroup < static_cast<int>(c.data->groups.size())) {
            data = c.data;
            index = c.nextGroup++;
        }
    });
    return data ? newObject(std::move(data), ObjectKind::Group, index, index) : 0;
}

// Key or display name of an object.
int objectText(DatoraObject object, char* buffer, int size, bool key) {
    ObjectRef ref;
    if (!HandleTable::instance().object(object, ref)) {
        clearOut(buffer, size);
        return 0;
    }
    const Database& d = *ref.data;
    std::string_view text;
    switch (ref.kind) {
    case ObjectKind::Group:
        text = key ? d.groups[ref.group].key : d.groups[ref.group].name;
        break;
    case ObjectKind::System: {
        const auto& s = d.groups[ref.group].systems[ref.index];
        text = key ? s.key : s.name;
        break;
    }
    case ObjectKind::Datum:
        text = key ? d.datums[ref.index].key : d.datums[ref.index].name;
        break;
    }
    return platform::copyToBuffer(text, buffer, size) ? 1 : 0;
}

} // namespace
} // namespace quill32

using namespace quill32;

extern "C" {

DatoraDatabase Datora_DBConnect(const char* databaseFile) {
    return Boundary::run(DatoraDatabase{0}, [&]() -> DatoraDatabase {
        if (databaseFile == nullptr || *databaseFile == '\0')
            return Boundary::fail(0u, "no database file named");
        std::error_code ec;
        if (!std::filesystem::is_regular_file(databaseFile, ec))
            return Boundary::fail(0u, std::string("'") + databaseFile + "' is not a readable file");
        return HandleTable::instance().addConnection({databaseFile, nullptr, 0, nullptr, -1, 0, 0});
    });
}

int Datora_DBOpen(DatoraDatabase db, int /*mode: read-only either way*/) {
    return Boundary::run(0, [&] {
        std::string path;
        if (!HandleTable::instance().withConnection(db, [&](Connection& c) { path = c.path; }))
            return Boundary::fail(0, "no database " + std::to_string(db));
        std::string error;
        auto data = loadDatabase(path, error);
        if (!data)
            return Boundary::fail(0, "cannot read '" + path + "': " + error);
        return HandleTable::instance().withConnection(db,
                                                      [&](Connection& c) {
                                                          c.data = std::move(data);
                                                          c.nextGroup = c.nextDatum = c.nextSystem =
                                                              0;
                                                      })
                   ? 1
                   : 0;
    });
}

int Datora_DBClose(DatoraDatabase db) {
    return Boundary::run(0, [&] {
        bool wasOpen = false;
        const bool known = HandleTable::instance().withConnection(db, [&](Connection& c) {
            wasOpen = c.data != nullptr;
            c.data.reset();
            c.systemData.reset();
            c.systemGroup = -1;
        });
        return known && wasOpen ? 1 : 0;
    });
}

int Datora_DBDisconnect(DatoraDatabase db) {
    return Boundary::run(0, [&] { return HandleTable::instance().removeConnection(db) ? 1 : 0; });
}

DatoraObject Datora_DBFirstCoordSysGroup(DatoraDatabase db) {
    return Boundary::run(DatoraObject{0}, [&] { return nextGroup(db, true); });
}

DatoraObject Datora_DBNextCoordSysGroup(DatoraDatabase db) {
    return Boundary::run(DatoraObject{0}, [&] { return nextGroup(db, false); });
}

DatoraObject Datora_CoordSysGroupRead(DatoraDatabase db, const char* groupName, int) {
    return Boundary::run(DatoraObject{0}, [&]() -> DatoraObject {
        auto data = openData(db);
        if (!data || groupName == nullptr)
            return 0;
        const int g = data->findGroup(groupName);
        return g < 0 ? 0 : newObject(std::move(data), ObjectKind::Group, g, g);
    });
}

int Datora_CoordSysGroupDatumKeyValid(DatoraObject group, const char* datumKey) {
    return Boundary::run(0, [&] {
        ObjectRef ref;
        if (datumKey == nullptr || !HandleTable::instance().object(group, ref) ||
            ref.kind != ObjectKind::Group)
            return 0;
        const int d = ref.data->findDatum(datumKey);
        return d >= 0 && ref.data->datums[d].key == datumKey &&
                       ref.data->datumValidForGroup(ref.group, static_cast<std::uint32_t>(d))
                   ? 1
                   : 0;
    });
}

int Datora_DBFirstCoordSysString(DatoraDatabase db, DatoraObject group, char* buffer, int size,
                                 int) {
    return Boundary::run(0, [&] {
        ObjectRef ref;
        const bool isGroup =
            HandleTable::instance().object(group, ref) && ref.kind == ObjectKind::Group;
        const bool known = HandleTable::instance().withConnection(db, [&](Connection& c) {
            c.systemData = isGroup && c.data ? ref.data : nullptr;
            c.systemGroup = isGroup && c.data ? ref.group : -1;
            c.nextSystem = 0;
        });
        if (!known || !isGroup) {
            clearOut(buffer, size);
            return 0;
        }
        return nextSystemString(db, buffer, size);
    });
}

int Datora_DBNextCoordSysString(DatoraDatabase db, char* buffer, int size, int) {
    return Boundary::run(0, [&] { return nextSystemString(db, buffer, size); });
}

DatoraObject Datora_CoordSysRead2(DatoraDatabase db, DatoraObject group, const char* systemName,
                                  int) {
    return Boundary::run(DatoraObject{0}, [&]() -> DatoraObject {
        ObjectRef ref;
        if (systemName == nullptr || !openData(db) || !HandleTable::instance().object(group, ref) ||
            ref.kind != ObjectKind::Group)
            return 0;
        const int s = ref.data->findSystem(ref.group, systemName);
        return s < 0 ? 0 : newObject(std::move(ref.data), ObjectKind::System, ref.group, s);
    });
}

DatoraObject Datora_CoordSysGetDatum(DatoraObject system) {
    return Boundary::run(DatoraObject{0}, [&]() -> DatoraObject {
        ObjectRef ref;
        if (!HandleTable::instance().object(system, ref) || ref.kind != ObjectKind::System)
            return 0;
        const int d = static_cast<int>(ref.data->groups[ref.group].systems[ref.index].datum);
        return newObject(std::move(ref.data), ObjectKind::Datum, -1, d);
    });
}

int Datora_DBFirstDatumString(DatoraDatabase db, char* buffer, int size, int) {
    return Boundary::run(0, [&] { return nextDatumString(db, buffer, size, true); });
}

int Datora_DBNextDatumString(DatoraDatabase db, char* buffer, int size, int) {
    return Boundary::run(0, [&] { return nextDatumString(db, buffer, size, false); });
}

DatoraObject Datora_DatumRead(DatoraDatabase db, const char* datumName, int) {
    return Boundary::run(DatoraObject{0}, [&]() -> DatoraObject {
        auto data = openData(db);
        if (!data || datumName == nullptr)
            return 0;
        const int d = data->findDatum(datumName);
        return d < 0 ? 0 : newObject(std::move(data), ObjectKind::Datum, -1, d);
    });
}

int Datora_ObjectGetName(DatoraObject object, char* buffer, int size) {
    return Boundary::run(0, [&] { return objectText(object, buffer, size, false); });
}

int Datora_ObjectGetKey(DatoraObject object, char* buffer, int size) {
    return Boundary::run(0, [&] { return objectText(object, buffer, size, true); });
}

int Datora_ObjectRelease(DatoraObject object) {
    return Boundary::run(0, [&] { return HandleTable::instance().removeObject(object) ? 1 : 0; });
}

int16_t Datora_LLStringToDbl(const char* text, double* value, int16_t isLongitude, int16_t* detail,
                             int mode) {
    return Boundary::run(int16_t{8}, [&]() -> int16_t {
        const auto r = parseLatLon(text ? text : "", isLongitude != 0);
        if (detail != nullptr)
            *detail = static_cast<int16_t>(std::min<std::size_t>(r.position, 0x7FFF));
        // Checking and converting read the text the same way; the value is
        // written only when there is one.
        (void)mode;
        if (value != nullptr && r.status == LatLonStatus::Ok)
            *value = r.degrees;
        return static_cast<int16_t>(r.status);
    });
}

int Datora_LatToString(double latitude, int format, char* buffer, int size) {
    return Boundary::run(0, [&] {
        const auto text = formatLatLon(latitude, false, format);
        return !text.empty() && platform::copyToBuffer(text, buffer, size) ? 1 : 0;
    });
}

int Datora_LonToString(double longitude, int format, char* buffer, int size) {
    return Boundary::run(0, [&] {
        const auto text = formatLatLon(longitude, true, format);
        return !text.empty() && platform::copyToBuffer(text, buffer, size) ? 1 : 0;
    });
}

void Datora_LibraryInfo(DatoraLibraryInfo* record) {
    Boundary::run([&] {
        if (record == nullptr)
            return;
        std::memset(record, 0, sizeof *record);
        record->size = sizeof *record;
        record->version = 1u << 16 | 0u;
        std::snprintf(record->name, sizeof record->name, "quill32 1.0");
    });
}

int Datora_LastErrorText(char* buffer, int size) {
    return Boundary::copyLastError(buffer, size);
}

} // extern "C"
