// Each program's manual page as man shows it, beside what the program says
// of itself: the page cannot lose an option that --help prints, and
// --version names the program and the project's one version.
#include "kavrel/version.h"
#include "run_command.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::runCommand;

const char* const kPages[] = {"kavrel",        "kavrel-find", "kavrel-watch",
                              "mapora-info",   "velmora-props", "imdlhost"};

// The programs of the pages that this build makes.
std::vector<std::string> builtPrograms() {
    std::vector<std::string> programs;
    std::istringstream names(KAVREL_BUILT_PROGRAMS);
    for (std::string name; names >> name;)
        programs.push_back(name);
    return programs;
}

std::string program(const std::string& name) {
    return std::string(KAVREL_BUILD_DIR) + "/bin/" + name;
}

// The page as man renders it, on lines too long to break a word.
std::string renderedPage(const std::string& name) {
    return runCommand("LC_ALL=C.UTF-8 MANWIDTH=1000 man -l '" + std::string(KAVREL_MAN_DIR) + "/" +
                      name + ".1' 2>&1")
        .out;
}

// The options a help text names: "--word" and "-x" after a blank or "[".
std::set<std::string> optionsOf(const std::string& help) {
    static const std::regex option(R"((^|[\s\[])(--?[A-Za-z][A-Za-z0-9-]*))");
    std::set<std::string> options;
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
         it != std::sregex_iterator(); ++it)
        options.insert((*it)[2]);
    return options;
}

bool namesOption(const std::string& page, const std::string& option) {
    const std::regex word("(^|[^A-Za-z0-9-])" + option + "([^A-Za-z0-9-]|$)");
    return std::regex_search(page, word);
}

TEST(ManualPages, each_page_renders_with_the_sections_of_a_manual_page) {
    for (const char* name : kPages) {
        SCOPED_TRACE(name);
        const std::string page = renderedPage(name);
        for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "ENVIRONMENT",
                                    "FILES", "EXIT STATUS", "EXAMPLES", "SEE ALSO"})
            EXPECT_NE(page.find(std::string("\n") + section + "\n"), std::string::npos)
                << section << "\n"
                << page;
        EXPECT_EQ(page.rfind(name, 0), 0u) << page.substr(0, 200);
        EXPECT_NE(page.find(std::string("Atlion Find ") + kavrel::kVersion), std::string::npos);
    }
}

TEST(ManualPages, every_option_that_help_prints_is_on_the_programs_page) {
    for (const std::string& name : builtPrograms()) {
        SCOPED_TRACE(name);
        const auto help = runCommand(program(name) + " --help 2>&1");
        ASSERT_EQ(help.status, 0) << help.out;
        const std::set<std::string> options = optionsOf(help.out);
        EXPECT_TRUE(options.count("--help") && options.count("--version")) << help.out;
        const std::string page = renderedPage(name);
        for (const std::string& option : options)
            EXPECT_TRUE(namesOption(page, option)) << option << " is not on the page";
    }
}

TEST(ManualPages, the_option_scan_sees_what_it_must_and_no_more) {
    const struct {
        const char* text;
        std::set<std::string> options;
    } cases[] = {
        {"  --named PATTERN  file-name pattern", {"--named"}},
        {"usage: imdlhost IMAGE [-o out.png] [--band N]", {"-o", "--band"}},
        // Words with hyphens inside and numbers are not options.
        {"file-name, -12 15 30, xargs -0, look-in", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(optionsOf(c.text), c.options) << c.text;
    EXPECT_TRUE(namesOption("use --no-cache here", "--no-cache"));
    EXPECT_FALSE(namesOption("use --no-cache-at-all", "--no-cache"));
}

TEST(ManualPages, version_names_the_program_and_the_project_version) {
    for (const std::string& name : builtPrograms()) {
        const auto run = runCommand(program(name) + " --version 2>&1");
        EXPECT_EQ(run.status, 0) << name;
        const std::string first = run.out.substr(0, run.out.find('\n') + 1);
        EXPECT_EQ(first, name + " " + kavrel::kVersion + "\n");
    }
}

} // namespace
