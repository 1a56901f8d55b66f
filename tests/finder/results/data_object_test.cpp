// The drag's data object, its format enumerator and the drop source: the
// answers of every slot, the blocks built per request, reference counts and
// trace lines.
#include "results/data_object.h"
#include "results/drop_source.h"
#include "results/format_enumerator.h"

#include "drag_support.h"
#include "temp_dir.h"

#include <platform/clipboard.h>

#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace {

using testsupport::TraceLines;

using namespace platform;
using finder::CDropSource;
using finder::CImpIDataObject;
using finder::ComRef;
using finder::g_cfShellIDList;

FORMATETC request(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL, DWORD aspect = DVASPECT_CONTENT) {
    return {format, nullptr, aspect, -1, tymed};
}

class DataObject : public testing::Test {
protected:
    void SetUp() override {
        tmp.writeFile("maps/roads.shp", "x");
        object.reset(new CImpIDataObject(testsupport::draggedRows({{"roads.shp", tmp / "maps"}})));
        finder::offerDropFormats(object.get());
    }
    testsupport::TempDir tmp;
    ComRef<CImpIDataObject> object;
};

TEST_F(DataObject, the_enumerator_lists_the_identifier_array_then_the_drop_file_list) {
    ComRef<IEnumFORMATETC> formats;
    ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, formats.put()), S_OK);
    FORMATETC records[5];
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(5, records, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(records[i].cfFormat, i == 0 ? g_cfShellIDList : CF_HDROP);
        EXPECT_EQ(records[i].ptd, nullptr);
        EXPECT_EQ(records[i].dwAspect, DVASPECT_CONTENT);
        EXPECT_EQ(records[i].lindex, -1);
        EXPECT_EQ(records[i].tymed, TYMED_HGLOBAL);
    }
    EXPECT_EQ(clipboardFormatName(g_cfShellIDList), "Shell IDList Array");
    EXPECT_EQ(object->EnumFormatEtc(DATADIR_SET, formats.put()), OLE_S_USEREG);
}

