// Writes datora.dat from PROJ's EPSG registry: datora-gen OUTPUT [PROJ_DB]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalog.h"
#include "proj_handles.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: datora-gen OUTPUT [PROJ_DB]\n");
        return 2;
    }
    try {
        const std::string projDb = argc == 3 ? argv[2] : quill32::projDatabasePath();
        std::string error;
        auto catalog = quill32::Catalog::load(projDb, error);
        if (!catalog) {
            std::fprintf(stderr, "datora-gen: %s\n", error.c_str());
            return 1;
        }
        // Written beside the target and renamed, so a failed run never leaves
        // a half-written database behind.
        const std::filesystem::path out = argv[1];
        const std::filesystem::path tmp = out.string() + ".tmp";
        {
            std::ofstream file(tmp, std::ios::binary | std::ios::trunc);
            catalog->database().write(file);
            file.flush();
            if (!file) {
                std::fprintf(stderr, "datora-gen: cannot write %s\n", tmp.c_str());
                return 1;
            }
        }
        // The library must be able to read what was written.
        quill32::Database check;
        if (!check.read(tmp.string(), error)) {
            std::filesystem::remove(tmp);
            std::fprintf(stderr, "datora-gen: written database unreadable: %s\n", error.c_str());
            return 1;
        }
        std::filesystem::rename(tmp, out);
        std::size_t systems = 0;
        for (const auto& g : catalog->database().groups)
            systems += g.systems.size();
        std::printf("datora-gen: %zu groups, %zu systems, %zu datums\n",
                    catalog->database().groups.size(), systems, catalog->database().datums.size());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "datora-gen: %s\n", e.what());
        return 1;
    }
}
