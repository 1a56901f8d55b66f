#pragma once
// The companion programs installed as small recording scripts in a folder
// with blanks, registered in a temporary local-machine hive; each writes its
// arguments, one per line, to "<program>.args" beside itself.
#include "hive_env.h"
#include "temp_dir.h"

#include "finder/found_file.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace companiontest {

// Writes its arguments through a temporary file, so a reader never sees half.
constexpr const char* kRecordingScript =
    "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0.args\"\n";

// An executable shell script at `relative` in `dir`.
inline std::string writeScriptText(const testsupport::TempDir& dir, const std::string& relative,
                                   const std::string& text) {
    const std::string path = dir.writeFile(relative, text);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

inline std::string appPathsSection(const std::string& executable, const std::string& folder) {
    return "[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + executable + "]\n@=\"" +
           folder + "\"\n\n";
}

class CompanionEnv {
public:
    // All three programs exist in programFolder(); those in `registered` have
    // an App Paths entry.
    explicit CompanionEnv(const std::vector<std::string>& registered = {"tollan", "pellis",
                                                                        "merrow"})
        : hive_(hiveText(registered)) {
        for (const char* name : {"tollan", "pellis", "merrow"})
            writeScriptText(programs_, std::string(kFolder) + "/" + name, kRecordingScript);
    }

    std::string programFolder() const { return programs_ / kFolder; }
    std::string programPath(const std::string& name) const { return programFolder() + "/" + name; }

    // The lines a program recorded, once it has written them; nothing when
    // it was not started within `wait`.
    std::optional<std::vector<std::string>>
    recorded(const std::string& name,
             std::chrono::milliseconds wait = std::chrono::milliseconds(3000)) const {
        const std::string file = programPath(name) + ".args";
        const auto until = std::chrono::steady_clock::now() + wait;
        while (!std::filesystem::exists(file) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!std::filesystem::exists(file))
            return std::nullopt;
        return lines(testsupport::TempDir::readFile(file));
    }

    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            out.push_back(text.substr(start, end - start));
        return out;
    }

private:
    static constexpr const char* kFolder = "Program Files/Atlion Tools";

    std::string hiveText(const std::vector<std::string>& registered) const {
        std::string text = "REGEDIT4\n\n";
        for (const std::string& name : registered)
            text += appPathsSection(name, programFolder());
        return text;
    }

    testsupport::TempDir programs_;
    testsupport::HiveEnv hive_;
};

// `count` rows named "f1.shp", "f2.shp" ... in `folder`.
inline std::vector<finder::RowTexts> rowsIn(const std::string& folder, int count) {
    std::vector<finder::RowTexts> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back(
            {std::to_string(i).insert(0, 1, 'f') + ".shp", folder, "1KB", "shp File", ""});
    return rows;
}

inline std::vector<std::string> pathsOf(const std::vector<finder::RowTexts>& rows, std::size_t n) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < n && i < rows.size(); ++i)
        paths.push_back(finder::fullPathOfRow(rows[i].folder, rows[i].name));
    return paths;
}

} // namespace companiontest