TEST_F(DataObject, get_data_matches_exactly_while_query_get_data_shares_medium_bits) {
    const struct {
        const char* what;
        FORMATETC format;
        HRESULT getData, queryGetData;
    } cases[] = {
        {"identifier array", request(g_cfShellIDList), S_OK, S_OK},
        {"drop-file list", request(CF_HDROP), S_OK, S_OK},
        {"combined medium", request(CF_HDROP, TYMED_HGLOBAL | TYMED_ISTREAM), DV_E_FORMATETC, S_OK},
        {"other medium", request(CF_HDROP, TYMED_ISTREAM), DV_E_FORMATETC, DV_E_TYMED},
        {"icon aspect", request(CF_HDROP, TYMED_HGLOBAL, DVASPECT_ICON), DV_E_FORMATETC,
         DV_E_DVASPECT},
        {"format not offered", request(CF_TEXT), DV_E_FORMATETC, S_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FORMATETC format = c.format;
        STGMEDIUM medium;
        medium.hGlobal = 0x1234;
        EXPECT_EQ(object->GetData(&format, &medium), c.getData);
        EXPECT_EQ(object->QueryGetData(&format), c.queryGetData);
        EXPECT_EQ(medium.pUnkForRelease, nullptr);
        EXPECT_EQ(GlobalIsLive(medium.hGlobal), c.getData == S_OK);
        if (c.getData == S_OK)
            EXPECT_EQ(medium.tymed, TYMED_HGLOBAL);
        else
            EXPECT_EQ(medium.hGlobal, 0u);
        ReleaseStgMedium(&medium);
    }
    FORMATETC format = request(CF_HDROP);
    STGMEDIUM medium;
    EXPECT_EQ(object->GetData(nullptr, &medium), E_INVALIDARG);
    EXPECT_EQ(object->GetData(&format, nullptr), E_INVALIDARG);
    EXPECT_EQ(object->QueryGetData(nullptr), S_FALSE);
}

TEST_F(DataObject, each_request_gets_a_new_block_for_the_receiver_to_free) {
    for (CLIPFORMAT cf : {g_cfShellIDList, static_cast<CLIPFORMAT>(CF_HDROP)}) {
        FORMATETC format = request(cf);
        STGMEDIUM first, second;
        ASSERT_EQ(object->GetData(&format, &first), S_OK);
        ASSERT_EQ(object->GetData(&format, &second), S_OK);
        ASSERT_NE(first.hGlobal, second.hGlobal);
        const std::size_t size = GlobalSize(first.hGlobal);
        EXPECT_EQ(GlobalSize(second.hGlobal), size);
        EXPECT_EQ(std::memcmp(GlobalLock(first.hGlobal), GlobalLock(second.hGlobal), size), 0);
        GlobalUnlock(first.hGlobal);
        GlobalUnlock(second.hGlobal);
        ReleaseStgMedium(&first);
        EXPECT_TRUE(GlobalIsLive(second.hGlobal));
        ReleaseStgMedium(&second);
    }
}

TEST_F(DataObject, set_data_stores_five_formats_and_replaces_by_clipboard_format) {
    auto stored = [](HGLOBAL block) {
        STGMEDIUM m;
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = block;
        return m;
    };
    FORMATETC format = request(CF_TEXT);
    STGMEDIUM medium = stored(GlobalAlloc(GHND, 4));
    EXPECT_EQ(object->SetData(&format, &medium, false), E_FAIL);
    EXPECT_EQ(object->SetData(nullptr, &medium, true), E_INVALIDARG);
    EXPECT_EQ(object->SetData(&format, nullptr, true), E_INVALIDARG);
    EXPECT_EQ(object->SetData(&format, &medium, true), S_OK); // the third
    const HGLOBAL replaced = medium.hGlobal;
    medium = stored(GlobalAlloc(GHND, 4));
    EXPECT_EQ(object->SetData(&format, &medium, true), S_OK);
    EXPECT_FALSE(GlobalIsLive(replaced)); // the object owned it
    for (CLIPFORMAT cf : {2, 3})
        EXPECT_EQ(object->SetData(&(format = request(cf)), &(medium = stored(0)), true), S_OK);
    EXPECT_EQ(object->SetData(&(format = request(4)), &medium, true), E_OUTOFMEMORY);
    // The last stored block goes with the object.
    const HGLOBAL kept = GlobalAlloc(GHND, 4);
    EXPECT_EQ(object->SetData(&(format = request(CF_TEXT)), &(medium = stored(kept)), true), S_OK);
    object.reset();
    EXPECT_FALSE(GlobalIsLive(kept));
}

TEST(FormatEnumerator, next_skip_reset_and_clone_walk_the_records) {
    const FORMATETC records[] = {request(10), request(11), request(12)};
    ComRef<IEnumFORMATETC> e(finder::CEnumFormatEtc::create(records, 3));
    e->AddRef();
    // Each step: the call, its answer, the count fetched, the first format got.
    FORMATETC got[4];
    ULONG fetched = 99;
    auto next = [&](ULONG wanted, bool withFetched) {
        fetched = 99;
        got[0].cfFormat = 0;
        return e->Next(wanted, got, withFetched ? &fetched : nullptr);
    };
    const struct {
        const char* what;
        std::function<HRESULT()> call;
        HRESULT result;
        ULONG fetched;
        CLIPFORMAT first;
    } steps[] = {
        {"nothing wanted", [&] { return next(0, true); }, S_FALSE, 0, 0},
        {"two without a count", [&] { return next(2, false); }, S_FALSE, 99, 0},
        {"one without a count", [&] { return next(1, false); }, S_OK, 99, 10},
        {"two of the two left", [&] { return next(2, true); }, S_OK, 2, 11},
        {"at the end", [&] { return next(1, true); }, S_FALSE, 0, 0},
        {"reset", [&] { return e->Reset(); }, S_OK, 99, 0},
        {"skip two", [&] { return e->Skip(2); }, S_OK, 99, 0},
        {"skip past the end", [&] { return e->Skip(2); }, S_FALSE, 99, 0},
        {"four wanted, one left", [&] { return next(4, true); }, S_FALSE, 1, 12},
        {"skip none at the end", [&] { return e->Skip(0); }, S_OK, 99, 0},
        {"skip overflowing", [&] { return e->Skip(0xFFFFFFFFu); }, S_FALSE, 99, 0},
        {"null destination", [&] { return e->Next(1, nullptr, &fetched); }, S_FALSE, 0, 0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        fetched = 99;
        got[0].cfFormat = 0;
        EXPECT_EQ(s.call(), s.result);
        EXPECT_EQ(fetched, s.fetched);
        EXPECT_EQ(got[0].cfFormat, s.first);
    }

    e->Reset();
    e->Skip(1);
    ComRef<IEnumFORMATETC> clone;
    ASSERT_EQ(e->Clone(clone.put()), S_OK);
    EXPECT_EQ(e->Clone(nullptr), S_FALSE);
    e.reset(); // the clone keeps its own copy of the records
    EXPECT_EQ(clone->Next(2, got, &fetched), S_OK);
    EXPECT_EQ(got[0].cfFormat, 11);
    EXPECT_EQ(got[1].cfFormat, 12);
}

TEST(DropSource, escape_cancels_and_either_held_button_keeps_the_drag_going) {
    const struct {
        BOOL escape;
        DWORD keys;
        HRESULT expected;
    } cases[] = {
        {true, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {true, 0, DRAGDROP_S_CANCEL},
        {false, MK_LBUTTON, S_OK},
        {false, MK_RBUTTON, S_OK},
        {false, MK_LBUTTON | MK_RBUTTON, S_OK},
        {false, MK_RBUTTON | MK_SHIFT, S_OK},
        {false, 0, DRAGDROP_S_DROP},
        {false, MK_MBUTTON | MK_CONTROL, DRAGDROP_S_DROP},
    };
    ComRef<CDropSource> source(new CDropSource);
    for (const auto& c : cases)
        EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.expected)
            << "escape " << c.escape << " keys " << c.keys;
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST_F(DataObject, counts_reach_zero_once_and_free_each_object_then) {
    // A stored block shows when the data object goes.
    const HGLOBAL block = GlobalAlloc(GHND, 4);
    FORMATETC format = request(CF_TEXT);
    STGMEDIUM medium;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    object->SetData(&format, &medium, true);

    IDataObject* data = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&data)), S_OK);
    EXPECT_EQ(data->AddRef(), 3u);
    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    EXPECT_EQ(formats->AddRef(), 2u);
    EXPECT_EQ(formats->Release(), 1u);
    EXPECT_EQ(data->Release(), 2u);
    EXPECT_EQ(data->Release(), 1u);
    EXPECT_EQ(object.get()->Release(), 0u);
    object.detach();
    EXPECT_FALSE(GlobalIsLive(block));
    EXPECT_EQ(formats->Release(), 0u); // outlives the object it enumerated

    auto* source = new CDropSource;
    IDropSource* drop = nullptr;
    ASSERT_EQ(source->QueryInterface(IID_IDropSource, reinterpret_cast<void**>(&drop)), S_OK);
    EXPECT_EQ(source->Release(), 1u);
    EXPECT_EQ(drop->Release(), 0u);
}

