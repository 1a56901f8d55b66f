// Companion programs: App Paths look-up, command lines and starts.
#include "results/companion_launcher.h"

#include "finder/settings_registry.h"

#include <platform/message_box.h>
#include <platform/spawn.h>

#include <algorithm>
#include <new>

namespace finder {

const CompanionProgram& companionProgram(Companion companion) {
    switch (companion) {
    case Companion::QuickView:
        return kQuickViewProgram;
    case Companion::Translate:
        return kTranslateProgram;
    case Companion::View:
        break;
    }
    return kViewProgram;
}

std::vector<std::string> CollectSelectedPaths(const std::vector<RowTexts>& selected, int limit) {
    const auto cap = static_cast<std::size_t>(std::clamp(limit, 0, kMaxCollectedPaths));
    const std::size_t wanted = std::min(cap, selected.size());
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < wanted; ++i)
        paths.push_back(fullPathOfRow(selected[i].folder, selected[i].name));
    return paths;
}

std::optional<std::string> installFolderOf(std::string_view executable) {
    CSettingsRegistry registry;
    std::string folder;
    if (registry.GetAppPath(executable, folder, kInstallFolderSize) != CSettingsRegistry::Success)
        return std::nullopt;
    return folder;
}

std::optional<ViewerCommand> BuildViewerCommandLine(std::string_view executable,
                                                    std::vector<std::string> paths) {
    const std::optional<std::string> folder = installFolderOf(executable);
    if (!folder)
        return std::nullopt;
    // The value names the program's folder; a value that already ends in a
    // separator gives a doubled one, which the system reads as one.
    std::string program = *folder + "/";
    program += executable;
    ViewerCommand command;
    command.commandLine = program;
    command.arguments.reserve(paths.size() + 1);
    command.arguments.push_back(std::move(program));
    for (std::string& path : paths) {
        command.commandLine += ' ';
        command.commandLine += path;
        command.arguments.push_back(std::move(path));
    }
    return command;
}

namespace {

// Builds and starts the command of `executable`; allocation failures start
// nothing.
LaunchResult launch(std::string_view executable, const std::vector<RowTexts>& selected, int limit) {
    LaunchResult result;
    try {
        if (selected.empty())
            return result;
        std::optional<ViewerCommand> command =
            BuildViewerCommandLine(executable, CollectSelectedPaths(selected, limit));
        if (!command) {
            result.status = LaunchStatus::NotRegistered;
            return result;
        }
        result.commandLine = std::move(command->commandLine);
        const platform::SpawnResult started = platform::spawnProgram(command->arguments);
        result.status = started.started ? LaunchStatus::Started : LaunchStatus::StartFailed;
        result.pid = started.pid;
        result.errorText = started.errorText;
    } catch (const std::bad_alloc&) {
        result = LaunchResult{};
        result.status = LaunchStatus::OutOfMemory;
    }
    return result;
}

} // namespace

LaunchResult launchCompanion(Companion companion, const std::vector<RowTexts>& selected) {
    const CompanionProgram& program = companionProgram(companion);
    return launch(program.executable, selected, program.limit);
}

LaunchResult openFirstInFullViewer(const std::vector<RowTexts>& selected, void* owner) {
    LaunchResult result = launch(kViewProgram.executable, selected, 1);
    if (result.status == LaunchStatus::StartFailed)
        platform::messageBox(owner, result.errorText, std::string(kCreateProcessErrorTitle),
                             platform::MB_OK | platform::MB_ICONINFORMATION);
    return result;
}

} // namespace finder
