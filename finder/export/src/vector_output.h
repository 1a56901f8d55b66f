#pragma once
// A vector file written through GDAL in the format its name's extension
// names: one layer in longitude/latitude on WGS 84, named after the file,
// with text fields, its features added in one transaction where the format
// has them. Failures read "Cannot write PATH: " and GDAL's message.
#include <strand32/gdal_support.h>

#include <string>
#include <vector>

namespace finder {

// The first driver that creates vector data sets and lists the name's
// extension (letter case ignored, ".shp.zip" as well as ".shp"); null when
// none does.
GDALDriverH vectorDriverFor(const std::string& path);

class VectorOutput {
public:
    // Replaces `path` with a new layer of `geometryType` and `fields`;
    // error() says why when there is none (no format, or it cannot be made).
    VectorOutput(const std::string& path, const std::vector<const char*>& fields,
                 OGRwkbGeometryType geometryType);
    // Closes the file if finish() did not, and lets GDAL speak again.
    ~VectorOutput();
    VectorOutput(const VectorOutput&) = delete;
    VectorOutput& operator=(const VectorOutput&) = delete;

    // False (error() says why) when the feature could not be written, or
    // nothing can be written any more. `values` in the order of the fields.
    bool add(strand32::GeometryPtr geometry, const std::vector<std::string>& values);
    // Commits and closes the file; the first failure, empty when none.
    const std::string& finish();
    const std::string& error() const { return error_; }

private:
    void fail(const char* fallback);

    std::string path_;
    strand32::DatasetPtr dataset_;
    OGRLayerH layer_ = nullptr;
    bool transaction_ = false;
    std::string error_;
};

} // namespace finder
