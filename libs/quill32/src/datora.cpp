// The Datora_* C functions: database handles, object handles and the
// latitude/longitude texts. Nothing thrown inside crosses this boundary;
// failures become return values, with a reason kept for Datora_LastErrorText.
#include "quill32/datora.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "handle_table.h"
#include "platform/c_boundary.h"
#include "quill32/latlon.h"

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

// The open database of a connection; nothing when unknown or closed.
std::optional<CoordSysDatabase> openDatabase(DatoraDatabase handle) {
    std::optional<CoordSysDatabase> database;
    HandleTable::instance().withConnection(handle, [&](Connection& c) { database = c.database; });
    return database;
}

DatoraObject newObject(ObjectRef object) {
    return HandleTable::instance().addObject(std::move(object));
}

// The object of a handle when it is of kind T.
template <class T> std::optional<T> objectOf(DatoraObject handle) {
    const std::optional<ObjectRef> object = HandleTable::instance().object(handle);
    if (!object || !std::holds_alternative<T>(*object))
        return std::nullopt;
    return std::get<T>(*object);
}

// Writes `text`, or clears the buffer and answers 0 when there is none.
int writeText(const std::optional<std::string>& text, char* buffer, int size) {
    if (!text || text->empty() || !platform::copyToBuffer(*text, buffer, size)) {
        clearOut(buffer, size);
        return 0;
    }
    return 1;
}

// Writes the next system name of the connection's current group.
int nextSystemString(DatoraDatabase db, char* buffer, int size) {
    std::optional<std::string> name;
    HandleTable::instance().withConnection(db, [&](Connection& c) {
        if (c.systemGroup && c.nextSystem < c.systemGroup->systemCount())
            name = c.systemGroup->system(c.nextSystem++).name();
    });
    return writeText(name, buffer, size);
}

int nextDatumString(DatoraDatabase db, char* buffer, int size, bool first) {
    std::optional<std::string> key;
    HandleTable::instance().withConnection(db, [&](Connection& c) {
        if (first)
            c.nextDatum = 0;
        if (c.database && c.nextDatum < c.database->datumCount())
            key = c.database->datum(c.nextDatum++).key();
    });
    return writeText(key, buffer, size);
}

DatoraObject nextGroup(DatoraDatabase db, bool first) {
    std::optional<CoordSysGroup> group;
    HandleTable::instance().withConnection(db, [&](Connection& c) {
        if (first)
            c.nextGroup = 0;
        if (c.database && c.nextGroup < c.database->groupCount())
            group = c.database->group(c.nextGroup++);
    });
    return group ? newObject(std::move(*group)) : 0;
}

// Key or display name of an object.
int objectText(DatoraObject object, char* buffer, int size, bool key) {
    const std::optional<ObjectRef> ref = HandleTable::instance().object(object);
    if (!ref) {
        clearOut(buffer, size);
        return 0;
    }
    const std::string& text = std::visit(
        [key](const auto& o) -> const std::string& { return key ? o.key() : o.name(); }, *ref);
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
        Connection connection;
        connection.path = databaseFile;
        return HandleTable::instance().addConnection(std::move(connection));
    });
}

int Datora_DBOpen(DatoraDatabase db, int /*mode: read-only either way*/) {
    return Boundary::run(0, [&] {
        std::string path;
        if (!HandleTable::instance().withConnection(db, [&](Connection& c) { path = c.path; }))
            return Boundary::fail(0, "no database " + std::to_string(db));
        std::string error;
        auto database = CoordSysDatabase::open(path, &error);
        if (!database)
            return Boundary::fail(0, "cannot read '" + path + "': " + error);
        return HandleTable::instance().withConnection(db,
                                                      [&](Connection& c) {
                                                          c.database = std::move(database);
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
            wasOpen = c.database.has_value();
            c.database.reset();
            c.systemGroup.reset();
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
        const auto database = openDatabase(db);
        if (!database || groupName == nullptr)
            return 0;
        auto group = database->findGroup(groupName);
        return group ? newObject(std::move(*group)) : 0;
    });
}

int Datora_CoordSysGroupDatumKeyValid(DatoraObject group, const char* datumKey) {
    return Boundary::run(0, [&] {
        const auto g = objectOf<CoordSysGroup>(group);
        return datumKey != nullptr && g && g->datumKeyValid(datumKey) ? 1 : 0;
    });
}

int Datora_DBFirstCoordSysString(DatoraDatabase db, DatoraObject group, char* buffer, int size,
                                 int) {
    return Boundary::run(0, [&] {
        const auto g = objectOf<CoordSysGroup>(group);
        const bool known = HandleTable::instance().withConnection(db, [&](Connection& c) {
            c.systemGroup = g && c.database ? g : std::nullopt;
            c.nextSystem = 0;
        });
        if (!known || !g) {
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
        const auto g = objectOf<CoordSysGroup>(group);
        if (systemName == nullptr || !openDatabase(db) || !g)
            return 0;
        auto system = g->findSystem(systemName);
        return system ? newObject(std::move(*system)) : 0;
    });
}

DatoraObject Datora_CoordSysGetDatum(DatoraObject system) {
    return Boundary::run(DatoraObject{0}, [&]() -> DatoraObject {
        const auto s = objectOf<CoordSys>(system);
        return s ? newObject(s->datum()) : 0;
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
        const auto database = openDatabase(db);
        if (!database || datumName == nullptr)
            return 0;
        auto datum = database->findDatum(datumName);
        return datum ? newObject(std::move(*datum)) : 0;
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
