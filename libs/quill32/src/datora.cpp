// Interim bodies: every call reports failure until the database reader lands.
#include "quill32/datora.h"

#include <cstring>

#include "quill32/identify.h"

extern "C" {
DatoraDatabase Datora_DBConnect(const char*) {
    return 0;
}
int Datora_DBOpen(DatoraDatabase, int) {
    return 0;
}
int Datora_DBClose(DatoraDatabase) {
    return 0;
}
int Datora_DBDisconnect(DatoraDatabase) {
    return 0;
}
DatoraObject Datora_DBFirstCoordSysGroup(DatoraDatabase) {
    return 0;
}
DatoraObject Datora_DBNextCoordSysGroup(DatoraDatabase) {
    return 0;
}
DatoraObject Datora_CoordSysGroupRead(DatoraDatabase, const char*, int) {
    return 0;
}
int Datora_CoordSysGroupDatumKeyValid(DatoraObject, const char*) {
    return 0;
}
int Datora_DBFirstCoordSysString(DatoraDatabase, DatoraObject, char*, int, int) {
    return 0;
}
int Datora_DBNextCoordSysString(DatoraDatabase, char*, int, int) {
    return 0;
}
DatoraObject Datora_CoordSysRead2(DatoraDatabase, DatoraObject, const char*, int) {
    return 0;
}
DatoraObject Datora_CoordSysGetDatum(DatoraObject) {
    return 0;
}
int Datora_DBFirstDatumString(DatoraDatabase, char*, int, int) {
    return 0;
}
int Datora_DBNextDatumString(DatoraDatabase, char*, int, int) {
    return 0;
}
DatoraObject Datora_DatumRead(DatoraDatabase, const char*, int) {
    return 0;
}
int Datora_ObjectGetName(DatoraObject, char*, int) {
    return 0;
}
int Datora_ObjectGetKey(DatoraObject, char*, int) {
    return 0;
}
int Datora_ObjectRelease(DatoraObject) {
    return 0;
}
int16_t Datora_LLStringToDbl(const char*, double*, int16_t, int16_t*, int) {
    return 8;
}
int Datora_LatToString(double, int, char*, int) {
    return 0;
}
int Datora_LonToString(double, int, char*, int) {
    return 0;
}
void Datora_LibraryInfo(DatoraLibraryInfo* record) {
    if (record != nullptr)
        std::memset(record, 0, sizeof *record);
}
}

namespace quill32 {
bool identifyCoordSys(std::string_view, CoordSysKeys&) {
    return false;
}
} // namespace quill32
