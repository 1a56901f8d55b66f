// kavrel-find's bash completion run as bash runs it: COMP_WORDS and
// COMP_CWORD set, the function called, COMPREPLY read back. Names come from
// the build tree's kavrel-find and its coordinate-system database.
#include "hive_env.h"
#include "run_command.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::TempDir;
using Words = std::vector<std::string>;

const std::string kBashCompletion = "/usr/share/bash-completion/bash_completion";
const std::string kUtm = "Universal Transverse Mercator (UTM)";
const std::string kQuotedUtm = "'Universal Transverse Mercator (UTM)'";

// Texts joined (GCC 12 warns wrongly on "text" + string).
std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text.append(part);
    return text;
}

std::string shellQuoted(const std::string& text) {
    std::string quoted(1, '\'');
    for (char c : text)
        quoted.append(c == '\'' ? std::string_view("'\\''") : std::string_view(&c, 1));
    quoted.push_back('\'');
    return quoted;
}

// The candidates for the last of `words` (as typed, quotes included), sorted.
Words complete(const Words& words, const std::string& folder) {
    static const std::string script =
        joined({"source ", kBashCompletion, "\nsource ", KAVREL_BUILD_DIR,
                "/share/bash-completion/completions/kavrel-find\n", R"(COMP_WORDS=("$@")
COMP_CWORD=$(($# - 1))
COMP_LINE="$*"
COMP_POINT=${#COMP_LINE}
_kavrel_find "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
printf '%s\n' "${COMPREPLY[@]}"
)"});
    std::string command =
        joined({"cd ", shellQuoted(folder), " && PATH=", shellQuoted(KAVREL_BUILD_DIR "/bin"),
                ":\"$PATH\" bash -c ", shellQuoted(script), " completion"});
    for (const std::string& word : words)
        command.append(joined({" ", shellQuoted(word)}));
    command.append(" 2>/dev/null");
    const auto run = testsupport::runCommand(command);
    Words candidates;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            candidates.push_back(line);
    std::sort(candidates.begin(), candidates.end());
    return candidates;
}

class BashCompletion : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(kBashCompletion)) << "bash-completion is not installed";
        tree.writeFile("maps/roads.shp");
        tree.writeFile("maps/old.wqs");
        tree.writeFile("mine.wqs");
        tree.writeFile("notes.txt");
    }
    testsupport::HiveEnv hives{testsupport::databaseHive(KAVREL_DATA_DIR)};
    TempDir tree;
};

TEST_F(BashCompletion, options_values_files_and_folders) {
    const struct {
        Words words;
        Words candidates;
    } cases[] = {
        {{"kavrel-find", "--so"}, {"--sort"}},
        {{"kavrel-find", "--look-in", "/tmp", "--list-d"}, {"--list-datums"}},
        {{"kavrel-find", "--sort", "s"}, {"size"}},
        {{"kavrel-find", "--format", ""}, {"json", "tsv"}},
        // Folders only where a folder is asked for.
        {{"kavrel-find", "--look-in", ""}, {"maps"}},
        {{"kavrel-find", "--stac", "m"}, {"maps"}},
        // Saved searches: .wqs files and the folders that may hold them.
        {{"kavrel-find", "--saved-search", ""}, {"maps", "mine.wqs"}},
        {{"kavrel-find", "--footprints", "n"}, {"notes.txt"}},
        // Free values get nothing.
        {{"kavrel-find", "--named", ""}, {}},
        {{"kavrel-find", "--months", ""}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(complete(c.words, tree.str()), c.candidates) << c.words.back();
}

TEST_F(BashCompletion, coordinate_system_names_come_whole_and_quoted_as_typed) {
    const struct {
        Words words;
        Words candidates;
    } cases[] = {
        // Escaped for the shell when typed bare; as they stand after a quote.
        {{"kavrel-find", "--group", "Univ"}, {"Universal\\ Transverse\\ Mercator\\ \\(UTM\\)"}},
        {{"kavrel-find", "--group", "'Univ"}, {kUtm}},
        {{"kavrel-find", "--list-systems", "\"Universal Trans"}, {kUtm}},
        {{"kavrel-find", "--group", "Universal\\ Transverse\\ M"},
         {"Universal\\ Transverse\\ Mercator\\ \\(UTM\\)"}},
        // The system list of the group given before, and its datums.
        {{"kavrel-find", "--group", kQuotedUtm, "--system", "'UTM zone 33N"}, {"UTM zone 33N"}},
        {{"kavrel-find", "--group", kQuotedUtm, "--system", "UTM\\ zone\\ 33N", "--datum", "ETRS"},
         {"ETRS89"}},
        {{"kavrel-find", "--list-datums", kQuotedUtm, "'UTM zone 33N"}, {"UTM zone 33N"}},
        // Without the group (or system) they depend on there is nothing to offer.
        {{"kavrel-find", "--system", "UTM"}, {}},
        {{"kavrel-find", "--group", kQuotedUtm, "--datum", "W"}, {}},
        {{"kavrel-find", "--group", "No\\ such"}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(complete(c.words, tree.str()), c.candidates) << c.words.back();
}

} // namespace
