// Hands out a data object's formats one or more at a time, in storage order.
#include "format_enumerator.h"

#include "com_ref.h"

#include <platform/trace.h>

#include <algorithm>
#include <new>

namespace finder {

using namespace platform;

CEnumFormatEtc* CEnumFormatEtc::create(const FORMATETC* records, ULONG count, ULONG position) {
    std::unique_ptr<FORMATETC[]> copy(new (std::nothrow) FORMATETC[count ? count : 1]);
    if (!copy)
        return nullptr;
    std::copy_n(records, count, copy.get());
    return new (std::nothrow) CEnumFormatEtc(std::move(copy), count, position);
}

CEnumFormatEtc::CEnumFormatEtc(std::unique_ptr<FORMATETC[]> records, ULONG count, ULONG position)
    : records_(std::move(records)), recordCount_(count), position_(position) {}

CEnumFormatEtc::~CEnumFormatEtc() {
    if (count_ != 0)
        debugTrace("Deleting the object too early \n");
}

HRESULT CEnumFormatEtc::QueryInterface(REFIID riid, void** object) {
    debugTrace("CEnumFormatEtc::QueryInterface()\n");
    return handOutInterface(static_cast<IEnumFORMATETC*>(this), riid, IID_IEnumFORMATETC, object);
}

ULONG CEnumFormatEtc::AddRef() {
    debugTrace("CEnumFormatEtc::AddRef()\n");
    return static_cast<ULONG>(++count_);
}

ULONG CEnumFormatEtc::Release() {
    debugTrace("CEnumFormatEtc::Release()\n");
    const LONG left = --count_;
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CEnumFormatEtc::Next(ULONG wanted, FORMATETC* records, ULONG* fetched) {
    debugTrace("CEnumFormatEtc::Next()\n");
    if (fetched != nullptr)
        *fetched = 0;
    if (wanted == 0 || records == nullptr || position_ >= recordCount_ ||
        (fetched == nullptr && wanted > 1))
        return S_FALSE;
    const ULONG copied = std::min(wanted, recordCount_ - position_);
    std::copy_n(records_.get() + position_, copied, records);
    position_ += copied;
    if (fetched != nullptr)
        *fetched = copied;
    return copied == wanted ? S_OK : S_FALSE;
}

HRESULT CEnumFormatEtc::Skip(ULONG count) {
    debugTrace("CEnumFormatEtc::Skip()\n");
    if (std::uint64_t{position_} + count > recordCount_)
        return S_FALSE;
    position_ += count;
    return S_OK;
}

HRESULT CEnumFormatEtc::Reset() {
    debugTrace("CEnumFormatEtc::Reset()\n");
    position_ = 0;
    return S_OK;
}

HRESULT CEnumFormatEtc::Clone(IEnumFORMATETC** copy) {
    debugTrace("CEnumFormatEtc::Clone()\n");
    if (copy == nullptr)
        return S_FALSE;
    CEnumFormatEtc* clone = create(records_.get(), recordCount_, position_);
    *copy = clone;
    if (clone == nullptr)
        return E_OUTOFMEMORY;
    clone->AddRef();
    return S_OK;
}

} // namespace finder
