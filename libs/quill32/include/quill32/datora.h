#pragma once
// C interface of the coordinate-system library: the database of groups,
// coordinate systems and datums ("datora.dat") and the latitude/longitude
// text conversions. Handles are 32-bit values, 0 meaning none; every object
// handle a read gives out must be passed to Datora_ObjectRelease once.
// No exception ever leaves these functions; failures are return values, and
// Datora_LastErrorText tells why the last one failed.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t DatoraDatabase; // an open (or connected) database, 0 = none
typedef uint32_t DatoraObject;   // a group, coordinate system or datum, 0 = none

// Record the library fills for the property-page server at start-up.
typedef struct DatoraLibraryInfo {
    uint32_t size;       // bytes of this record (184)
    uint32_t version;    // library version, major << 16 | minor
    uint32_t groupCount; // filled by Datora_LibraryInfo when a database was read, else 0
    uint32_t reserved;
    char name[168]; // "quill32 <version>"
} DatoraLibraryInfo;

// --- Database lifecycle: Connect, Open, reads, Close, Disconnect ----------
// Connect remembers the path of datora.dat; 0 when the path is empty or
// cannot be read. Open loads and validates the file (mode 1 = read only);
// 0 when the file is missing, truncated or damaged.
DatoraDatabase Datora_DBConnect(const char* databaseFile);
int Datora_DBOpen(DatoraDatabase db, int mode);
int Datora_DBClose(DatoraDatabase db);
int Datora_DBDisconnect(DatoraDatabase db);

// --- Groups --------------------------------------------------------------
// Enumeration of the groups in database order; each call gives a new object.
DatoraObject Datora_DBFirstCoordSysGroup(DatoraDatabase db);
DatoraObject Datora_DBNextCoordSysGroup(DatoraDatabase db);
// By display name (as Datora_ObjectGetName gives it) or by key.
DatoraObject Datora_CoordSysGroupRead(DatoraDatabase db, const char* groupName, int reserved);
// Nonzero when the datum key may be used with the group.
int Datora_CoordSysGroupDatumKeyValid(DatoraObject group, const char* datumKey);

// --- Coordinate systems --------------------------------------------------
// Write the next system display name of the group into buffer (cut to
// size - 1 characters); nonzero while one was written.
int Datora_DBFirstCoordSysString(DatoraDatabase db, DatoraObject group, char* buffer, int size,
                                 int reserved);
int Datora_DBNextCoordSysString(DatoraDatabase db, char* buffer, int size, int reserved);
// A system of the group by display name or key.
DatoraObject Datora_CoordSysRead2(DatoraDatabase db, DatoraObject group, const char* systemName,
                                  int reserved);
// The system's own datum.
DatoraObject Datora_CoordSysGetDatum(DatoraObject system);

// --- Datums ----------------------------------------------------------------
// Write the next datum key of the whole database; nonzero while one was written.
int Datora_DBFirstDatumString(DatoraDatabase db, char* buffer, int size, int reserved);
int Datora_DBNextDatumString(DatoraDatabase db, char* buffer, int size, int reserved);
// A datum by key or display name.
DatoraObject Datora_DatumRead(DatoraDatabase db, const char* datumName, int reserved);

// --- Objects ---------------------------------------------------------------
// Display name / key of any object, cut to size - 1 characters; nonzero on
// success, 0 (and an empty buffer when size > 0) for an unknown handle.
int Datora_ObjectGetName(DatoraObject object, char* buffer, int size);
int Datora_ObjectGetKey(DatoraObject object, char* buffer, int size);
// Nonzero when the handle was live; releasing twice is a harmless failure.
int Datora_ObjectRelease(DatoraObject object);

// --- Latitude / longitude text ---------------------------------------------
// Parse a latitude (isLongitude 0) or longitude (1) text: signed decimal
// degrees, hemisphere letter N/S/E/W before or after, degrees minutes seconds
// separated by blanks or degree/minute/second marks. mode 1 checks typed
// input, mode 0 converts. *value holds decimal degrees when the status is 0.
// Statuses: 0 valid; 6 nothing to read (blank text, a lone sign or point):
// valid, no value; 7 degrees beyond 90 / 180; 8 malformed; 9 out of range
// with a hemisphere letter; 10 degrees in range but the value with its
// minutes and seconds beyond the bound; 11 minutes not below 60; 12 seconds
// not below 60. *detail receives the position of the fault.
int16_t Datora_LLStringToDbl(const char* text, double* value, int16_t isLongitude, int16_t* detail,
                             int mode);
// Write a latitude / longitude as display text, e.g. "45°30'15.000\"N"
// (degree sign in UTF-8), which Datora_LLStringToDbl reads back within
// 1.4e-7 degrees. format -1 is the default style, 0 signed decimal
// degrees. Nonzero when written. The property pages call them as
// ordinals 127 (latitude) and 128 (longitude).
int Datora_LatToString(double latitude, int format, char* buffer, int size);
int Datora_LonToString(double longitude, int format, char* buffer, int size);

// Ordinal 125. Fill the start-up record of the property-page server.
void Datora_LibraryInfo(DatoraLibraryInfo* record);

// Why the calling thread's last Datora_* call failed: the text is copied into
// buffer, cut to size - 1 characters; the result is the text's full length,
// 0 when that call succeeded or gave no reason. Every other Datora_* call
// clears the text when it starts.
int Datora_LastErrorText(char* buffer, int size);

#ifdef __cplusplus
} // extern "C"
static_assert(sizeof(DatoraLibraryInfo) == 184);
#endif
