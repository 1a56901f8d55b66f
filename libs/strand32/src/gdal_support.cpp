// GDAL set-up shared by the layer functions and the map.
#include "gdal_support.h"

#include <cpl_conv.h>
#include <mutex>

#include "regular_files.h"

namespace strand32 {
namespace {
constexpr char kReaddirOption[] = "GDAL_DISABLE_READDIR_ON_OPEN";
}

void ensureGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        GDALAllRegister();
        installRegularFiles();
    });
}

QuietGdalScope::QuietGdalScope() {
    CPLPushErrorHandler(CPLQuietErrorHandler);
    if (const char* old = CPLGetThreadLocalConfigOption(kReaddirOption, nullptr)) {
        previousReaddir_ = old;
        hadReaddir_ = true;
    }
    CPLSetThreadLocalConfigOption(kReaddirOption, "YES");
}

QuietGdalScope::~QuietGdalScope() {
    CPLSetThreadLocalConfigOption(kReaddirOption, hadReaddir_ ? previousReaddir_.c_str() : nullptr);
    CPLPopErrorHandler();
    CPLErrorReset();
}

std::string wktOf(OGRSpatialReferenceH srs) {
    if (srs == nullptr)
        return {};
    char* raw = nullptr;
    const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
    if (OSRExportToWktEx(srs, &raw, options) != OGRERR_NONE) {
        CPLFree(raw);
        raw = nullptr;
        if (OSRExportToWkt(srs, &raw) != OGRERR_NONE) {
            CPLFree(raw);
            return {};
        }
    }
    CplString owned(raw);
    return owned ? std::string(owned.get()) : std::string();
}

} // namespace strand32
