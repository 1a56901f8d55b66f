#include "platform/shell.h"

#include "temp_dir.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

using namespace platform;

std::string bytes(LPCITEMIDLIST list) {
    return std::string(reinterpret_cast<const char*>(list), ILGetSize(list));
}

struct FolderRelease {
    void operator()(IShellFolder* f) const { f->Release(); }
};
using FolderPtr = std::unique_ptr<IShellFolder, FolderRelease>;

FolderPtr desktop() {
    IShellFolder* d = nullptr;
    EXPECT_EQ(SHGetDesktopFolder(&d), S_OK);
    return FolderPtr(d);
}

IdListPtr parse(IShellFolder* folder, const std::string& name, HRESULT* result = nullptr) {
    LPITEMIDLIST list = nullptr;
    const HRESULT r =
        folder->ParseDisplayName(nullptr, nullptr, name.c_str(), nullptr, &list, nullptr);
    if (result)
        *result = r;
    EXPECT_EQ(SUCCEEDED(r), list != nullptr);
    return IdListPtr(list);
}

class shell : public testing::Test {
protected:
    void SetUp() override {
        tree.writeFile("my maps/roads.shp", "x");
        tree.writeFile("my maps/rivers.shp", "x");
    }
    testsupport::TempDir tree;
};

TEST_F(shell, a_path_becomes_one_counted_item_per_component) {
    const auto d = desktop();
    const std::string folder = tree / "my maps";
    const auto list = parse(d.get(), folder + "/");
    std::string expected;
    for (const auto& name : ILItemNames(list.get())) {
        expected += static_cast<char>(name.size() + 2);
        expected += '\0';
        expected += name;
    }
    expected.append(2, '\0');
    EXPECT_EQ(bytes(list.get()), expected);
    EXPECT_EQ(pathFromIdList(list.get()), folder);

    // "/tmp/x/my maps": the last item is [9, 0, "my maps"].
    const std::string raw = bytes(list.get());
    EXPECT_EQ(raw.substr(raw.size() - 11), std::string("\x09\0my maps\0\0", 11));
    EXPECT_EQ(ILGetSize(list.get()), raw.size());
    EXPECT_EQ(ILGetSize(nullptr), 0u);

    // The root is the desktop itself: an empty list.
    const auto root = parse(d.get(), "/");
    EXPECT_EQ(ILGetSize(root.get()), 2u);
    EXPECT_EQ(pathFromIdList(root.get()), "/");

    // Dot components are resolved, doubled slashes ignored.
    EXPECT_EQ(bytes(parse(d.get(), tree / "my maps/./..//my maps").get()), raw);
}

TEST_F(shell, names_parse_relative_to_a_bound_folder) {
    const auto d = desktop();
    const auto parent = parse(d.get(), tree / "my maps");
    void* object = nullptr;
    ASSERT_EQ(d->BindToObject(parent.get(), nullptr, IID_IShellFolder, &object), S_OK);
    FolderPtr folder(static_cast<IShellFolder*>(object));

    ULONG eaten = 0, attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    LPITEMIDLIST raw = nullptr;
    ASSERT_EQ(folder->ParseDisplayName(nullptr, nullptr, "roads.shp", &eaten, &raw, &attributes),
              S_OK);
    IdListPtr relative(raw);
    EXPECT_EQ(bytes(relative.get()), std::string("\x0b\0roads.shp\0\0", 13));
    EXPECT_EQ(eaten, 9u);
    EXPECT_EQ(attributes, SFGAO_FILESYSTEM);

    IdListPtr combined(ILCombine(parent.get(), relative.get()));
    EXPECT_EQ(pathFromIdList(combined.get()), tree / "my maps/roads.shp");
    IdListPtr clone(ILClone(combined.get()));
    EXPECT_EQ(bytes(clone.get()), bytes(combined.get()));

    // Binding the empty list gives the same folder again.
    const auto empty = parse(d.get(), "/");
    ASSERT_EQ(folder->BindToObject(empty.get(), nullptr, IID_IShellFolder, &object), S_OK);
    FolderPtr same(static_cast<IShellFolder*>(object));
    EXPECT_EQ(bytes(parse(same.get(), "rivers.shp").get()),
              std::string("\x0c\0rivers.shp\0\0", 14));
}

