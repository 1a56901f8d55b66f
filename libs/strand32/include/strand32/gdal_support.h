#pragma once
// Owners for GDAL/OGR handles and the settings every open runs under, for
// the layer library and for the programs that write GDAL files beside it.
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

// GDAL's C handles are all void pointers; each kind has its own release.
template <auto Release> struct HandleRelease {
    void operator()(void* h) const { Release(h); }
};
using DatasetPtr = std::unique_ptr<void, HandleRelease<GDALClose>>;
using FeaturePtr = std::unique_ptr<void, HandleRelease<OGR_F_Destroy>>;
using GeometryPtr = std::unique_ptr<void, HandleRelease<OGR_G_DestroyGeometry>>;
using SrsPtr = std::unique_ptr<void, HandleRelease<OSRRelease>>;
using TransformPtr = std::unique_ptr<void, HandleRelease<OCTDestroyCoordinateTransformation>>;
using CplString = std::unique_ptr<char, HandleRelease<VSIFree>>;

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
