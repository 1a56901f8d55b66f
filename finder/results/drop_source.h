#pragma once
// The drag's source side: whether the drag goes on, drops or is cancelled,
// and which cursors it shows.
#include <platform/com.h>

namespace finder {

class CDropSource final : public platform::IDropSource {
public:
    CDropSource(); // one reference

    platform::HRESULT QueryInterface(platform::REFIID riid, void** object) override;
    platform::ULONG AddRef() override;
    platform::ULONG Release() override;
    // Escape cancels; while the left or the right button is down the drag
    // goes on (so releasing one of two held buttons does not drop); else it drops.
    platform::HRESULT QueryContinueDrag(platform::BOOL escapePressed,
                                        platform::DWORD keyState) override;
    platform::HRESULT GiveFeedback(platform::DWORD effect) override;

private:
    ~CDropSource() = default;

    platform::LONG count_ = 1;
};

} // namespace finder
