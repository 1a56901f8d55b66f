// A data object offering one format: CF_HDROP in global memory.
#include "file_data_object.h"

#include "platform/clipboard.h"
#include "platform/drop_list.h"

#include <new>

namespace velmorahost {

CFileDataObject* CFileDataObject::create(std::vector<std::string> paths) {
    return new (std::nothrow) CFileDataObject(std::move(paths));
}

HRESULT CFileDataObject::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IDataObject) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

ULONG CFileDataObject::AddRef() {
    return ++references_;
}

ULONG CFileDataObject::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CFileDataObject::QueryGetData(FORMATETC* format) {
    if (format == nullptr)
        return E_INVALIDARG;
    if (format->cfFormat != CF_HDROP)
        return DV_E_FORMATETC;
    if (!(format->tymed & TYMED_HGLOBAL))
        return DV_E_TYMED;
    if (format->dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    return S_OK;
}

HRESULT CFileDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (medium == nullptr)
        return E_INVALIDARG;
    if (const HRESULT answer = QueryGetData(format); FAILED(answer))
        return answer;
    try {
        const HGLOBAL block = makeDropList(paths_);
        if (block == 0)
            return E_OUTOFMEMORY;
        *medium = STGMEDIUM{};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CFileDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT CFileDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr)
        out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT CFileDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT CFileDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** enumerator) {
    if (enumerator != nullptr)
        *enumerator = nullptr;
    return E_NOTIMPL;
}

HRESULT CFileDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CFileDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CFileDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

} // namespace velmorahost
