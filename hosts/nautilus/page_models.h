#pragma once
// A page of the property-page server as a GNOME Files properties model: the
// page's title, and one item per row holding the row's label and value.
#include "gobject_ptr.h"
#include "page_rows.h"

#include <nautilus-extension.h>

#include <string>
#include <vector>

namespace nautilushost {

// A list of properties items, one per row, in the rows' order.
GObjectPtr<GListStore> itemStore(const std::vector<velmorahost::PageRow>& rows);

// Puts the rows in place of every item of `store`, in one change.
void replaceItems(GListStore* store, const std::vector<velmorahost::PageRow>& rows);

// Puts `value` into every item of `store`, the names kept, in one change.
void setAllValues(GListStore* store, const std::string& value);

// Rows of `labels` all holding `value`.
std::vector<velmorahost::PageRow> rowsWithValue(const std::vector<std::string>& labels,
                                                const std::string& value);

// A model titled `title` over `items`; the model holds its own reference.
GObjectPtr<NautilusPropertiesModel> pageModel(const std::string& title, GListStore* items);

} // namespace nautilushost
