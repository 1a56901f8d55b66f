#pragma once
// The component object model the property-page server and the drag data
// object are written against: GUIDs, HRESULTs with the system's numeric
// values, the data-transfer structures and constants, and the interfaces as
// abstract classes whose virtual functions come in the original slot order.
#include "platform/global_memory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned;
using BOOL = int;
using CLIPFORMAT = std::uint16_t;
using LPARAM = std::intptr_t;
using HWND = void*;
using HKEY = void*;

// ---- GUIDs ---------------------------------------------------------------

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool IsEqualGUID(const GUID& a, const GUID& b) {
    return a == b;
}

// "{0000010E-0000-0000-C000-000000000046}" (braces optional, any letter case).
std::optional<GUID> parseGuid(std::string_view text);
// The registry form: braces, upper-case hexadecimal digits.
std::string formatGuid(const GUID& guid);

constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IEnumFORMATETC = {0x00000103, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IDataObject = {0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IDropSource = {0x00000121, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IShellFolder = {0x000214E6, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IShellExtInit = {0x000214E8, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IShellPropSheetExt = {0x000214E9, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// ---- HRESULTs ------------------------------------------------------------

constexpr HRESULT hr(std::uint32_t value) {
    return static_cast<HRESULT>(value);
}
constexpr bool SUCCEEDED(HRESULT h) {
    return h >= 0;
}
constexpr bool FAILED(HRESULT h) {
    return h < 0;
}
// A system error code as an HRESULT (0x8007xxxx).
constexpr HRESULT HRESULT_FROM_WIN32(long error) {
    return error <= 0 ? static_cast<HRESULT>(error)
                      : hr((static_cast<std::uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = hr(0x80004001);
constexpr HRESULT E_NOINTERFACE = hr(0x80004002);
constexpr HRESULT E_POINTER = hr(0x80004003);
constexpr HRESULT E_ABORT = hr(0x80004004);
constexpr HRESULT E_FAIL = hr(0x80004005);
constexpr HRESULT E_UNEXPECTED = hr(0x8000FFFF);
constexpr HRESULT E_ACCESSDENIED = hr(0x80070005);
constexpr HRESULT E_OUTOFMEMORY = hr(0x8007000E);
constexpr HRESULT E_INVALIDARG = hr(0x80070057);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = hr(0x80040003);
constexpr HRESULT OLE_S_USEREG = hr(0x00040000);
constexpr HRESULT DV_E_FORMATETC = hr(0x80040064);
constexpr HRESULT DV_E_DVTARGETDEVICE = hr(0x80040065);
constexpr HRESULT DV_E_STGMEDIUM = hr(0x80040066);
constexpr HRESULT DV_E_LINDEX = hr(0x80040068);
constexpr HRESULT DV_E_TYMED = hr(0x80040069);
constexpr HRESULT DV_E_CLIPFORMAT = hr(0x8004006A);
constexpr HRESULT DV_E_DVASPECT = hr(0x8004006B);
constexpr HRESULT DRAGDROP_S_DROP = hr(0x00040100);
constexpr HRESULT DRAGDROP_S_CANCEL = hr(0x00040101);
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = hr(0x00040102);
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = hr(0x80040100);
constexpr HRESULT DATA_S_SAMEFORMATETC = hr(0x00040130);
constexpr HRESULT CLASS_E_NOAGGREGATION = hr(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = hr(0x80040111);
constexpr HRESULT CO_E_NOTINITIALIZED = hr(0x800401F0);

// ---- data transfer -------------------------------------------------------

constexpr DWORD TYMED_NULL = 0;
constexpr DWORD TYMED_HGLOBAL = 1;
constexpr DWORD TYMED_FILE = 2;
constexpr DWORD TYMED_ISTREAM = 4;
constexpr DWORD TYMED_ISTORAGE = 8;
constexpr DWORD TYMED_GDI = 16;
constexpr DWORD TYMED_MFPICT = 32;
constexpr DWORD TYMED_ENHMF = 64;

constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD DVASPECT_THUMBNAIL = 2;
constexpr DWORD DVASPECT_ICON = 4;
constexpr DWORD DVASPECT_DOCPRINT = 8;

constexpr DWORD DATADIR_GET = 1;
constexpr DWORD DATADIR_SET = 2;

// Key state bits handed to IDropSource::QueryContinueDrag.
constexpr DWORD MK_LBUTTON = 0x0001;
constexpr DWORD MK_RBUTTON = 0x0002;
constexpr DWORD MK_SHIFT = 0x0004;
constexpr DWORD MK_CONTROL = 0x0008;
constexpr DWORD MK_MBUTTON = 0x0010;
constexpr DWORD MK_ALT = 0x0020;

constexpr DWORD DROPEFFECT_NONE = 0;
constexpr DWORD DROPEFFECT_COPY = 1;
constexpr DWORD DROPEFFECT_MOVE = 2;
constexpr DWORD DROPEFFECT_LINK = 4;
constexpr DWORD DROPEFFECT_SCROLL = 0x80000000u;

struct IUnknown;

struct DVTARGETDEVICE {
    DWORD tdSize;
    std::uint16_t tdDriverNameOffset;
    std::uint16_t tdDeviceNameOffset;
    std::uint16_t tdPortNameOffset;
    std::uint16_t tdExtDevmodeOffset;
    std::uint8_t tdData[1];
};

struct FORMATETC {
    CLIPFORMAT cfFormat = 0;
    DVTARGETDEVICE* ptd = nullptr;
    DWORD dwAspect = 0;
    LONG lindex = -1;
    DWORD tymed = TYMED_NULL;
};

struct STGMEDIUM {
    DWORD tymed = TYMED_NULL;
    union {
        HGLOBAL hGlobal = 0;
        char* lpszFileName;
        IUnknown* pstm;
        IUnknown* pstg;
    };
    IUnknown* pUnkForRelease = nullptr;
};

// Frees what a medium holds: its global memory block when nobody else owns
// it (no pUnkForRelease), else the owner's reference. The medium is cleared.
void ReleaseStgMedium(STGMEDIUM* medium);

// ---- interfaces, methods in slot order -------------------------------------
// Objects are destroyed through Release, never through these pointers.

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

struct IEnumFORMATETC : IUnknown {
    virtual HRESULT Next(ULONG wanted, FORMATETC* records, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFORMATETC** copy) = 0;

protected:
    ~IEnumFORMATETC() = default;
};

struct IAdviseSink; // advise sinks are never supported here
struct IEnumSTATDATA;

struct IDataObject : IUnknown {
    virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT QueryGetData(FORMATETC* format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) = 0;
    virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) = 0;
    virtual HRESULT DAdvise(FORMATETC* format, DWORD advf, IAdviseSink* sink,
                            DWORD* connection) = 0;
    virtual HRESULT DUnadvise(DWORD connection) = 0;
    virtual HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) = 0;

protected:
    ~IDataObject() = default;
};

struct IDropSource : IUnknown {
    virtual HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) = 0;
    virtual HRESULT GiveFeedback(DWORD effect) = 0;

protected:
    ~IDropSource() = default;
};

struct ITEMIDLIST; // shell.h
using LPCITEMIDLIST = const ITEMIDLIST*;

struct IShellExtInit : IUnknown {
    virtual HRESULT Initialize(LPCITEMIDLIST folder, IDataObject* data, HKEY programKey) = 0;

protected:
    ~IShellExtInit() = default;
};

// A property page handed to the sheet; what it points to is the page
// server's business.
using HPROPSHEETPAGE = void*;
// The sheet's callback for adding a page: true when it took the page.
using LPFNADDPROPSHEETPAGE = BOOL (*)(HPROPSHEETPAGE page, LPARAM parameter);

constexpr DWORD PSP_USETITLE = 0x00000008;
constexpr DWORD PSP_USEREFPARENT = 0x00000040;

struct IShellPropSheetExt : IUnknown {
    virtual HRESULT AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM parameter) = 0;
    virtual HRESULT ReplacePage(UINT pageId, LPFNADDPROPSHEETPAGE replaceWith,
                                LPARAM parameter) = 0;

protected:
    ~IShellPropSheetExt() = default;
};

// ---- per-thread initialisation -------------------------------------------

// Counted per thread as the original: S_OK for the first call on a thread,
// S_FALSE for each further one; every call needs its OleUninitialize.
HRESULT OleInitialize(void* reserved);
void OleUninitialize();
bool oleInitializedOnThisThread();

} // namespace platform
