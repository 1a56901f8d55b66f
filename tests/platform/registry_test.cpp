#include "platform/registry.h"

#include "hive_env.h"

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace platform;
using testsupport::HiveEnv;

const char* const kMachineHive = R"(REGEDIT4

; installed by the setup
[Software\Quorvane Geo]
"DataBasePath"="C:\\Data \"main\"\\Datora"

[HKEY_LOCAL_MACHINE\Software\Quorvane Geo\Morvane Find]
"Options"=dword:0000000a
"SupportedFormats" = "*.SHP,*.TIF"
@="product default"
"Blob"=hex:01,02,\
  ff

[Software\Microsoft\Windows\CurrentVersion\App Paths\kavrel]
@="/opt/kavrel/bin"
)";

constexpr const char* kProduct = "Software\\Quorvane Geo\\Morvane Find";

std::string queryText(const RegistryKey& key, const char* name) {
    char buffer[260] = {};
    std::uint32_t size = sizeof buffer;
    std::uint32_t type = 0;
    if (key.queryValue(name, &type, buffer, &size) != ERROR_SUCCESS || type != REG_SZ)
        return "<failed>";
    return std::string(buffer, size - 1);
}

std::uint32_t queryDword(const RegistryKey& key, const char* name) {
    std::uint32_t value = 0, size = 4, type = 0;
    EXPECT_EQ(key.queryValue(name, &type, &value, &size), ERROR_SUCCESS) << name;
    EXPECT_EQ(type, REG_DWORD);
    return value;
}

