#pragma once
// The facts of a data file, read through the layer module (libkavrel_layers),
// which is loaded on the first call from any thread.
#include <strand32/file_facts.h>

#include <string>

namespace finder {

struct FactsReading {
    // False when the reading itself failed (the module cannot be loaded, or
    // a library or memory failed): `error` says why and the search fails.
    // A file that tells nothing is still read: its facts say so.
    bool read = false;
    strand32::FileFacts facts;
    std::string error;
};

// Reads the file `path` names (full, or below a folder's descriptor). Safe
// from any thread.
FactsReading readFactsThroughModule(const std::string& path, strand32::FactsRequest request);

// Fills the keys of `facts` from the systems they name, opening no file;
// false, with the reason, when the module cannot be loaded or failed.
bool completeKeysThroughModule(strand32::FileFacts& facts, std::string& error);

} // namespace finder
