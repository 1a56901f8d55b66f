#include "finder/desktop_shortcut.h"
#include "finder/saved_search.h"
#include "finder/saved_search_form.h"

#include "hive_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace finder;
using testsupport::ScopedEnv;
using testsupport::TempDir;

const std::vector<RowTexts> kThreeRows = {
    {"roads.shp", "/data/a", "12KB", "ESRI Shapefile", "3/7/1999 9:05 AM"},
    {"dem.tif", "/data/b", "1024KB", "GeoTIFF", "12/31/2020 11:59 PM"},
    {"x", "/", "0KB", "File", ""},
};

// Every field set to a text or state of its own.
SavedSearch knownSearch() {
    SavedSearch s;
    SavedSearchHeader& h = s.header;
    h.namedText = "*.SHP";
    h.lookInText = "/data";
    h.recurse = true;
    h.findAllModified = true;
    h.between = true;
    h.dateStartText = "09/09/2026";
    h.dateEndText = "12/09/2026";
    h.prevMonthsText = "3";
    h.previousDays = true;
    h.prevDaysText = "12";
    h.intersection = true;
    h.northwestX = "10 30 W";
    h.northwestY = "45.5";
    h.southeastX = "-12 15 30";
    h.southeastY = "30 N";
    h.systemGroupText = "UTM";
    h.systemText = "UTM Zone 33 North";
    h.datumText = "WGS 84";
    h.sizeModeText = "at most";
    h.kbText = "250";
    h.rowCount = 3;
    h.geodetic = true;
    h.zoomCenterX = 12.5;
    h.zoomCenterY = -33.25;
    h.zoomScale = 4.0;
    s.rows = kThreeRows;
    return s;
}

std::string bytesAt(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(bytes.data()) + offset, size);
}

std::string padded(std::string_view text, std::size_t size) {
    std::string field(text);
    field.resize(size, '\0');
    return field;
}

std::string littleEndian(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    std::string out;
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>(bits >> (8 * i));
    return out;
}

TEST(SavedSearchFile, header_holds_every_field_at_its_offset) {
    const std::vector<std::uint8_t> bytes = encodeSavedSearch(knownSearch());
    ASSERT_EQ(bytes.size(), kSavedSearchHeaderSize); // results flag not set: no rows
    const struct {
        std::size_t offset;
        std::string expected;
    } fields[] = {
        {0, padded("*.SHP", 260)},
        {260, padded("/data", 260)},
        {520, std::string("\1\0\1\1", 4)}, // recurse, all files, modified, between
        {524, padded("09/09/2026", 12)},
        {536, padded("12/09/2026", 12)},
        {548, std::string("\0"
                          "3\0\0\0"
                          "\1"
                          "12\0\0",
                          10)},
        {558, std::string("\0\0\1", 3)}, // inclusive, exclusive, intersection
        {561, padded("10 30 W", 32)},
        {593, padded("45.5", 32)},
        {625, padded("-12 15 30", 32)},
        {657, padded("30 N", 32)},
        {689, padded("UTM", 256)},
        {945, padded("UTM Zone 33 North", 256)},
        {1201, padded("WGS 84", 256)},
        {1457, padded("at most", 9)},
        {1466, padded("250", 16)},
        {1482, std::string("\0\0\3\0\0\0\1\0\0\0", 10)}, // flag, zero, count, Lat/Lon, zeros
        {1492, littleEndian(12.5) + littleEndian(-33.25) + littleEndian(4.0)},
    };
    for (const auto& field : fields)
        EXPECT_EQ(bytesAt(bytes, field.offset, field.expected.size()), field.expected)
            << "at offset " << field.offset;
}

