// The drag's source side: the decision to go on, drop or cancel from the
// keys and buttons, and the system's own drag cursors.
#include "drop_source.h"

#include "com_ref.h"

#include <platform/trace.h>

namespace finder {

using namespace platform;

CDropSource::CDropSource() {
    debugTrace("CDropSource::Constructor\r\n");
}

HRESULT CDropSource::QueryInterface(REFIID riid, void** object) {
    debugTrace("CDropSource::QueryInterface\r\n");
    return handOutInterface(static_cast<IDropSource*>(this), riid, IID_IDropSource, object);
}

ULONG CDropSource::AddRef() {
    debugTrace("CDropSource::AddRef\r\n");
    return static_cast<ULONG>(++count_);
}

ULONG CDropSource::Release() {
    debugTrace("CDropSource::Release\r\n");
    const LONG left = --count_;
    if (left == 0) {
        delete this;
        return 0;
    }
    return static_cast<ULONG>(left);
}

HRESULT CDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    debugTrace("CDropSource::QueryContinueDrag\r\n");
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if ((keyState & (MK_LBUTTON | MK_RBUTTON)) != 0)
        return S_OK;
    return DRAGDROP_S_DROP;
}

HRESULT CDropSource::GiveFeedback(DWORD) {
    debugTrace("CDropSource::GiveFeedback\r\n");
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

} // namespace finder
