#include "proj_handles.h"

#include <cctype>

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

// WKT ("KEYWORD["), PROJJSON, a PROJ string or "AUTHORITY:CODE". Anything
// else would make PROJ search its database for an object of that name,
// which is slow and never what a file meant.
bool looksLikeDefinition(std::string_view text) {
    if (text.empty())
        return false;
    if (text[0] == '+' || text[0] == '{' || text.substr(0, 4) == "urn:")
        return true;
    std::size_t i = 0;
    while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
        ++i;
    return i > 0 && i < text.size() && (text[i] == '[' || text[i] == '(' || text[i] == ':');
}

} // namespace

PJ_CONTEXT* threadContext() {
    thread_local ContextOwner owner;
    return owner.ctx;
}

PjPtr createCrs(PJ_CONTEXT* ctx, std::string_view definition, bool horizontal) {
    const auto start = definition.find_first_not_of(" \t\r\n");
    if (ctx == nullptr || start == std::string_view::npos)
        return nullptr;
    definition.remove_prefix(start);
    if (!looksLikeDefinition(definition))
        return nullptr;
    std::string text(definition);
    // A bare PROJ string describes an operation; ask for the CRS it implies.
    if (text[0] == '+' && text.find("+type=crs") == std::string::npos)
        text += " +type=crs";
    PjPtr crs(proj_create(ctx, text.c_str()));
    // For the horizontal part: the source of a bound CRS, the first part of
    // a compound one.
    for (int depth = 0; horizontal && crs && depth < 3; ++depth) {
        const auto type = proj_get_type(crs.get());
        if (type == PJ_TYPE_BOUND_CRS)
            crs.reset(proj_get_source_crs(ctx, crs.get()));
        else if (type == PJ_TYPE_COMPOUND_CRS)
            crs.reset(proj_crs_get_sub_crs(ctx, crs.get(), 0));
        else
            break;
    }
    if (!crs || !proj_is_crs(crs.get()))
        return nullptr;
    return crs;
}

std::string projDatabasePath() {
    const char* path = proj_context_get_database_path(threadContext());
    return path ? path : "";
}

} // namespace quill32
