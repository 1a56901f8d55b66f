#pragma once
// The plug-in as tests drive it: loaded by path through the host's own kit,
// with file procedures that count their calls before passing them on.
#include "image_session.h"
#include "plugin_library.h"

#include <cstdint>
#include <string>
#include <vector>

namespace adrgtest {

// The plug-in built with the tests, loaded once per process.
const imdlhost::PluginExports& plugin();
const char* pluginPath();

// IMDLerror_string of the calling thread.
std::string errorText();

// Calls made to the host's file procedures since the last reset.
struct HostCalls {
    int opens = 0;
    int closes = 0;
    int reads = 0;
    std::vector<std::uintptr_t> closedFiles;
};
HostCalls& hostCalls();
void resetHostCalls();
// When set, the host's open answers 0.
void setOpenFails(bool fails);
const rastrel::HostFileProcs* hostProcs();

// An image session over the counting procedures, opened at construction.
class OpenImage : public imdlhost::ImageSession {
public:
    explicit OpenImage(const std::string& path);
    // Rows from `row`, as delivered (bottom-up); throws when the read fails.
    std::vector<std::uint8_t> read(std::int32_t row, std::int32_t rows, std::int32_t bytesPerRow,
                                   std::int32_t firstColumn = 0);
    // The whole image top row first, read in bands of `band` rows.
    std::vector<std::uint8_t> readAll(std::int32_t width, std::int32_t height, std::int32_t band);
};

} // namespace adrgtest
