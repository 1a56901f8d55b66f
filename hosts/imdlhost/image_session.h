#pragma once
// One image read through the plug-in in the order its exports serve:
// initialise, open, bitmap header, then rows band by band; closed (keep, then
// end) when the session ends.
#include "plugin_library.h"

#include <cstdint>
#include <string>
#include <vector>

namespace imdlhost {

struct ImageHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 0;
    std::vector<std::uint32_t> colours; // 0xRRGGBB, palette order
};

class ImageSession {
public:
    // The session hands `procs` (the host's own file procedures by default)
    // to the plug-in; they must outlive it.
    explicit ImageSession(const PluginExports& exports,
                          const rastrel::HostFileProcs* procs = nullptr);
    ~ImageSession();
    ImageSession(const ImageSession&) = delete;
    ImageSession& operator=(const ImageSession&) = delete;

    // IMDLinit_image and IMDLopen; false with failure() and status() set.
    bool open(const std::string& path);
    // IMDLset_row then IMDLread_rows into `buffer` (rows x bytesPerRow bytes),
    // as the plug-in delivers them: bottom-up.
    bool readRows(std::int32_t row, std::int32_t rows, std::int32_t bytesPerRow,
                  std::int32_t firstColumn, std::uint8_t* buffer);
    // IMDLbuildDIBhead, with the block read back.
    bool readHeader(ImageHeader& header);
    // Every row, top row first, read in bands of `band` rows.
    bool readIndices(const ImageHeader& header, std::int32_t band, std::vector<std::uint8_t>& out);

    // Which export failed and with what status.
    const std::string& failure() const { return failure_; }
    std::int32_t status() const { return status_; }
    std::uintptr_t handle() const { return image_; }

private:
    bool check(std::int32_t status, const char* what);

    const PluginExports& exports_;
    const rastrel::HostFileProcs* procs_;
    std::string path_; // the plug-in keeps a pointer to it until the handle ends
    std::uintptr_t image_ = 0;
    std::string failure_;
    std::int32_t status_ = rastrel::kOk;
};

} // namespace imdlhost
