#pragma once
// The data object a file manager hands a shell extension: the selected
// files as a drop-file list (CF_HDROP in global memory), a new block for
// every request, owned by the receiver.
#include "platform/com.h"

#include <atomic>
#include <string>
#include <vector>

namespace velmorahost {

using namespace platform;

class CFileDataObject final : public IDataObject {
public:
    // With one reference, released by the caller.
    static CFileDataObject* create(std::vector<std::string> paths);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT QueryGetData(FORMATETC* format) override;
    HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT DAdvise(FORMATETC* format, DWORD advf, IAdviseSink* sink, DWORD* connection) override;
    HRESULT DUnadvise(DWORD connection) override;
    HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) override;

private:
    explicit CFileDataObject(std::vector<std::string> paths) : paths_(std::move(paths)) {}
    ~CFileDataObject() = default;
    std::atomic<ULONG> references_{1};
    std::vector<std::string> paths_;
};

} // namespace velmorahost
