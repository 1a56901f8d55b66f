// The drag's data object: the formats it stores, the blocks it builds on
// request, and its answers to drop targets' questions.
#include "data_object.h"

#include "drop_blocks.h"
#include "format_enumerator.h"

#include "com_ref.h"
#include <platform/clipboard.h>

#include <platform/trace.h>

#include <new>

namespace finder {

using namespace platform;

const CLIPFORMAT g_cfShellIDList =
    static_cast<CLIPFORMAT>(RegisterClipboardFormat(kShellIdListFormatName));

CImpIDataObject::CImpIDataObject(std::vector<RowTexts> rows) : rows_(std::move(rows)) {}

CImpIDataObject::~CImpIDataObject() {
    if (count_ != 0)
        debugTrace("Deleting the object too early \n");
    // The media stored with a release flag belong to this object.
    for (int i = 0; i < formatCount_; ++i)
        ReleaseStgMedium(&media_[i]);
}

HRESULT CImpIDataObject::QueryInterface(REFIID riid, void** object) {
    debugTrace("CImpIDataObject::QueryInterface()\n");
    return handOutInterface(static_cast<IDataObject*>(this), riid, IID_IDataObject, object);
}

ULONG CImpIDataObject::AddRef() {
    debugTrace("CImpIDataObject::AddRef()\n");
    return static_cast<ULONG>(++count_);
}

ULONG CImpIDataObject::Release() {
    debugTrace("CImpIDataObject::Release()\n");
    const LONG left = --count_;
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CImpIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    debugTrace("CImpIDataObject::GetData()\n");
    if (format == nullptr || medium == nullptr)
        return E_INVALIDARG;
    medium->hGlobal = 0;
    medium->pUnkForRelease = nullptr;
    for (int i = 0; i < formatCount_; ++i) {
        const FORMATETC& stored = formats_[i];
        if (stored.tymed != format->tymed || stored.dwAspect != format->dwAspect ||
            stored.cfFormat != format->cfFormat)
            continue;
        medium->tymed = stored.tymed;
        if (format->cfFormat == g_cfShellIDList) {
            debugTrace("GetData() - pFE->cfFormat == g_cfShellIDList");
            medium->hGlobal = CreateShellIdList(rows_);
            return S_OK;
        }
        if (format->cfFormat == CF_HDROP) {
            debugTrace("GetData() - pFE->cfFormat == CF_HDROP");
            medium->hGlobal = CreateHDrop(rows_);
            return S_OK;
        }
    }
    return DV_E_FORMATETC;
}

HRESULT CImpIDataObject::GetDataHere(FORMATETC* format, STGMEDIUM* medium) {
    debugTrace("CImpIDataObject::GetDataHere()\n");
    return format != nullptr && medium != nullptr ? E_NOTIMPL : E_INVALIDARG;
}

HRESULT CImpIDataObject::QueryGetData(FORMATETC* format) {
    debugTrace("CImpIDataObject::QueryGetData()\n");
    if (format == nullptr)
        return S_FALSE;
    if ((format->dwAspect & DVASPECT_CONTENT) == 0)
        return DV_E_DVASPECT;
    for (int i = 0; i < formatCount_; ++i)
        if ((format->tymed & formats_[i].tymed) != 0)
            return S_OK;
    return DV_E_TYMED;
}

HRESULT CImpIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) {
    debugTrace("CImpIDataObject::GetCanonicalFormatEtc()\n");
    return DATA_S_SAMEFORMATETC;
}

HRESULT CImpIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    debugTrace("CImpIDataObject::SetData()\n");
    if (!release)
        return E_FAIL;
    if (format == nullptr || medium == nullptr)
        return E_INVALIDARG;
    FORMATETC kept = *format;
    kept.ptd = nullptr; // the caller's device description is not kept
    for (int i = 0; i < formatCount_; ++i) {
        if (formats_[i].cfFormat == format->cfFormat) {
            ReleaseStgMedium(&media_[i]);
            formats_[i] = kept;
            media_[i] = *medium;
            return S_OK;
        }
    }
    if (formatCount_ == kMaxFormats)
        return E_OUTOFMEMORY;
    formats_[formatCount_] = kept;
    media_[formatCount_] = *medium;
    ++formatCount_;
    return S_OK;
}

HRESULT CImpIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
    debugTrace("CImpIDataObject::EnumFormatEtc()\n");
    if (direction != DATADIR_GET)
        return OLE_S_USEREG;
    if (enumerator == nullptr)
        return E_INVALIDARG;
    *enumerator = CEnumFormatEtc::create(formats_, static_cast<ULONG>(formatCount_));
    if (*enumerator == nullptr)
        return E_OUTOFMEMORY;
    (*enumerator)->AddRef();
    return S_OK;
}

HRESULT CImpIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    debugTrace("CImpIDataObject::DAdvise()\n");
    return E_NOTIMPL;
}

HRESULT CImpIDataObject::DUnadvise(DWORD) {
    debugTrace("CImpIDataObject::DUnadvise()\n");
    return E_NOTIMPL;
}

HRESULT CImpIDataObject::EnumDAdvise(IEnumSTATDATA**) {
    debugTrace("CImpIDataObject::EnumDAdvise()\n");
    return OLE_E_ADVISENOTSUPPORTED;
}

void offerDropFormats(IDataObject* data) {
    STGMEDIUM medium;
    medium.tymed = TYMED_HGLOBAL;
    FORMATETC format{g_cfShellIDList, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    data->SetData(&format, &medium, true);
    format.cfFormat = CF_HDROP;
    data->SetData(&format, &medium, true);
}

} // namespace finder
