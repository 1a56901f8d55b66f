#pragma once
// A small tree of folders for the catalogue's tests: plain files and copies
// of a sample shapefile, every stamp an hour old (so that the catalogue
// trusts a folder's stamp from the first listing on), and the changes a test
// makes to it.
#include "temp_dir.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

class CatalogueTree {
public:
    explicit CatalogueTree(const TempDir& dir, const std::string& name = "tree")
        : root_(dir / name) {
        for (const char* folder : {"a", "a/deep", "b", "c"})
            std::filesystem::create_directories(root_ + "/" + folder);
        for (const char* file : {"a/notes.txt", "a/deep/old.txt", "b/plan.txt", "c/list.txt"})
            write(file, std::string("some text in ") + file);
        copyShapefile("world/countries", "a/world"); // the whole world
        copyShapefile("europe/central_etrs89", "b/central"); // central Europe
        ageAll();
    }

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }

    void write(const std::string& relative, const std::string& text) const {
        std::ofstream(path(relative), std::ios::binary) << text;
    }
    void append(const std::string& relative, const std::string& text) const {
        std::ofstream(path(relative), std::ios::binary | std::ios::app) << text;
    }
    // The sample shapefile SAMPLE.* ("world/countries") as RELATIVE.*.
    void copyShapefile(const std::string& sample, const std::string& relative) const {
        for (const char* ext : {".shp", ".shx", ".dbf", ".prj"})
            std::filesystem::copy_file(
                std::string(KAVREL_DATA_DIR) + "/samples/" + sample + ext,
                path(relative + ext), std::filesystem::copy_options::overwrite_existing);
    }
    // Every file and folder of the tree (or of the file or folder
    // `relative` names) an hour old.
    void ageAll(const std::string& relative = {}) const {
        const std::string top = relative.empty() ? root_ : path(relative);
        const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
        std::vector<std::filesystem::path> all{top};
        if (std::filesystem::is_directory(top)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(top))
                all.push_back(entry.path());
        }
        // Setting a time changes no folder.
        for (const auto& p : all)
            std::filesystem::last_write_time(p, hourAgo);
    }

private:
    std::string root_;
};

} // namespace testsupport
