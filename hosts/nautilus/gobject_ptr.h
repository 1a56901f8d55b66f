#pragma once
// One reference to a GObject, released when the holder goes. Move-only; the
// holder either adopts a reference the caller owns or takes a new one.
#include <glib-object.h>

#include <utility>

namespace nautilushost {

template <typename T> class GObjectPtr {
public:
    GObjectPtr() = default;
    // Takes over the caller's reference (a "transfer full" result).
    static GObjectPtr adopt(T* object) { return GObjectPtr(object); }
    // Takes a reference of its own.
    static GObjectPtr ref(T* object) {
        return GObjectPtr(object ? static_cast<T*>(g_object_ref(object)) : nullptr);
    }
    ~GObjectPtr() { reset(); }
    GObjectPtr(GObjectPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectPtr& operator=(GObjectPtr&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    GObjectPtr(const GObjectPtr&) = delete;
    GObjectPtr& operator=(const GObjectPtr&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Hands the reference to the caller.
    T* release() { return std::exchange(object_, nullptr); }
    void reset() {
        if (object_ != nullptr)
            g_object_unref(std::exchange(object_, nullptr));
    }

private:
    explicit GObjectPtr(T* object) : object_(object) {}
    T* object_ = nullptr;
};

} // namespace nautilushost
