#pragma once
// A host for tests: loads the plug-in by path, resolves all fifteen exports,
// and supplies file procedures over real files that count their calls.
#include "rastrel/imdl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace adrgtest {

struct Exports {
    decltype(&IMDLget_ver) getVer;
    decltype(&IMDLverify_img) verifyImg;
    decltype(&IMDLinit_image) initImage;
    decltype(&IMDLopen) open;
    decltype(&IMDLbuildDIBhead) buildDibHead;
    decltype(&IMDLset_row) setRow;
    decltype(&IMDLread_rows) readRows;
    decltype(&IMDLimg_name) imgName;
    decltype(&IMDLclose_keep) closeKeep;
    decltype(&IMDLclose_image) closeImage;
    decltype(&IMDLerror_string) errorString;
    decltype(&IMDLset_ext) setExt;
    decltype(&IMDLescape) escape;
    decltype(&IMDLprint) print;
    decltype(&IMDLrender) render;
};

// The plug-in built with the tests, loaded once per process.
const Exports& plugin();
const char* pluginPath();

// IMDLerror_string of the calling thread.
std::string errorText();

// Calls made to the host's file procedures since the last reset.
struct HostCalls {
    int opens = 0;
    int closes = 0;
    int reads = 0;
    int seeks = 0;
    std::vector<std::uintptr_t> closedFiles;
};
HostCalls& hostCalls();
void resetHostCalls();
// When set, the host's open answers 0.
void setOpenFails(bool fails);
const rastrel::HostFileProcs* hostProcs();

// An image read through the exports: initialised, opened, closed at the end.
class OpenImage {
public:
    explicit OpenImage(const std::string& path);
    ~OpenImage();
    OpenImage(const OpenImage&) = delete;
    OpenImage& operator=(const OpenImage&) = delete;

    std::uintptr_t handle() const { return handle_; }
    std::int32_t status() const { return status_; }
    // Rows from `row`, as delivered (bottom-up).
    std::vector<std::uint8_t> read(std::int32_t row, std::int32_t rows, std::int32_t bytesPerRow,
                                   std::int32_t firstColumn = 0);
    // The whole image top row first, read in bands of `band` rows.
    std::vector<std::uint8_t> readAll(std::int32_t width, std::int32_t height, std::int32_t band);

private:
    std::string path_;
    std::uintptr_t handle_ = 0;
    std::int32_t status_ = 0;
};

} // namespace adrgtest
