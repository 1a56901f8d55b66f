#include "adrg_sets.h"
#include "temp_dir.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <thread>

using namespace adrgtest;

namespace {

std::uintptr_t ptr(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

class exports : public testing::Test {
protected:
    void SetUp() override { resetHostCalls(); }
    testsupport::TempDir dir;
};

TEST(plugin_library, exports_exactly_the_fifteen_entry_points) {
    std::unique_ptr<FILE, int (*)(FILE*)> nm(
        popen((std::string("nm -D --defined-only ") + pluginPath()).c_str(), "r"), pclose);
    ASSERT_NE(nm, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, nm.get())) {
        char type = 0;
        char name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2)
            names.insert(name);
    }
    EXPECT_EQ(names, (std::set<std::string>{"IMDLget_ver", "IMDLverify_img", "IMDLinit_image",
                                            "IMDLopen", "IMDLbuildDIBhead", "IMDLset_row",
                                            "IMDLread_rows", "IMDLimg_name", "IMDLclose_keep",
                                            "IMDLclose_image", "IMDLerror_string", "IMDLset_ext",
                                            "IMDLescape", "IMDLprint", "IMDLrender"}));
}

TEST(plugin_library, fixed_answers_and_version_text) {
    const auto& p = plugin();
    EXPECT_STREQ(reinterpret_cast<const char*>(p.getVer()), "ADRG File Reader V1.0");
    EXPECT_EQ(p.setExt(1, 2), 1);
    EXPECT_EQ(p.escape(1, 2, 3, 4), 9);
    EXPECT_EQ(p.print(1, 2, 3, 4), 5);
    EXPECT_EQ(p.render(1, 2, 3, 4), 0);
}

