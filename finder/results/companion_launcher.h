#pragma once
// Starting the companion programs (full viewer, quick viewer, translator) with
// the paths of selected result rows: each program's folder from its App Paths
// entry, the command-line text, and the start with one argument per path.
#include "finder/found_file.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace finder {

enum class Companion { QuickView, Translate, View };

struct CompanionProgram {
    Companion companion;
    std::string_view caption;    // its popup item
    int limit;                   // most paths it is handed
    std::string_view executable; // its App Paths key and file name
};

inline constexpr CompanionProgram kQuickViewProgram{Companion::QuickView, "Atlion QuickView", 2,
                                                    "pellis"};
inline constexpr CompanionProgram kTranslateProgram{Companion::Translate, "Atlion Translate", 16,
                                                    "merrow"};
inline constexpr CompanionProgram kViewProgram{Companion::View, "Atlion View", 16, "tollan"};

const CompanionProgram& companionProgram(Companion companion);

// No program is handed more paths than this, whatever its limit.
inline constexpr int kMaxCollectedPaths = 16;
// Size of the buffer a program's folder is read into (with its NUL).
inline constexpr std::size_t kInstallFolderSize = 1024;
inline constexpr std::string_view kCreateProcessErrorTitle = "CreateProcess error";

// Full paths of the selected rows (given in list order): the first
// min(limit, 16) of them; a limit below 1 takes none.
std::vector<std::string> CollectSelectedPaths(const std::vector<RowTexts>& selected, int limit);

// The folder that holds `executable`: the default value of its App Paths key
// in the local-machine hive. Nothing when the key cannot be opened, the value
// cannot be read (not a text, longer than 259 characters) or is empty.
std::optional<std::string> installFolderOf(std::string_view executable);

struct ViewerCommand {
    // Folder, "/", executable, then a blank and each path, unquoted: the text
    // shown to a reader, never parsed.
    std::string commandLine;
    // What is started: the program's path, then one argument per path.
    std::vector<std::string> arguments;
};

// The command of `executable` with `paths` in their order; nothing when the
// program's folder cannot be looked up.
std::optional<ViewerCommand> BuildViewerCommandLine(std::string_view executable,
                                                    std::vector<std::string> paths);

enum class LaunchStatus { NotRegistered, NothingSelected, OutOfMemory, Started, StartFailed };

struct LaunchResult {
    LaunchStatus status = LaunchStatus::NothingSelected;
    std::string commandLine; // set once the command was built
    int pid = -1;            // the started child, reaped in the background
    std::string errorText;   // the system's text when the start failed
};

// A popup item: the program started with up to its limit of the selected
// rows. A failed start is not reported to the user.
LaunchResult launchCompanion(Companion companion, const std::vector<RowTexts>& selected);

// The double-click: the full viewer started with the first selected row.
// Not registered or nothing selected: nothing happens. A failed start shows
// the system's text in a "CreateProcess error" box owned by `owner`.
LaunchResult openFirstInFullViewer(const std::vector<RowTexts>& selected, void* owner);

} // namespace finder