long setText(RegistryKey& key, const char* name, const std::string& text) {
    return key.setValue(name, REG_SZ, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
}

TEST(registry, opens_existing_keys_only_ignoring_case_and_outer_backslashes) {
    HiveEnv env(kMachineHive);
    struct Case {
        const char* key;
        long expected;
    } cases[] = {
        {"Software\\Quorvane Geo\\", ERROR_SUCCESS},
        {"software\\QUORVANE GEO\\morvane find", ERROR_SUCCESS},
        {"Software", ERROR_SUCCESS}, // a parent of a section exists too
        {"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kavrel", ERROR_SUCCESS},
        {"Software\\Quorvane", ERROR_FILE_NOT_FOUND}, // a prefix, not a key
        {"Software\\Quorvane Geo\\Other", ERROR_FILE_NOT_FOUND},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tollan", ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        RegistryKey key;
        EXPECT_EQ(key.open(Hive::LocalMachine, c.key, RegAccess::Query), c.expected) << c.key;
        EXPECT_EQ(key.isOpen(), c.expected == ERROR_SUCCESS) << c.key;
    }
}

TEST(registry, a_root_name_behind_a_backslash_names_the_same_key_in_hive_and_call) {
    HiveEnv env("REGEDIT4\n[\\HKEY_LOCAL_MACHINE\\Software\\X\\]\n\"V\"=\"found\"\n");
    for (const char* spelling :
         {"Software\\X", "\\HKEY_LOCAL_MACHINE\\Software\\X", "\\HKLM\\ Software\\X\\"}) {
        RegistryKey key;
        ASSERT_EQ(key.open(Hive::LocalMachine, spelling, RegAccess::Query), 0) << spelling;
        EXPECT_EQ(queryText(key, "V"), "found") << spelling;
    }
}

TEST(registry, queries_texts_dwords_defaults_and_binary_values) {
    HiveEnv env(kMachineHive);
    RegistryKey maker, product;
    ASSERT_EQ(maker.open(Hive::LocalMachine, "Software\\Quorvane Geo\\", RegAccess::Query), 0);
    ASSERT_EQ(product.open(Hive::LocalMachine, kProduct, RegAccess::Query), 0);
    EXPECT_EQ(queryText(maker, "DataBasePath"), "C:\\Data \"main\"\\Datora");
    EXPECT_EQ(queryText(maker, "databasepath"), "C:\\Data \"main\"\\Datora");
    EXPECT_EQ(queryDword(product, "Options"), 10u);
    EXPECT_EQ(queryText(product, "SupportedFormats"), "*.SHP,*.TIF");
    EXPECT_EQ(queryText(product, ""), "product default");

    unsigned char blob[8] = {};
    std::uint32_t size = sizeof blob, type = 0;
    ASSERT_EQ(product.queryValue("Blob", &type, blob, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, 3u);
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(blob[2], 0xFF);

    size = 4;
    EXPECT_EQ(product.queryValue("Missing", &type, blob, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(maker.queryValue("", &type, blob, &size), ERROR_FILE_NOT_FOUND); // no default set
}

TEST(registry, reports_the_needed_size_when_a_value_does_not_fit) {
    HiveEnv env(kMachineHive);
    RegistryKey product;
    ASSERT_EQ(product.open(Hive::LocalMachine, kProduct, RegAccess::Query), 0);
    const std::uint32_t needed = std::strlen("*.SHP,*.TIF") + 1;

    char small[4] = {'x', 'x', 'x', 'x'};
    std::uint32_t size = sizeof small;
    EXPECT_EQ(product.queryValue("SupportedFormats", nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, needed);

    char exact[12] = {};
    size = needed;
    EXPECT_EQ(product.queryValue("SupportedFormats", nullptr, exact, &size), ERROR_SUCCESS);
    EXPECT_STREQ(exact, "*.SHP,*.TIF");

    size = 0; // no buffer: only the size is asked for
    EXPECT_EQ(product.queryValue("SupportedFormats", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(product.queryValue("SupportedFormats", nullptr, exact, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST(registry, refuses_closed_keys_and_the_wrong_access) {
    HiveEnv env(kMachineHive);
    RegistryKey key;
    std::uint32_t value = 1, size = 4;
    EXPECT_EQ(key.queryValue("Options", nullptr, &value, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.setValue("Options", REG_DWORD, &value, 4), ERROR_INVALID_HANDLE);

    ASSERT_EQ(key.open(Hive::LocalMachine, kProduct, RegAccess::SetValue), 0);
    EXPECT_EQ(key.queryValue("Options", nullptr, &value, &size), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key.setValue("Options", REG_DWORD, &value, 2), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(key.open(Hive::LocalMachine, kProduct, RegAccess::Query), 0);
    EXPECT_EQ(key.setValue("Options", REG_DWORD, &value, 4), ERROR_ACCESS_DENIED);
    key.close();
    EXPECT_EQ(key.queryValue("Options", nullptr, &value, &size), ERROR_INVALID_HANDLE);

    RegistryKey moved = std::move(key);
    EXPECT_FALSE(moved.isOpen());
}

TEST(registry, set_value_rewrites_one_line_and_keeps_the_rest) {
    HiveEnv env(kMachineHive);
    RegistryKey key;
    ASSERT_EQ(key.open(Hive::LocalMachine, kProduct, RegAccess::SetValue), 0);
    const std::uint32_t two = 2;
    ASSERT_EQ(key.setValue("OPTIONS", REG_DWORD, &two, 4), 0);
    ASSERT_EQ(setText(key, "Viewer", "C:\\Tools\\\"tollan\""), 0);

    std::string expected = kMachineHive;
    expected.replace(expected.find("\"Options\"=dword:0000000a"), 24, "\"Options\"=dword:00000002");
    expected.insert(expected.find("\n\n[Software\\Microsoft"),
                    "\n\"Viewer\"=\"C:\\\\Tools\\\\\\\"tollan\\\"\"");
    EXPECT_EQ(env.systemText(), expected);

    RegistryKey reader;
    ASSERT_EQ(reader.open(Hive::LocalMachine, kProduct, RegAccess::Query), 0);
    EXPECT_EQ(queryDword(reader, "Options"), 2u);
    EXPECT_EQ(queryText(reader, "Viewer"), "C:\\Tools\\\"tollan\"");
}

TEST(registry, texts_survive_a_round_trip_whatever_they_hold) {
    HiveEnv env(kMachineHive);
    RegistryKey writer, reader;
    ASSERT_EQ(writer.open(Hive::LocalMachine, "Software", RegAccess::SetValue), 0);
    ASSERT_EQ(reader.open(Hive::LocalMachine, "Software", RegAccess::Query), 0);
    for (const std::string text :
         {"", "\\", "\"", "two\nlines\r\n", "; not a comment", "[x]", "tab\tand trailing blank "}) {
        ASSERT_EQ(setText(writer, "Text", text), 0);
        EXPECT_EQ(queryText(reader, "Text"), text);
    }
    // A size without the NUL still stores the whole text.
    ASSERT_EQ(writer.setValue("", REG_SZ, "abc", 3), 0);
    EXPECT_EQ(queryText(reader, ""), "abc");
}

TEST(registry, values_of_any_type_survive_a_round_trip_with_the_type_written_in_hex) {
    HiveEnv env(kMachineHive);
    RegistryKey writer, reader;
    ASSERT_EQ(writer.open(Hive::LocalMachine, "Software", RegAccess::SetValue), 0);
    ASSERT_EQ(reader.open(Hive::LocalMachine, "Software", RegAccess::Query), 0);
    struct Case {
        std::uint32_t type;
        const char* line; // as the hive file spells it
    } cases[] = {{2, "hex(2):01,00,ff"},
                 {7, "hex(7):01,00,ff"},
                 {11, "hex(b):01,00,ff"},
                 {0x5b, "hex(5b):01,00,ff"},
                 {0xffffffff, "hex(ffffffff):01,00,ff"}};
    const unsigned char bytes[] = {1, 0, 0xff};
    for (const Case& c : cases) {
        ASSERT_EQ(writer.setValue("Value", c.type, bytes, sizeof bytes), 0);
        EXPECT_NE(env.systemText().find(std::string("\"Value\"=") + c.line), std::string::npos)
            << c.line;
        unsigned char back[8] = {};
        std::uint32_t size = sizeof back, type = 0;
        ASSERT_EQ(reader.queryValue("Value", &type, back, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(back), size),
                  std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));
    }
}

TEST(registry, keys_are_never_created) {
    // A prefix without an installed default-user hive.
    testsupport::TempDir prefix;
    testsupport::ScopedEnv prefixEnv("KAVREL_PREFIX", prefix.str());
    HiveEnv env(kMachineHive, std::nullopt);
    RegistryKey key;
    EXPECT_EQ(key.open(Hive::LocalMachine, "Software\\New Key", RegAccess::SetValue),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(env.systemText(), kMachineHive);

    // The current user's hive is made from the empty template: no product key.
    EXPECT_EQ(key.open(Hive::CurrentUser, kProduct, RegAccess::SetValue), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(env.userText(), "REGEDIT4\n\n");

    // A missing machine hive has no keys at all and is not made.
    HiveEnv none(std::nullopt);
    EXPECT_EQ(key.open(Hive::LocalMachine, "Software", RegAccess::Query), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(::access(none.systemPath().c_str(), F_OK), 0);
}

TEST(registry, a_new_user_hive_starts_from_the_installed_default) {
    testsupport::TempDir prefix;
    prefix.writeFile("share/kavrel/default-user.reg",
                     "REGEDIT4\n\n[Software\\Quorvane Geo\\Morvane Find]\n\"Options\"=dword:0\n");
    testsupport::ScopedEnv prefixEnv("KAVREL_PREFIX", prefix.str());
    HiveEnv env(kMachineHive, std::nullopt);
    testsupport::ScopedEnv userEnv("KAVREL_USER_HIVE", env.dir() / "deep/folder/user.reg");

    RegistryKey key;
    ASSERT_EQ(key.open(Hive::CurrentUser, kProduct, RegAccess::SetValue), 0);
    const std::uint32_t two = 2;
    ASSERT_EQ(key.setValue("Options", REG_DWORD, &two, 4), 0);
    EXPECT_EQ(testsupport::TempDir::readFile(env.dir() / "deep/folder/user.reg"),
              "REGEDIT4\n\n[Software\\Quorvane Geo\\Morvane Find]\n\"Options\"=dword:00000002\n");
    // The template itself is untouched.
    EXPECT_NE(
        testsupport::TempDir::readFile(prefix / "share/kavrel/default-user.reg").find("dword:0\n"),
        std::string::npos);
}

TEST(registry, a_hive_with_broken_lines_is_read_where_sound_and_never_written) {
    const std::string broken = R"(REGEDIT4

[Software\Quorvane Geo\Morvane Find]
Options=2
"SupportedFormats"="*.SHP"
"Unclosed"="text
[Software\Quorvane Geo
"DataBasePath"="belongs to no key"
[Software\Other]
"Count"=dword:123456789
"Name"="other"
)";
    HiveEnv env(broken);
    RegistryKey key;
    ASSERT_EQ(key.open(Hive::LocalMachine, kProduct, RegAccess::Query), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(queryText(key, "SupportedFormats"), "*.SHP");
    EXPECT_EQ(queryText(key, "Unclosed"), "<failed>");
    EXPECT_EQ(queryText(key, "DataBasePath"), "<failed>"); // not taken into the section above
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_EQ(reported, ""); // reported once, at the first read, already done by open()

    ASSERT_EQ(key.open(Hive::LocalMachine, "Software\\Other", RegAccess::SetValue), 0);
    std::uint32_t one = 1;
    EXPECT_EQ(key.setValue("Count", REG_DWORD, &one, 4), ERROR_BADDB);
    EXPECT_EQ(env.systemText(), broken);

    // Without the header nothing is trusted; a byte-order mark or the newer
    // header do no harm.
    const struct {
        const char* header;
        long expected;
    } headers[] = {
        {"", ERROR_FILE_NOT_FOUND},
        {"REGEDIT5\n", ERROR_FILE_NOT_FOUND},
        {"\xEF\xBB\xBFREGEDIT4\n", ERROR_SUCCESS},
        {"\r\nWindows Registry Editor Version 5.00\r\n", ERROR_SUCCESS},
    };
    for (const auto& h : headers) {
        HiveEnv hive(std::string(h.header) + "[Software]\n\"A\"=\"b\"\n");
        EXPECT_EQ(key.open(Hive::LocalMachine, "Software", RegAccess::Query), h.expected)
            << h.header;
    }
}

TEST(registry, reports_a_broken_hive_once_with_its_line_numbers) {
    HiveEnv env("REGEDIT4\n\n[Software]\n\"A\"=dword:xyz\n\"B\"=\"ok\"\n");
    testing::internal::CaptureStderr();
    RegistryKey key;
    ASSERT_EQ(key.open(Hive::LocalMachine, "Software", RegAccess::Query), 0);
    EXPECT_EQ(queryText(key, "B"), "ok");
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find(env.systemPath()), std::string::npos) << reported;
    EXPECT_NE(reported.find("line 4"), std::string::npos) << reported;
    EXPECT_EQ(reported.find(env.systemPath()), reported.rfind(env.systemPath())) << reported;
}

TEST(registry, rewrites_replace_the_file_instead_of_changing_it_in_place) {
    HiveEnv env(kMachineHive);
    ::chmod(env.systemPath().c_str(), 0640);
    const int before = ::open(env.systemPath().c_str(), O_RDONLY);
    ASSERT_GE(before, 0);
    RegistryKey key;
    ASSERT_EQ(key.open(Hive::LocalMachine, kProduct, RegAccess::SetValue), 0);
    ASSERT_EQ(setText(key, "SupportedFormats", "*.DXF"), 0);

    // A reader that had the hive open still reads the whole old text.
    std::string old(std::strlen(kMachineHive) + 16, '\0');
    const ssize_t n = ::read(before, old.data(), old.size());
    ::close(before);
    EXPECT_EQ(old.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0), kMachineHive);

    struct stat st {};
    ASSERT_EQ(::stat(env.systemPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    std::size_t files = 0; // hive, its lock file and nothing temporary
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(env.dir().path()))
        ++files;
    EXPECT_EQ(files, 3u);
}

TEST(registry, a_hive_behind_a_symbolic_link_stays_a_link) {
    HiveEnv env(std::nullopt);
    const std::string real = env.dir().writeFile("dotfiles/system.reg", kMachineHive);
    ASSERT_EQ(::symlink(real.c_str(), env.systemPath().c_str()), 0);
    RegistryKey key;
    ASSERT_EQ(key.open(Hive::LocalMachine, kProduct, RegAccess::SetValue), 0);
    ASSERT_EQ(setText(key, "SupportedFormats", "*.DXF"), 0);
    struct stat st {};
    ASSERT_EQ(::lstat(env.systemPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(testsupport::TempDir::readFile(real).find("\"*.DXF\""), std::string::npos);
}

TEST(registry, concurrent_writes_and_reads_never_see_a_torn_or_lost_value) {
    HiveEnv env(kMachineHive);
    constexpr std::uint32_t kRounds = 60;
    std::atomic<bool> failed{false};
    auto writer = [&](const char* name) {
        RegistryKey key;
        if (key.open(Hive::LocalMachine, kProduct, RegAccess::SetValue) != 0)
            failed = true;
        for (std::uint32_t i = 1; i <= kRounds; ++i)
            if (key.setValue(name, REG_DWORD, &i, 4) != 0)
                failed = true;
    };
    std::atomic<int> writersDone{0};
    std::thread a([&] { writer("A"), ++writersDone; });
    std::thread b([&] { writer("B"), ++writersDone; });
    int reads = 0;
    while (writersDone < 2 || reads == 0) {
        RegistryKey key;
        ASSERT_EQ(key.open(Hive::LocalMachine, kProduct, RegAccess::Query), 0);
        EXPECT_EQ(queryText(key, "SupportedFormats"), "*.SHP,*.TIF");
        ++reads;
    }
    a.join();
    b.join();
    EXPECT_FALSE(failed);
    RegistryKey key;
    ASSERT_EQ(key.open(Hive::LocalMachine, kProduct, RegAccess::Query), 0);
    EXPECT_EQ(queryDword(key, "A"), kRounds);
    EXPECT_EQ(queryDword(key, "B"), kRounds);
}

} // namespace