TEST_F(DataObject, every_operation_writes_its_fixed_trace_line) {
    FORMATETC format = request(CF_HDROP);
    STGMEDIUM medium;
    const std::string path = tmp / "maps/roads.shp";
    const struct {
        std::function<void()> call;
        std::vector<std::string> lines;
    } cases[] = {
        {[&] { object->GetData(&format, &medium); },
         {"CImpIDataObject::GetData()\n", "GetData() - pFE->cfFormat == CF_HDROP",
          "CreateHDrop()\n", "CreateHDrop(): moving " + path + "\n"}},
        {[&] { object->GetData(&(format = request(g_cfShellIDList)), &medium); },
         {"CImpIDataObject::GetData()\n", "GetData() - pFE->cfFormat == g_cfShellIDList",
          "CreateShellIdList()\n", "CreateShellIdList(): moving roads.shp"}},
        {[&] { object->QueryGetData(&format); }, {"CImpIDataObject::QueryGetData()\n"}},
        {[&] {
             ComRef<IEnumFORMATETC> e(finder::CEnumFormatEtc::create(&format, 1));
             e->AddRef();
             e->Reset();
         },
         {"CEnumFormatEtc::AddRef()\n", "CEnumFormatEtc::Reset()\n",
          "CEnumFormatEtc::Release()\n"}},
        {[] {
             ComRef<CDropSource> s(new CDropSource);
             s->GiveFeedback(0);
         },
         {"CDropSource::Constructor\r\n", "CDropSource::GiveFeedback\r\n",
          "CDropSource::Release\r\n"}},
    };
    for (const auto& c : cases) {
        TraceLines trace;
        c.call();
        EXPECT_EQ(trace.lines, c.lines);
        ReleaseStgMedium(&medium);
    }
}

} // namespace
