#pragma once
// Saved searches without a window: the header a fresh finder window would
// store for a criteria form, and the form a stored header describes.
#include "DateUtil.h"
#include "finder/criteria_form.h"
#include "finder/saved_search.h"

namespace finder {

// What the controls of a newly opened window show once `form` has been put
// into them: Look-in holds `lookInText` as a folder item, the date boxes
// keep their defaults for `today` unless the form has dates, the pickers
// show "( Any )" for names not given, and the map's view was never zoomed.
SavedSearchHeader headerOfForm(const CriteriaForm& form, const std::string& lookInText,
                               DateUtil::CivilDate today);

// The criteria the stored controls describe; the Look-in text is used by the
// Look-in rule as a drive item when it names a mounted volume as the list
// shows it, else whole as a folder.
CriteriaForm formOfHeader(const SavedSearchHeader& header);

// "%d file(s) found" for a loaded file: the stored count, or the rows there
// are when the stored results do not back it.
int shownRowCount(const SavedSearch& saved);

} // namespace finder
