#pragma once
// The data object a drag of result rows offers to drop targets: it stores the
// formats it is told to offer and builds a new block for each request.
#include "com_ref.h"
#include "finder/found_file.h"

#include <platform/com.h>

#include <vector>

namespace finder {

// The name the shell's identifier-list array format is registered under.
inline constexpr const char* kShellIdListFormatName = "Shell IDList Array";
// Its number, registered once per process at start.
extern const platform::CLIPFORMAT g_cfShellIDList;

class CImpIDataObject final : public platform::IDataObject {
public:
    static constexpr int kMaxFormats = 5;

    // One reference, no format stored; `rows` are the dragged rows in list order.
    explicit CImpIDataObject(std::vector<RowTexts> rows);

    platform::HRESULT QueryInterface(platform::REFIID riid, void** object) override;
    platform::ULONG AddRef() override;
    platform::ULONG Release() override;
    platform::HRESULT GetData(platform::FORMATETC* format, platform::STGMEDIUM* medium) override;
    platform::HRESULT GetDataHere(platform::FORMATETC* format,
                                  platform::STGMEDIUM* medium) override;
    platform::HRESULT QueryGetData(platform::FORMATETC* format) override;
    platform::HRESULT GetCanonicalFormatEtc(platform::FORMATETC* in,
                                            platform::FORMATETC* out) override;
    platform::HRESULT SetData(platform::FORMATETC* format, platform::STGMEDIUM* medium,
                              platform::BOOL release) override;
    platform::HRESULT EnumFormatEtc(platform::DWORD direction,
                                    platform::IEnumFORMATETC** enumerator) override;
    platform::HRESULT DAdvise(platform::FORMATETC* format, platform::DWORD advf,
                              platform::IAdviseSink* sink, platform::DWORD* connection) override;
    platform::HRESULT DUnadvise(platform::DWORD connection) override;
    platform::HRESULT EnumDAdvise(platform::IEnumSTATDATA** enumerator) override;

private:
    ~CImpIDataObject();

    platform::LONG count_ = 1;
    int formatCount_ = 0;
    platform::FORMATETC formats_[kMaxFormats];
    platform::STGMEDIUM media_[kMaxFormats];
    std::vector<RowTexts> rows_;
};

// Stores the two formats a drag offers, the Shell IDList Array and then the
// drop-file list, both as global memory with content aspect and no block yet.
void offerDropFormats(platform::IDataObject* data);

} // namespace finder
