#pragma once
// Pure helpers of the finder's start-up: the saved-search path from the
// command line, the entries of the "&Named:" list, the database file, and
// the settings read from the registry in one step.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace finder {

class CSettingsRegistry;

inline constexpr std::uint32_t SaveResultsOption = 0x2;
inline constexpr std::size_t kTextBufferSize = 260;    // names and paths
inline constexpr std::size_t kFolderBufferSize = 1024; // folders, program folder

// The eleven patterns offered when "SupportedFormats" is absent or empty.
const std::vector<std::string>& builtInFormats();

// Every entry of the Named list in order: "( All types )" first, then the
// comma-separated pieces of `supportedFormats` (empty pieces kept, an empty
// rest after the last comma dropped) or, when `formatsRead` is false or the
// text is empty, the built-in eleven; then the one empty entry of the form.
std::vector<std::string> namedListEntries(bool formatsRead, std::string_view supportedFormats);

// "<DataBasePath>/datora.dat"; "/datora.dat" when the path is empty or too
// long for a 260-character buffer with the file name behind it.
std::string databaseFileFrom(std::string_view dataBasePath);

// The command line after the program's name: leading blanks dropped, the rest
// kept as it stands; empty when nothing remains or it does not fit 259
// characters (such a path could not be a saved-search file we wrote).
std::string savedSearchPathFrom(std::string_view commandLine);

// The command line of a program as one text: its arguments joined by blanks.
std::string commandLineOf(int argc, const char* const* argv);

struct StartupSettings {
    std::string databaseFile;
    std::uint32_t options = 0;
    std::string installFolder;             // empty when unknown
    std::vector<std::string> namedEntries; // as namedListEntries
};

// Reads every start-up value through the registry object, in start-up order
// (database path, Options, App Path, SupportedFormats), then closes its key.
StartupSettings readStartupSettings(CSettingsRegistry& registry);

} // namespace finder