TEST(SavedSearchFile, results_follow_the_header_as_five_texts_a_row) {
    SavedSearch saved = knownSearch();
    saved.header.saveResults = true;
    const std::vector<std::uint8_t> bytes = encodeSavedSearch(saved);
    std::string expected;
    for (const RowTexts& row : kThreeRows)
        for (const std::string& text : {row.name, row.folder, row.size, row.type, row.modified})
            expected += text + '\0';
    EXPECT_EQ(bytes[1482], 1);
    ASSERT_EQ(bytes.size(), kSavedSearchHeaderSize + expected.size());
    EXPECT_EQ(bytesAt(bytes, kSavedSearchHeaderSize, expected.size()), expected);
    EXPECT_EQ(std::count(bytes.begin() + kSavedSearchHeaderSize, bytes.end(), 0), 15);

    const SavedSearch back = decodeSavedSearch(bytes.data(), bytes.size());
    EXPECT_TRUE(back.headerComplete && back.rowsComplete);
    EXPECT_EQ(encodeSavedSearch(back), bytes);
}

// Texts too long for their field are cut so that a NUL still ends them,
// never inside a character of the locale's encoding.
TEST(SavedSearchFile, long_texts_are_cut_on_a_character_boundary) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const struct {
        std::string text;
        std::size_t limit;
        std::string cut;
    } cases[] = {
        {"abcdef", 3, "abc"},
        {"ab\xc3\xa9", 3, "ab"},                         // é would need bytes 3 and 4
        {"\xe2\x82\xac\xe2\x82\xac", 5, "\xe2\x82\xac"}, // €€
        {"a\xff\xfe"
         "b",
         3, "a\xff\xfe"}, // bytes of no character count alone
        {"short", 31, "short"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cutOnCharacter(c.text, c.limit), c.cut) << c.text;

    SavedSearch saved;
    saved.header.prevMonthsText = "12345";
    saved.header.namedText = std::string(300, 'n');
    const auto bytes = encodeSavedSearch(saved);
    EXPECT_EQ(bytesAt(bytes, 549, 4), std::string("123\0", 4));
    EXPECT_EQ(decodeSavedSearch(bytes.data(), bytes.size()).header.namedText,
              std::string(259, 'n'));
    std::setlocale(LC_CTYPE, "C");
}

// Every length of a damaged file reads without fault; what was read is a
// prefix of what was written, and nothing past the data is taken.
TEST(SavedSearchFile, truncated_files_read_what_they_hold) {
    SavedSearch saved = knownSearch();
    saved.header.saveResults = true;
    const std::vector<std::uint8_t> whole = encodeSavedSearch(saved);
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + length);
        const SavedSearch got = decodeSavedSearch(part.data(), part.size());
        ASSERT_EQ(got.headerComplete, length >= kSavedSearchHeaderSize) << length;
        ASSERT_LE(got.rows.size(), 3u);
        // Rows are missing once the flag and the count's first byte are read.
        ASSERT_EQ(got.rowsComplete, length <= 1484 || length == whole.size()) << length;
        if (length <= 260) {
            ASSERT_EQ(got.header.namedText, saved.header.namedText.substr(0, length));
        }
        for (std::size_t r = 0; r < got.rows.size(); ++r)
            ASSERT_EQ(kThreeRows[r].name.rfind(got.rows[r].name, 0), 0u);
    }
}

TEST(SavedSearchFile, a_row_count_the_data_does_not_back_yields_the_rows_there_are) {
    SavedSearch saved = knownSearch();
    saved.header.saveResults = true;
    saved.rows.back().modified = "1/2/2003 4:05 PM";
    const struct {
        std::int32_t storedCount;
        std::size_t cut; // bytes taken from the end of the file
        std::size_t rowsRead;
        bool complete;
    } cases[] = {{3, 0, 3, true}, {2, 0, 2, true}, {7, 0, 3, false}, {-1, 0, 3, false},
                 {0, 0, 0, true}, {3, 1, 2, false}}; // the last row's date text without its end
    for (const auto& c : cases) {
        auto bytes = encodeSavedSearch(saved);
        bytes.resize(bytes.size() - c.cut);
        const auto count = static_cast<std::uint32_t>(c.storedCount);
        std::memcpy(bytes.data() + 1484, &count, 4);
        const SavedSearch got = decodeSavedSearch(bytes.data(), bytes.size());
        EXPECT_EQ(got.rows.size(), c.rowsRead) << c.storedCount;
        EXPECT_EQ(got.rowsComplete, c.complete) << c.storedCount;
        EXPECT_EQ(shownRowCount(got), static_cast<int>(c.rowsRead)) << c.storedCount;
    }
}

