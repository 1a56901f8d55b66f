#pragma once
// The description of a GObject type that has only a class initialiser and
// fixed class and instance sizes, as every type of this module and its tests.
#include <glib-object.h>

namespace nautilushost {

template <typename Class, typename Instance> GTypeInfo plainTypeInfo(GClassInitFunc classInit) {
    return {sizeof(Class), nullptr,          nullptr, classInit, nullptr,
            nullptr,       sizeof(Instance), 0,       nullptr,   nullptr};
}

} // namespace nautilushost
