#pragma once
// Owners for GDAL/OGR handles and the settings every open runs under.
#include <memory>
#include <string>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

namespace strand32 {

// Registers GDAL's drivers once per process.
void ensureGdal();

struct DatasetCloser {
    void operator()(void* h) const { GDALClose(static_cast<GDALDatasetH>(h)); }
};
using DatasetPtr = std::unique_ptr<void, DatasetCloser>;

struct FeatureDestroyer {
    void operator()(void* h) const { OGR_F_Destroy(static_cast<OGRFeatureH>(h)); }
};
using FeaturePtr = std::unique_ptr<void, FeatureDestroyer>;

struct GeometryDestroyer {
    void operator()(void* h) const { OGR_G_DestroyGeometry(static_cast<OGRGeometryH>(h)); }
};
using GeometryPtr = std::unique_ptr<void, GeometryDestroyer>;

struct SrsReleaser {
    void operator()(void* h) const { OSRRelease(static_cast<OGRSpatialReferenceH>(h)); }
};
using SrsPtr = std::unique_ptr<void, SrsReleaser>;

struct TransformDestroyer {
    void operator()(void* h) const {
        OCTDestroyCoordinateTransformation(static_cast<OGRCoordinateTransformationH>(h));
    }
};
using TransformPtr = std::unique_ptr<void, TransformDestroyer>;

struct CplFree {
    void operator()(void* p) const { CPLFree(p); }
};
using CplString = std::unique_ptr<char, CplFree>;

// While alive on this thread: GDAL's messages are dropped (damaged files are
// expected), and opens do not list the whole folder of the file, which
// would make every open in a large folder slow.
class QuietGdalScope {
public:
    QuietGdalScope();
    ~QuietGdalScope();
    QuietGdalScope(const QuietGdalScope&) = delete;
    QuietGdalScope& operator=(const QuietGdalScope&) = delete;

private:
    std::string previousReaddir_;
    bool hadReaddir_ = false;
};

// The WKT2 text of a spatial reference; empty when it cannot be written.
std::string wktOf(OGRSpatialReferenceH srs);

} // namespace strand32