TEST(plugin_library, verify_declines_only_when_both_titles_are_in_the_first_99_bytes) {
    const std::string both = "OVERVIEW_IMAGE_FILE\x1eGEO_DATA_FILE"; // 33 characters
    const struct {
        const char* name;
        std::string head;
        std::int32_t answer;
    } cases[] = {
        {"both titles", both, 0},
        {"geo data title only", "L   GEO_DATA_FILE\x1e", 1},
        {"overview title only", "OVERVIEW_IMAGE_FILE", 1},
        {"second title ends at byte 99", std::string(66, ' ') + both, 0},
        {"second title ends one byte later", std::string(67, ' ') + both, 1},
        {"titles behind a zero byte", std::string("\0", 1) + both, 1},
        {"anything else", "GIF89a", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string buffer = c.head;
        buffer.resize(100, 'z');
        const std::string before = buffer;
        EXPECT_EQ(plugin().verifyImg(ptr(buffer.data()), 0, 0), c.answer);
        EXPECT_EQ(buffer, before); // the host's bytes stay as they were
    }
}

TEST(plugin_library, error_texts_are_per_thread_and_cut_to_the_buffer) {
    // A thread that has seen no failure gets no message.
    std::string fresh = "unset";
    std::thread([&] { fresh = errorText(); }).join();
    EXPECT_EQ(fresh, "");

    EXPECT_EQ(plugin().open(0, 0), 8);
    EXPECT_EQ(errorText(), "Invalid image handle.");
    std::string other = "unset";
    std::thread([&] { other = errorText(); }).join();
    EXPECT_EQ(other, "");

    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(plugin().errorString(ptr(small), 8), 1);
    EXPECT_STREQ(small, "Invalid");
    EXPECT_EQ(plugin().errorString(ptr(small), 0), 1);
    EXPECT_EQ(plugin().errorString(0, 100), 1);
}

TEST_F(exports, values_that_are_not_live_handles_are_refused_by_every_export) {
    const std::string img = writeAdrgSet(dir.str(), 128, 128, 1);
    std::uintptr_t closed = 0;
    {
        OpenImage image(img);
        ASSERT_EQ(image.status(), 1);
        closed = image.handle();
    }
    rastrel::DibHeadRecord head{};
    std::uintptr_t dibBlock = 0;
    {
        OpenImage image(img);
        ASSERT_EQ(plugin().buildDibHead(image.handle(), ptr(&head)), 1);
        dibBlock = head.word[1];
    }
    std::uint8_t buffer[128 * 2];
    std::uintptr_t word = 0;
    for (std::uintptr_t value : {std::uintptr_t{0}, closed, closed + 0x1C, std::uintptr_t{1},
                                 std::uintptr_t{0xDEADBEEF}, dibBlock, ptr(&head)}) {
        SCOPED_TRACE(value);
        const auto& p = plugin();
        const std::int32_t answers[] = {
            p.open(value, 0),
            p.buildDibHead(value, ptr(&head)),
            p.setRow(value, 0),
            p.readRows(value, ptr(buffer), 2, 128, 0, 0),
            p.imgName(value, ptr(&word)),
            p.closeKeep(value),
            p.closeImage(value),
        };
        for (std::int32_t answer : answers)
            EXPECT_EQ(answer, 8);
        EXPECT_EQ(errorText(), "Invalid image handle.");
    }
}

TEST_F(exports, failures_answer_their_codes_and_record_their_texts) {
    const std::string img = writeAdrgSet(dir.str(), 128, 128, 1);
    // General information that cannot be read: 3, and nothing recorded.
    std::thread([&] {
        std::uintptr_t handle = 0;
        const std::string lonely = dir.makeFolder("empty") + "/ABCDEF01.IMG";
        EXPECT_EQ(plugin().initImage(ptr(lonely.c_str()), ptr(&handle), 0, 0, 0, ptr(hostProcs())),
                  3);
        EXPECT_EQ(plugin().initImage(0, ptr(&handle), 0, 0, 0, ptr(hostProcs())), 3);
        EXPECT_EQ(handle, 0u);
        EXPECT_EQ(errorText(), "");
    }).join();

    // No place for the handle: 6, and the host's file is closed.
    EXPECT_EQ(plugin().initImage(ptr(img.c_str()), 0, 4242, 0, 0, ptr(hostProcs())), 6);
    EXPECT_EQ(errorText(), "Unable to allocate memory for image.");
    EXPECT_EQ(hostCalls().closedFiles, std::vector<std::uintptr_t>{4242});

    OpenImage image(img);
    ASSERT_EQ(image.status(), 1);
    // Zero rows, or nothing to write into: 0.
    std::uint8_t buffer[256];
    EXPECT_EQ(plugin().readRows(image.handle(), ptr(buffer), 0, 128, 0, 0), 0);
    EXPECT_EQ(errorText(), "Error reading from file.");
    EXPECT_EQ(plugin().readRows(image.handle(), 0, 1, 128, 0, 0), 0);
    EXPECT_EQ(plugin().readRows(image.handle(), ptr(buffer), 1, 0, 0, 0), 0);
    EXPECT_EQ(plugin().readRows(image.handle(), ptr(buffer), -3, 128, 0, 0), 0);

    // The host's open does not answer 1: 4.
    EXPECT_EQ(plugin().closeKeep(image.handle()), 1);
    setOpenFails(true);
    EXPECT_EQ(plugin().open(image.handle(), 0), 4);
    EXPECT_EQ(errorText(), "Cannot open file.");

    // Successful calls leave the text alone.
    EXPECT_EQ(plugin().setRow(image.handle(), 3), 1);
    EXPECT_EQ(errorText(), "Cannot open file.");
}

TEST_F(exports, open_and_close_follow_the_file_value) {
    const std::string img = writeAdrgSet(dir.str(), 128, 128, 1);
    // A file the host already opened is used as it is.
    std::uintptr_t handle = 0;
    ASSERT_EQ(plugin().initImage(ptr(img.c_str()), ptr(&handle), 5000, 0, 0, ptr(hostProcs())), 1);
    EXPECT_EQ(plugin().open(handle, 0), 1);
    EXPECT_EQ(hostCalls().opens, 0);
    EXPECT_EQ(plugin().closeKeep(handle), 1);
    EXPECT_EQ(hostCalls().closedFiles, std::vector<std::uintptr_t>{5000});
    EXPECT_EQ(plugin().closeKeep(handle), 1); // closed already: nothing more
    EXPECT_EQ(hostCalls().closes, 1);
    // Kept handles open again through the host.
    EXPECT_EQ(plugin().open(handle, 0), 1);
    EXPECT_EQ(plugin().open(handle, 0), 1);
    EXPECT_EQ(hostCalls().opens, 1);
    std::uintptr_t name = 0;
    EXPECT_EQ(plugin().imgName(handle, ptr(&name)), 1);
    EXPECT_EQ(name, ptr(img.c_str()));
    EXPECT_EQ(plugin().closeImage(handle), 1);
    EXPECT_EQ(hostCalls().closes, 2);
    EXPECT_EQ(plugin().closeImage(handle), 8);
}

TEST_F(exports, bitmap_header_record_and_block) {
    writeAdrgSet(dir.str(), 5 * 128, 3 * 128, 1);
    OpenImage image(dir / "ABCDEF01.IMG");
    std::uintptr_t words[5] = {77, 1, 2, 3, 4};
    ASSERT_EQ(plugin().buildDibHead(image.handle(), ptr(words)), 1);
    EXPECT_EQ(words[0], 77u);
    EXPECT_EQ(words[2], 0u);
    EXPECT_EQ(words[3], 640u);
    EXPECT_EQ(words[4], 384u);
    // The block itself is checked byte by byte with the colour table.
    const auto* block = reinterpret_cast<const std::uint8_t*>(words[1]);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[4] | block[5] << 8, 640);
    EXPECT_EQ(plugin().buildDibHead(image.handle(), 0), 6);
}

} // namespace
