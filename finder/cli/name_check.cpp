// Group, system and datum names looked up through the pickers' own lists.
#include "name_check.h"

#include <finder/coords/coordsys_pickers.h>
#include <finder/joined_text.h>
#include <quill32/coordsys_database.h>

#include <algorithm>

namespace finder::cli {
namespace {

bool listed(const std::vector<std::string>& items, const std::string& name) {
    return std::find(items.begin(), items.end(), name) != items.end();
}

// A datum the database can read by this name, as the search reads it.
bool databaseHasDatum(const std::string& databaseFile, const std::string& datum) {
    const auto database = quill32::CoordSysDatabase::open(databaseFile);
    return database && database->findDatum(datum).has_value();
}

} // namespace

std::string unknownGroupText(const std::string& group) {
    return joined(
        {"no coordinate-system group is named \"", group, "\" (--list-groups lists them)"});
}

std::string unknownSystemText(const std::string& group, const std::string& system) {
    return joined({"the group \"", group, "\" has no system named \"", system,
                   "\" (--list-systems lists them)"});
}

NameCheck checkPickedNames(const CriteriaForm& form, const std::string& databaseFile) {
    if (!form.groupName)
        return {};
    const std::string& group = *form.groupName;
    const PickerListResult lists = listPickerTexts(databaseFile, group, form.systemName);
    switch (lists.status) {
    case PickerListStatus::DatabaseUnavailable:
        return {NameCheckStatus::DatabaseUnavailable, {}};
    case PickerListStatus::UnknownGroup:
        return {NameCheckStatus::UnknownName, joined({"--group: ", unknownGroupText(group)})};
    case PickerListStatus::UnknownSystem:
        return {NameCheckStatus::UnknownName,
                joined({"--system: ", unknownSystemText(group, *form.systemName)})};
    case PickerListStatus::Ok:
        break;
    }
    if (!form.datumName)
        return {};
    const std::string& datum = *form.datumName;
    if (form.systemName && !listed(lists.texts.datums, datum))
        return {NameCheckStatus::UnknownName,
                joined({"--datum: the system \"", *form.systemName, "\" has no datum named \"",
                        datum, "\" (--list-datums lists them)"})};
    if (!form.systemName && !databaseHasDatum(databaseFile, datum))
        return {NameCheckStatus::UnknownName,
                joined({"--datum: no datum is named \"", datum,
                        "\" (--list-datums lists those of a system)"})};
    return {};
}

} // namespace finder::cli
