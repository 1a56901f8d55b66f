// velmora-props [--count] [--gui] FILE: loads the property-page server as a
// file manager's Properties sheet would and shows its pages for FILE:
// printed (each page's title, then "label value" per row) or, with --gui,
// in a Qt Properties dialog. --count presses Count first.
// Exit 0 when pages were shown, 1 when the server gave none (the reason on
// standard error), 2 for a usage error.
#include "page_texts.h"
#include "properties_dialog.h"
#include "property_session.h"

#include "kavrel/version.h"

#include <QApplication>
#include <QTabWidget>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace velmorahost;

struct Options {
    bool count = false;
    bool gui = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> files;
};

constexpr char kUsage[] = "usage: velmora-props [--count] [--gui] FILE\n";
constexpr char kHelp[] = R"usage(Usage: velmora-props [--count] [--gui] FILE
Loads the property-page server as a file manager's Properties sheet does and
shows its Geography and Spatial Objects pages for FILE (and Layers, for a file
of more than one layer): each page's title, then one "label value" line per
row.

  --count                press the Count buttons first (the numbers of points,
                         lines, polygons and other objects are counted)
  --gui                  show the pages in a Properties dialog instead
  --help                 show this text
  --version              show the program's name and version
)usage";

// Nothing when the arguments are not understood (the reason is printed).
std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--count") {
            options.count = true;
        } else if (arg == "--gui") {
            options.gui = true;
        } else if (arg == "--help" || arg == "--version") {
            (arg == "--help" ? options.help : options.version) = true;
            return options;
        } else if (arg.starts_with("-") && arg != "-") {
            std::fprintf(stderr, "velmora-props: unknown option %s\n%s", arg.c_str(), kUsage);
            return std::nullopt;
        } else {
            std::error_code ec;
            if (!std::filesystem::exists(arg, ec)) {
                std::fprintf(stderr, "velmora-props: %s: no such file\n", arg.c_str());
                return std::nullopt;
            }
            // A file manager names files by their full paths.
            options.files.push_back(std::filesystem::absolute(arg).lexically_normal().string());
        }
    }
    if (options.files.empty()) {
        std::fputs(kUsage, stderr);
        return std::nullopt;
    }
    return options;
}

void printPages(const std::vector<PageTexts>& pages) {
    for (const PageTexts& page : pages) {
        std::printf("%s\n", page.title.c_str());
        for (const PageRow& row : page.rows)
            std::printf("%s %s\n", row.label.c_str(), row.value.c_str());
    }
}

int noPages(const std::string& error) {
    std::fprintf(stderr, "velmora-props: no pages: %s\n", error.c_str());
    return 1;
}

int showDialog(int argc, char** argv, const PropertySession& session, const std::string& file,
               int pressedPage) {
    QApplication app(argc, argv);
    PropertiesDialog dialog(session, QString::fromStdString(file));
    // After Count the dialog opens on the page that was counted.
    if (pressedPage >= 0)
        dialog.tabs()->setCurrentIndex(pressedPage);
    dialog.show();
    return app.exec() == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parse(argc, argv);
    if (!options)
        return 2;
    if (options->help || options->version) {
        if (options->help)
            std::fputs(kHelp, stdout);
        else
            std::printf("velmora-props %s\n", kavrel::kVersion);
        return 0;
    }
    if (!options->gui) {
        std::string error;
        const auto pages = readSheet(defaultServerPath(), options->files, options->count, error);
        if (!pages)
            return noPages(error);
        printPages(*pages);
        return 0;
    }
    PropertySession session;
    if (!session.open(options->files))
        return noPages(session.error());
    const int pressed = options->count ? pressAllButtons(session) : -1;
    const int status = showDialog(argc, argv, session, options->files.front(), pressed);
    session.close();
    return status;
}
