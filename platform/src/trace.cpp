#include "platform/trace.h"

#include "process_hook.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

ProcessHook<TraceSink>& installedSink() {
    static ProcessHook<TraceSink> sink;
    return sink;
}

void defaultSink(std::string_view text) {
    static const bool enabled = std::getenv("KAVREL_TRACE") != nullptr;
    if (!enabled)
        return;
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace

void debugTrace(std::string_view text) {
    if (const TraceSink sink = installedSink().get())
        sink(text);
    else
        defaultSink(text);
}

void setTraceSink(TraceSink sink) {
    installedSink().set(std::move(sink));
}

} // namespace platform
