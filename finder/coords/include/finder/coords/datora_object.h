#pragma once
// Owner of one object handle read from the coordinate-system database: the
// handle is released exactly once, when the owner goes.
#include <quill32/datora.h>

namespace finder {

class DatoraObjectOwner {
public:
    explicit DatoraObjectOwner(DatoraObject object) : object_(object) {}
    ~DatoraObjectOwner() {
        if (object_ != 0)
            Datora_ObjectRelease(object_);
    }
    DatoraObjectOwner(const DatoraObjectOwner&) = delete;
    DatoraObjectOwner& operator=(const DatoraObjectOwner&) = delete;

    DatoraObject get() const { return object_; }
    explicit operator bool() const { return object_ != 0; }

private:
    DatoraObject object_;
};

} // namespace finder
