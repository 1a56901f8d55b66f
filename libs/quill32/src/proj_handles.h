#pragma once
// Owners for PROJ handles: one context per thread, and move-only owners of
// PJ objects created in that context.
#include <memory>
#include <proj.h>
#include <string>
#include <string_view>

namespace quill32 {

// The calling thread's PROJ context (created on first use, destroyed with the thread).
PJ_CONTEXT* threadContext();

struct PjDestroy {
    void operator()(PJ* pj) const { proj_destroy(pj); }
};
using PjPtr = std::unique_ptr<PJ, PjDestroy>;

struct PjListDestroy {
    void operator()(PJ_OBJ_LIST* list) const { proj_list_destroy(list); }
};
using PjListPtr = std::unique_ptr<PJ_OBJ_LIST, PjListDestroy>;

struct IntListDestroy {
    void operator()(int* list) const { proj_int_list_destroy(list); }
};
using IntListPtr = std::unique_ptr<int, IntListDestroy>;

// A CRS from WKT, PROJJSON, a PROJ string or "AUTHORITY:CODE"; with
// horizontal, the horizontal part of a bound or compound CRS. nullptr when
// the text is none of these or not a CRS.
PjPtr createCrs(PJ_CONTEXT* ctx, std::string_view definition, bool horizontal);

// Path of PROJ's database (proj.db) as PROJ finds it.
std::string projDatabasePath();

} // namespace quill32