TEST(SavedSearchName, numbering_follows_the_last_save_and_never_reuses_a_name) {
    const struct {
        std::string named;
        int saves;
        std::vector<std::string> names; // of the last saves, in order
    } cases[] = {
        {"*.SHP", 3, {"@.SHP.wqs", "@.SHP1.wqs", "@.SHP2.wqs"}},
        {"( All types )", 3, {"( All types ).wqs", "( All types )1.wqs", "( All types )2.wqs"}},
        {"*.SHP", 12, {"@.SHP9.wqs", "@.SHP10.wqs", "@.SHP11.wqs"}},
        {"a?b/c", 2, {"a!b_c.wqs", "a!b_c1.wqs"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> folder{"other.wqs"};
        std::vector<std::string> made;
        for (int i = 0; i < c.saves; ++i) {
            made.push_back(savedSearchFileName(c.named, folder));
            folder.push_back(made.back());
            std::sort(folder.begin(), folder.end()); // listed in name order
        }
        EXPECT_EQ(std::vector<std::string>(made.end() - c.names.size(), made.end()), c.names);
        std::sort(made.begin(), made.end());
        EXPECT_EQ(std::unique(made.begin(), made.end()), made.end()) << c.named;
    }
}

// Writes the known search to `path` and returns its bytes.
std::string writeEarlierFile(const std::string& path) {
    EXPECT_TRUE(writeSavedSearchFile(path, knownSearch()).ok);
    return TempDir::readFile(path);
}

TEST(SavedSearchFile, a_failed_write_leaves_the_earlier_file_and_no_partial_one) {
    TempDir dir;
    const std::string path = dir / "kept.wqs";
    const SavedSearch first = knownSearch();
    const std::string before = writeEarlierFile(path);
    EXPECT_EQ(before.size(), kSavedSearchHeaderSize);

    // A folder in the file's place cannot be replaced: the write fails whole.
    const std::string blocked = dir.makeFolder("blocked.wqs");
    const SavedSearchFileResult failed = writeSavedSearchFile(blocked, first);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.errorText, std::strerror(EISDIR));
    const SavedSearchFileResult missing = writeSavedSearchFile(dir / "no/such.wqs", first);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.errorText, std::strerror(ENOENT));

    EXPECT_EQ(TempDir::readFile(path), before);
    EXPECT_EQ(folderFileNames(dir.str()),
              (std::vector<std::string>{".", "..", "blocked.wqs", "kept.wqs"}));
}

// A save cut off at any byte (the file-size limit of a child process stands
// for a full disk) fails whole: the earlier file stays, no temporary remains.
TEST(SavedSearchFile, a_save_cut_off_at_any_byte_keeps_the_earlier_file) {
    TempDir dir;
    const std::string path = dir / "s.wqs";
    const std::string before = writeEarlierFile(path);
    SavedSearch later = knownSearch();
    later.header.namedText = "*.TAB";
    later.header.saveResults = true;
    const std::size_t size = encodeSavedSearch(later).size();
    for (const std::size_t limit :
         {std::size_t{0}, std::size_t{1}, std::size_t{1000}, kSavedSearchHeaderSize, size - 1}) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit cap{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &cap);
            const SavedSearchFileResult result = writeSavedSearchFile(path, later);
            ::_exit(result.ok ? 0 : result.error == EFBIG ? 3 : 4);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(WEXITSTATUS(status), 3) << limit;
        EXPECT_EQ(TempDir::readFile(path), before) << limit;
        EXPECT_EQ(folderFileNames(dir.str()).size(), 3u) << limit; // ".", "..", s.wqs
    }
}

