#pragma once
// Command-line options of kavrel-find, turned into the same criteria form the
// finder window fills from its pages.
#include "finder/criteria_form.h"

#include <string>
#include <vector>

namespace finder::cli {

// The coordinate-system lists the window's pickers would show.
enum class ListRequest {
    None,
    Groups,  // the System Group list
    Systems, // the System list of listGroup
    Datums,  // the Datum list of listSystem in listGroup
};

struct Options {
    CriteriaForm form;
    bool help = false;
    bool version = false;
    ListRequest list = ListRequest::None;
    std::string listGroup, listSystem;
    // Output: the rows sorted as clicks on a column header sort them (-1:
    // walk order), and full paths ended by NUL instead of the row texts.
    int sortColumn = -1;
    bool descending = false; // a second click on the column
    bool print0 = false;
    bool noCache = false; // read every file, without the footprint cache
    bool catalogueOnly = false;   // answer from the catalogue alone
    bool catalogueStatus = false; // print what the catalogue knows and watches
    // Saved searches: run a stored search, print stored rows, or store this
    // search (with its rows) as the window's File > Save Search would.
    std::string savedSearchFile, savedResultsFile, saveSearchFile;
    bool saveResults = false;
    std::string lookInText; // the Look-in folder as a saved search shows it
    bool criteriaGiven = false;
    bool json = false;          // --format json: one JSON object per row
    std::string footprintsFile; // --footprints: the rows' footprints go there too
    std::string stacFolder;     // --stac: a catalogue of the rows goes there too
    bool coverage = false;      // --coverage: the share of the area the rows cover
    std::string gapsFile;       // --gaps: the parts of the area they leave uncovered
    bool wantsCoverage() const { return coverage || !gapsFile.empty(); }
};

struct ParseResult {
    Options options;
    std::string error; // non-empty: a usage error, to be shown as it stands
};

// Parses the arguments after the program's name. The start folder defaults
// to the current folder; every criterion defaults as in a new search.
ParseResult parseOptions(const std::vector<std::string>& args);

// The text printed by --help.
const char* usageText();

} // namespace finder::cli
