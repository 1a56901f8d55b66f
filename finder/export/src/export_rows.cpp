// Found files as the exports take them: their row texts made here, at the edge.
#include "finder/export/export_row.h"

namespace finder {

ExportRow exportRowOf(const FoundRow& row) {
    return ExportRow{rowTexts(row), row.file.path, row.file.facts, row.file.size,
                     row.file.modified};
}

} // namespace finder
