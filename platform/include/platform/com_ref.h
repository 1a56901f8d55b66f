#pragma once
// References on COM objects: a holder that gives its reference up when it
// goes, and the common part of handing an interface out. Shared by every
// COM object and caller of ours.
#include "platform/com.h"

#include <utility>

namespace platform {

template <typename T> class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller already holds.
    explicit ComRef(T* object) : object_(object) {}
    ~ComRef() { reset(); }
    ComRef(ComRef&& o) noexcept : object_(std::exchange(o.object_, nullptr)) {}
    ComRef& operator=(ComRef&& o) noexcept {
        if (this != &o)
            reset(std::exchange(o.object_, nullptr));
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For functions that hand out a new reference through a T**.
    T** put() {
        reset();
        return &object_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    // Gives the reference up without releasing it (it was released elsewhere).
    T* detach() { return std::exchange(object_, nullptr); }
    void reset(T* object = nullptr) {
        if (object_ != nullptr)
            object_->Release();
        object_ = object;
    }

private:
    T* object_ = nullptr;
};

// The common part of QueryInterface: `self` handed out with a reference added
// for IUnknown or `iid`; else null and E_NOINTERFACE.
template <typename I> HRESULT handOutInterface(I* self, REFIID riid, REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (riid != IID_IUnknown && riid != iid) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = self;
    self->AddRef();
    return S_OK;
}

} // namespace platform
