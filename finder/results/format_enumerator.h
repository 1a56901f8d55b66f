#pragma once
// The enumerator of a data object's formats, over its own copy of them.
#include <platform/com.h>

#include <memory>

namespace finder {

class CEnumFormatEtc final : public platform::IEnumFORMATETC {
public:
    // A new enumerator at `position` over a copy of `count` records, with no
    // reference yet (the creator adds the first); null when out of memory.
    static CEnumFormatEtc* create(const platform::FORMATETC* records, platform::ULONG count,
                                  platform::ULONG position = 0);

    platform::HRESULT QueryInterface(platform::REFIID riid, void** object) override;
    platform::ULONG AddRef() override;
    platform::ULONG Release() override;
    platform::HRESULT Next(platform::ULONG wanted, platform::FORMATETC* records,
                           platform::ULONG* fetched) override;
    platform::HRESULT Skip(platform::ULONG count) override;
    platform::HRESULT Reset() override;
    platform::HRESULT Clone(platform::IEnumFORMATETC** copy) override;

private:
    CEnumFormatEtc(std::unique_ptr<platform::FORMATETC[]> records, platform::ULONG count,
                   platform::ULONG position);
    ~CEnumFormatEtc();

    platform::LONG count_ = 0;
    std::unique_ptr<platform::FORMATETC[]> records_;
    platform::ULONG recordCount_;
    platform::ULONG position_;
};

} // namespace finder
