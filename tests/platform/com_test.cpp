#include "platform/com.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace platform;

TEST(com, hresults_carry_the_system_numbers) {
    const struct {
        HRESULT value;
        std::uint32_t sdk;
        const char* name;
    } cases[] = {
        {S_OK, 0x00000000, "S_OK"},
        {S_FALSE, 0x00000001, "S_FALSE"},
        {E_NOTIMPL, 0x80004001, "E_NOTIMPL"},
        {E_NOINTERFACE, 0x80004002, "E_NOINTERFACE"},
        {E_POINTER, 0x80004003, "E_POINTER"},
        {E_FAIL, 0x80004005, "E_FAIL"},
        {E_UNEXPECTED, 0x8000FFFF, "E_UNEXPECTED"},
        {E_OUTOFMEMORY, 0x8007000E, "E_OUTOFMEMORY"},
        {E_INVALIDARG, 0x80070057, "E_INVALIDARG"},
        {CLASS_E_NOAGGREGATION, 0x80040110, "CLASS_E_NOAGGREGATION"},
        {CLASS_E_CLASSNOTAVAILABLE, 0x80040111, "CLASS_E_CLASSNOTAVAILABLE"},
        {DV_E_FORMATETC, 0x80040064, "DV_E_FORMATETC"},
        {DV_E_LINDEX, 0x80040068, "DV_E_LINDEX"},
        {DV_E_TYMED, 0x80040069, "DV_E_TYMED"},
        {DV_E_DVASPECT, 0x8004006B, "DV_E_DVASPECT"},
        {OLE_E_ADVISENOTSUPPORTED, 0x80040003, "OLE_E_ADVISENOTSUPPORTED"},
        {OLE_S_USEREG, 0x00040000, "OLE_S_USEREG"},
        {DATA_S_SAMEFORMATETC, 0x00040130, "DATA_S_SAMEFORMATETC"},
        {DRAGDROP_S_DROP, 0x00040100, "DRAGDROP_S_DROP"},
        {DRAGDROP_S_CANCEL, 0x00040101, "DRAGDROP_S_CANCEL"},
        {DRAGDROP_S_USEDEFAULTCURSORS, 0x00040102, "DRAGDROP_S_USEDEFAULTCURSORS"},
        {HRESULT_FROM_WIN32(2), 0x80070002, "HRESULT_FROM_WIN32(2)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<std::uint32_t>(c.value), c.sdk) << c.name;
        EXPECT_EQ(FAILED(c.value), (c.sdk & 0x80000000u) != 0) << c.name;
    }
    EXPECT_EQ(TYMED_HGLOBAL, 1u);
    EXPECT_EQ(DVASPECT_CONTENT, 1u);
    EXPECT_EQ(DATADIR_GET, 1u);
    EXPECT_EQ(MK_LBUTTON | MK_RBUTTON, 3u);
    EXPECT_EQ(DROPEFFECT_COPY, 1u);
    EXPECT_EQ(PSP_USETITLE | PSP_USEREFPARENT, 0x48u);
}

TEST(com, interface_ids_are_the_well_known_ones) {
    const struct {
        IID iid;
        const char* text;
    } cases[] = {
        {IID_IUnknown, "{00000000-0000-0000-C000-000000000046}"},
        {IID_IClassFactory, "{00000001-0000-0000-C000-000000000046}"},
        {IID_IEnumFORMATETC, "{00000103-0000-0000-C000-000000000046}"},
        {IID_IDataObject, "{0000010E-0000-0000-C000-000000000046}"},
        {IID_IDropSource, "{00000121-0000-0000-C000-000000000046}"},
        {IID_IShellExtInit, "{000214E8-0000-0000-C000-000000000046}"},
        {IID_IShellPropSheetExt, "{000214E9-0000-0000-C000-000000000046}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatGuid(c.iid), c.text);
        EXPECT_EQ(parseGuid(c.text), c.iid) << c.text;
    }
    EXPECT_FALSE(IsEqualGUID(IID_IDataObject, IID_IDropSource));
}

TEST(com, guid_texts_parse_in_every_spelling_and_bad_ones_fail) {
    const GUID g = {0x12AB34CD, 0x5E6F, 0x7A8B, {0x9C, 0x0D, 0x1E, 0x2F, 0x3A, 0x4B, 0x5C, 0x6D}};
    EXPECT_EQ(parseGuid("{12ab34cd-5e6f-7a8b-9c0d-1e2f3a4b5c6d}"), g);
    EXPECT_EQ(parseGuid("12AB34CD-5E6F-7A8B-9C0D-1E2F3A4B5C6D"), g);
    EXPECT_EQ(formatGuid(g), "{12AB34CD-5E6F-7A8B-9C0D-1E2F3A4B5C6D}");
    for (const char* bad :
         {"", "{}", "{12AB34CD-5E6F-7A8B-9C0D-1E2F3A4B5C6D",
          "12AB34CD-5E6F-7A8B-9C0D-1E2F3A4B5C6D}", "{12AB34CD-5E6F-7A8B-9C0D1E2F3A4B5C6D}",
          "{12AB34CD-5E6F-7A8B-9C0D-1E2F3A4B5C6}", "{12AB34CD-5E6F-7A8B-9C0D-1E2F3A4B5C6D0}",
          "{12AB34CX-5E6F-7A8B-9C0D-1E2F3A4B5C6D}"})
        EXPECT_FALSE(parseGuid(bad).has_value()) << bad;
}

// A medium's owner that counts the releases it is given.
struct CountingOwner final : IUnknown {
    int released = 0;
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return ++released, 1; }
};

TEST(com, releasing_a_medium_frees_only_what_it_owns) {
    STGMEDIUM own;
    own.tymed = TYMED_HGLOBAL;
    own.hGlobal = GlobalAlloc(GHND, 16);
    ASSERT_NE(own.hGlobal, 0u);
    const HGLOBAL block = own.hGlobal;
    ReleaseStgMedium(&own);
    EXPECT_FALSE(GlobalIsLive(block));
    EXPECT_EQ(own.hGlobal, 0u);
    EXPECT_EQ(own.tymed, TYMED_NULL);

    CountingOwner owner;
    STGMEDIUM lent;
    lent.tymed = TYMED_HGLOBAL;
    lent.hGlobal = GlobalAlloc(GHND, 16);
    lent.pUnkForRelease = &owner;
    const HGLOBAL kept = lent.hGlobal;
    ReleaseStgMedium(&lent);
    EXPECT_EQ(owner.released, 1);
    EXPECT_TRUE(GlobalIsLive(kept)); // the owner frees it, not the receiver
    GlobalFree(kept);
    ReleaseStgMedium(nullptr);
}

TEST(com, ole_initialisation_is_counted_per_thread) {
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    bool otherThread = true;
    std::thread([&] { otherThread = oleInitializedOnThisThread(); }).join();
    EXPECT_FALSE(otherThread);
    OleUninitialize();
    EXPECT_TRUE(oleInitializedOnThisThread());
    OleUninitialize();
    EXPECT_FALSE(oleInitializedOnThisThread());
    OleUninitialize(); // one too many does no harm
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    OleUninitialize();
}

} // namespace