TEST_F(shell, what_does_not_exist_or_is_not_a_folder_is_refused) {
    const auto d = desktop();
    HRESULT r = S_OK;
    parse(d.get(), tree / "my maps/moved.shp", &r);
    EXPECT_EQ(r, HRESULT_FROM_WIN32(2));
    parse(d.get(), "", &r);
    EXPECT_EQ(r, E_INVALIDARG);

    const auto parent = parse(d.get(), tree / "my maps");
    void* object = nullptr;
    ASSERT_EQ(d->BindToObject(parent.get(), nullptr, IID_IShellFolder, &object), S_OK);
    FolderPtr folder(static_cast<IShellFolder*>(object));
    parse(folder.get(), "../my maps/roads.shp", &r);
    EXPECT_EQ(r, E_INVALIDARG); // above the folder
    parse(folder.get(), "/etc", &r);
    EXPECT_EQ(r, E_INVALIDARG);

    const auto file = parse(d.get(), tree / "my maps/roads.shp");
    EXPECT_EQ(d->BindToObject(file.get(), nullptr, IID_IShellFolder, &object), E_INVALIDARG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(d->BindToObject(parent.get(), nullptr, IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    const char sneaky[] = "\x04\0..\0\0";
    EXPECT_EQ(d->BindToObject(reinterpret_cast<LPCITEMIDLIST>(sneaky), nullptr, IID_IShellFolder,
                              &object),
              E_INVALIDARG);
}

HGLOBAL dropBlock(const std::string& names, bool wide = false, DWORD offset = 20) {
    const HGLOBAL block = GlobalAlloc(GHND, offset + names.size());
    auto* p = static_cast<char*>(GlobalLock(block));
    DROPFILES header{offset, 0, 0, 0, wide ? 1 : 0};
    std::memcpy(p, &header, sizeof header);
    std::memcpy(p + offset, names.data(), names.size());
    GlobalUnlock(block);
    return block;
}

TEST(drop_list, names_are_counted_measured_and_copied) {
    GlobalBlock drop(dropBlock(std::string("/data/a.shp\0/data/my b.tif\0\0", 28)));
    EXPECT_EQ(DragQueryFile(drop.get(), 0xFFFFFFFF, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFile(drop.get(), 1, nullptr, 0), 14u);
    char buffer[260];
    EXPECT_EQ(DragQueryFile(drop.get(), 1, buffer, sizeof buffer), 14u);
    EXPECT_STREQ(buffer, "/data/my b.tif");
    EXPECT_EQ(DragQueryFile(drop.get(), 0, buffer, 6), 5u);
    EXPECT_STREQ(buffer, "/data");
    EXPECT_EQ(DragQueryFile(drop.get(), 2, buffer, sizeof buffer), 0u);

    GlobalBlock wide(dropBlock(std::string("/\0\xe9\0\0\0\0\0", 8), true));
    EXPECT_EQ(DragQueryFile(wide.get(), 0xFFFFFFFF, nullptr, 0), 1u);
    EXPECT_EQ(DragQueryFile(wide.get(), 0, buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "/\xc3\xa9");
}

TEST(drop_list, unsound_blocks_give_nothing_and_are_never_overrun) {
    char buffer[16];
    // No terminator at all: the unterminated name is not handed out.
    GlobalBlock open(dropBlock("/data/a.shp"));
    EXPECT_EQ(DragQueryFile(open.get(), 0xFFFFFFFF, nullptr, 0), 0u);
    // An offset past the block, or inside the header.
    GlobalBlock far(dropBlock(std::string("a\0\0", 3), false, 20));
    auto* header = static_cast<DWORD*>(GlobalLock(far.get()));
    header[0] = 4000;
    GlobalUnlock(far.get());
    EXPECT_EQ(DragQueryFile(far.get(), 0xFFFFFFFF, nullptr, 0), 0u);
    header = static_cast<DWORD*>(GlobalLock(far.get()));
    header[0] = 4;
    GlobalUnlock(far.get());
    EXPECT_EQ(DragQueryFile(far.get(), 0, buffer, sizeof buffer), 0u);
    // A block too small for the header, and a handle that is no block.
    GlobalBlock tiny(GlobalAlloc(GHND, 8));
    EXPECT_EQ(DragQueryFile(tiny.get(), 0xFFFFFFFF, nullptr, 0), 0u);
    EXPECT_EQ(DragQueryFile(0x1234, 0xFFFFFFFF, nullptr, 0), 0u);
}

} // namespace
