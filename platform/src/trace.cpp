#include "platform/trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

TraceSink& installedSink() {
    static TraceSink sink;
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
    std::lock_guard lock(sinkMutex());
    if (installedSink())
        installedSink()(text);
    else
        defaultSink(text);
}

void setTraceSink(TraceSink sink) {
    std::lock_guard lock(sinkMutex());
    installedSink() = std::move(sink);
}

} // namespace platform