TEST(SavedSearchFile, what_is_not_a_regular_file_is_refused_without_blocking) {
    TempDir dir;
    const std::string fifo = dir / "pipe.wqs";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        int error;
    } cases[] = {{dir / "missing.wqs", ENOENT}, {dir.str(), EISDIR}, {fifo, EINVAL}};
    for (const auto& c : cases) {
        int error = 0;
        EXPECT_FALSE(readSavedSearchFile(c.path, &error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
    }
}

TEST(SavedSearchForm, a_header_made_from_a_form_gives_the_same_form_back) {
    CriteriaForm form;
    form.namedText = "*.TAB";
    form.startFolder = "/srv/gis data";
    form.includeSubfolders = false;
    form.findAllModified = form.previousDays = true;
    form.prevDaysText = "30";
    form.northwestX = "10";
    form.northwestY = "50";
    form.southeastX = "20";
    form.southeastY = "40";
    form.latLonMode = false;
    form.areaMode = AreaMode::Exclusive;
    form.groupName = "UTM";
    form.sizeMode = SizeMode::AtLeast;
    form.kbText = "5";
    const SavedSearchHeader header = headerOfForm(form, "/srv/gis data", {2026, 12, 9});
    EXPECT_EQ(header.dateStartText, "09/09/2026"); // the window's default dates
    EXPECT_EQ(header.dateEndText, "12/09/2026");
    EXPECT_EQ(header.systemText, "( Any )");
    const CriteriaForm back = formOfHeader(header);
    EXPECT_EQ(back.startFolder, form.startFolder);
    EXPECT_EQ(back.includeSubfolders, false);
    EXPECT_TRUE(back.previousDays && !back.between && back.prevDaysText == "30");
    EXPECT_EQ(back.areaMode, AreaMode::Exclusive);
    EXPECT_EQ(back.groupName, form.groupName);
    EXPECT_FALSE(back.systemName.has_value());
    EXPECT_EQ(back.sizeMode, SizeMode::AtLeast);
    EXPECT_EQ(back.latLonMode, false);
}

TEST(DesktopShortcut, exec_arguments_are_quoted_as_launchers_need) {
    const struct {
        std::string argument;
        std::string exec;
    } cases[] = {
        {"/usr/bin/kavrel", "/usr/bin/kavrel"},
        {"/home/me/my searches/@.SHP.wqs", "\"/home/me/my searches/@.SHP.wqs\""},
        {"/a/$x`y\"z.wqs", "\"/a/\\\\$x\\\\`y\\\\\"z.wqs\""},
        {"/a/back\\slash", "\"/a/back\\\\\\\\slash\""},
        {"/a/100%.wqs", "/a/100%%.wqs"},
        {"/a/( All types ).wqs", "\"/a/( All types ).wqs\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(execArgument(c.argument), c.exec) << c.argument;
}

TEST(DesktopShortcut, launcher_goes_to_the_hive_desktop_else_the_xdg_one_and_is_executable) {
    TempDir dir;
    const std::string hiveDesktop = dir.makeFolder("hive desk");
    const std::string xdgDesktop = dir.makeFolder("home/Desktop");
    const std::string shellFolders =
        "[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n";
    const struct {
        std::string userHive;
        std::string folder;
    } cases[] = {
        {"REGEDIT4\n\n" + shellFolders + "\"Desktop\"=\"" + hiveDesktop + "\"\n", hiveDesktop},
        {"REGEDIT4\n\n" + shellFolders, xdgDesktop},
    };
    ScopedEnv home("HOME", dir / "home");
    ScopedEnv config("XDG_CONFIG_HOME", dir / "home/.config");
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "");
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    for (const auto& c : cases) {
        testsupport::HiveEnv hives("REGEDIT4\n", c.userHive);
        ASSERT_TRUE(makeDesktopShortcut("@.SHP.wqs", "/s p/@.SHP.wqs"));
        const std::string path = c.folder + "/Shortcut to @.SHP.wqs.desktop";
        const std::string text = TempDir::readFile(path);
        EXPECT_NE(text.find("Name=Shortcut to @.SHP.wqs\n"), std::string::npos) << text;
        EXPECT_NE(text.find("Comment=Shortcut to @.SHP.wqs\\s\n"), std::string::npos) << text;
        EXPECT_NE(text.find(" \"/s p/@.SHP.wqs\"\n"), std::string::npos) << text;
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0100, 0100u);
    }
}

} // namespace
