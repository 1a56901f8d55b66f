// The C boundary of the map-view library: nothing thrown passes it.
#include "strand32/mapora.h"

extern "C" {

std::int32_t Mapora_Init(const char*) {
    return -1;
}
void Mapora_Shutdown(void) {}
MaporaMap Mapora_MapCreate(const char*, void*, const MaporaRect*, std::int32_t, void*,
                           const CoordSysKeys*) {
    return 0;
}
std::int32_t Mapora_LayerConnect(MaporaMap, std::uint16_t, std::int32_t, const char*, const char*,
                                 const char*, const char*, const char*, std::int32_t,
                                 const CoordSysKeys*) {
    return -1;
}
std::int32_t Mapora_MapGetProperties(MaporaMap, MapProperties*) {
    return 0;
}
std::int32_t Mapora_MapSetProperties(MaporaMap, const MapProperties*) {
    return 0;
}
std::int32_t Mapora_LayerSetVisible(MaporaMap, std::int32_t, std::int32_t) {
    return 0;
}
std::int32_t Mapora_MapRedraw(MaporaMap, std::int32_t) {
    return 0;
}
std::int32_t Mapora_MapSetCursor(MaporaMap, std::int32_t) {
    return 0;
}
std::int32_t Mapora_MapSize(MaporaMap, const MaporaRect*) {
    return 0;
}
std::int32_t Mapora_MapConvertCoordinates(MaporaMap, const MaporaPoint*, MaporaPoint*,
                                          std::int32_t) {
    return 0;
}
std::int32_t Mapora_MapGetViewCenter(MaporaMap, MaporaPoint*) {
    return 0;
}
std::int32_t Mapora_MapSetViewCenter(MaporaMap, const MaporaPoint*) {
    return 0;
}
std::int32_t Mapora_MapGetViewScale(MaporaMap, double*) {
    return 0;
}
std::int32_t Mapora_MapSetViewScale(MaporaMap, double) {
    return 0;
}
std::int32_t Mapora_MapGetViewArea(MaporaMap, MaporaExtent*) {
    return 0;
}
std::int32_t Mapora_MapClose(MaporaMap) {
    return 0;
}
std::int32_t Mapora_LayerExtent(const LayerDescriptor*, MaporaExtent*) {
    return 0;
}
std::int32_t Mapora_LayerCoordSys(const LayerDescriptor*, CoordSysKeys*, char*, std::int32_t) {
    return 0;
}
std::int32_t Mapora_LayerObjectCount(const LayerDescriptor*, MaporaObjectCounts*) {
    return 0;
}

} // extern "C"
