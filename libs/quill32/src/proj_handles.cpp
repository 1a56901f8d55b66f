#include "proj_handles.h"

namespace quill32 {

namespace {

struct ContextOwner {
    PJ_CONTEXT* ctx = proj_context_create();
    ContextOwner() {
        if (ctx)
            proj_log_level(ctx, PJ_LOG_NONE);
    }
    ~ContextOwner() {
        if (ctx)
            proj_context_destroy(ctx);
    }
    ContextOwner(const ContextOwner&) = delete;
    ContextOwner& operator=(const ContextOwner&) = delete;
};

} // namespace

PJ_CONTEXT* threadContext() {
    thread_local ContextOwner owner;
    return owner.ctx;
}

std::string projDatabasePath() {
    const char* path = proj_context_get_database_path(threadContext());
    return path ? path : "";
}

} // namespace quill32
