// mapora-info [--extent] FILE...: per file, its layer type, extent (west
// north east south), coordinate-system keys and object counts, one
// "key: value" line each; "Unknown" where the library cannot tell, from one
// reading of the file's facts. --extent prints the type and extent only (no
// counting).
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "kavrel/version.h"
#include "strand32/file_facts.h"

namespace {

constexpr char kUsage[] = R"usage(Usage: mapora-info [--extent] FILE...
Prints what the map-view library tells of each data file, one "key: value"
line each, a blank line between files: file, type (the layer kind's number),
extent (west north east south in the file's own coordinates), group, system,
datum and units (the coordinate-system keys) and the numbers of points,
lines, polygons and other objects; "Unknown" where the library cannot tell.

  --extent               print the type and extent only, without counting
  --help                 show this text
  --version              show the program's name and version
)usage";

std::string keyText(const char* key) {
    return std::string(key, strnlen(key, quill32::kKeySize));
}

void describe(const char* path, bool extentOnly) {
    const strand32::LayerRef layer = strand32::pageLayerRefOf(path);
    const strand32::FileFacts facts =
        strand32::readLayerFacts(layer, {.keys = !extentOnly, .counts = !extentOnly});
    std::printf("file: %s\n", path);
    std::printf("type: %u\n", static_cast<unsigned>(layer.type));
    if (const auto& e = facts.extent)
        std::printf("extent: %.17g %.17g %.17g %.17g\n", e->west, e->north, e->east, e->south);
    else
        std::printf("extent: Unknown\n");
    if (extentOnly)
        return;
    const char* names[] = {"group", "system", "datum", "units"};
    const CoordSysKeys keys = facts.keys.value_or(CoordSysKeys{});
    const char* values[] = {keys.group, keys.system, keys.datum, keys.units};
    for (int i = 0; i < 4; ++i)
        std::printf("%s: %s\n", names[i], facts.keys ? keyText(values[i]).c_str() : "Unknown");
    if (const auto& c = facts.counts) {
        std::printf("points: %" PRId64 "\nlines: %" PRId64 "\npolygons: %" PRId64
                    "\nothers: %" PRId64 "\n",
                    c->points, c->lines, c->polygons, c->others);
    } else {
        std::printf("points: Unknown\nlines: Unknown\npolygons: Unknown\nothers: Unknown\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("mapora-info %s\n", kavrel::kVersion);
        return 0;
    }
    bool extentOnly = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--extent") == 0) {
        extentOnly = true;
        first = 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: mapora-info [--extent] FILE...\n");
        return 2;
    }
    for (int i = first; i < argc; ++i) {
        if (i > first)
            std::printf("\n");
        describe(argv[i], extentOnly);
    }
    return 0;
}
