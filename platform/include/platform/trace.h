#pragma once
// Debugger output: one line per call. Written to standard error when
// KAVREL_TRACE is set, dropped otherwise; tests install a capturing sink.
#include <functional>
#include <string_view>

namespace platform {

void debugTrace(std::string_view text);

using TraceSink = std::function<void(std::string_view)>;
// Replaces the sink for the whole process; an empty sink restores the default.
void setTraceSink(TraceSink sink);

} // namespace platform
