// Properties models and their items, made from a page's texts.
#include "page_models.h"

#include <glib.h>

namespace nautilushost {

namespace {

// The pages' texts are meant as UTF-8; anything else is shown with
// replacement characters rather than handed to GTK as it is.
struct ValidText {
    explicit ValidText(const std::string& text)
        : text_(g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()))) {}
    ~ValidText() { g_free(text_); }
    ValidText(const ValidText&) = delete;
    ValidText& operator=(const ValidText&) = delete;
    const char* get() const { return text_; }

private:
    char* text_;
};

// New items for the rows, each holding one reference (dropped by the holders).
std::vector<GObjectPtr<NautilusPropertiesItem>>
itemsOf(const std::vector<velmorahost::PageRow>& rows) {
    std::vector<GObjectPtr<NautilusPropertiesItem>> items;
    items.reserve(rows.size());
    for (const velmorahost::PageRow& row : rows) {
        const ValidText label(row.label), value(row.value);
        items.push_back(GObjectPtr<NautilusPropertiesItem>::adopt(
            nautilus_properties_item_new(label.get(), value.get())));
    }
    return items;
}

} // namespace

GObjectPtr<GListStore> itemStore(const std::vector<velmorahost::PageRow>& rows) {
    auto store = GObjectPtr<GListStore>::adopt(g_list_store_new(NAUTILUS_TYPE_PROPERTIES_ITEM));
    replaceItems(store.get(), rows);
    return store;
}

void replaceItems(GListStore* store, const std::vector<velmorahost::PageRow>& rows) {
    const std::vector<GObjectPtr<NautilusPropertiesItem>> items = itemsOf(rows);
    std::vector<gpointer> added;
    added.reserve(items.size());
    for (const auto& item : items)
        added.push_back(item.get());
    // The store takes references of its own.
    g_list_store_splice(store, 0, g_list_model_get_n_items(G_LIST_MODEL(store)), added.data(),
                        static_cast<guint>(added.size()));
}

void setAllValues(GListStore* store, const std::string& value) {
    std::vector<std::string> labels;
    GListModel* items = G_LIST_MODEL(store);
    for (guint i = 0; i < g_list_model_get_n_items(items); ++i) {
        const auto item = GObjectPtr<NautilusPropertiesItem>::adopt(
            static_cast<NautilusPropertiesItem*>(g_list_model_get_item(items, i)));
        labels.emplace_back(nautilus_properties_item_get_name(item.get()));
    }
    replaceItems(store, rowsWithValue(labels, value));
}

std::vector<velmorahost::PageRow> rowsWithValue(const std::vector<std::string>& labels,
                                                const std::string& value) {
    std::vector<velmorahost::PageRow> rows;
    for (const std::string& label : labels)
        rows.push_back({label, value});
    return rows;
}

GObjectPtr<NautilusPropertiesModel> pageModel(const std::string& title, GListStore* items) {
    const ValidText text(title);
    return GObjectPtr<NautilusPropertiesModel>::adopt(
        nautilus_properties_model_new(text.get(), G_LIST_MODEL(items)));
}

} // namespace nautilushost
