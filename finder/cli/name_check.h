#pragma once
// The coordinate-system names of kavrel-find's options checked against the
// database before a search, as the lists the window's pickers show hold them:
// a name nothing is known by would otherwise find no file without a word.
#include "finder/criteria_form.h"

#include <string>

namespace finder::cli {

enum class NameCheckStatus {
    Ok,
    DatabaseUnavailable, // the database could not be opened
    UnknownName,         // the message names the option and the name
};

struct NameCheck {
    NameCheckStatus status = NameCheckStatus::Ok;
    std::string message;
};

// The group must be an item of the group list, the system one of the group's
// systems; the datum one of the system's datums when a system is given, else
// a datum of the database.
NameCheck checkPickedNames(const CriteriaForm& form, const std::string& databaseFile);

// "no coordinate-system group is named "G" (--list-groups lists them)" and
// "the group "G" has no system named "S" (--list-systems lists them)".
std::string unknownGroupText(const std::string& group);
std::string unknownSystemText(const std::string& group, const std::string& system);

} // namespace finder::cli
