#pragma once
// Helpers of the pages' saved-search state: control texts in the locale's
// encoding, and check states put back as stored, none checked included.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QString>
#include <initializer_list>
#include <string>
#include <utility>

namespace finder {

inline std::string localBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

inline QString fromLocalBytes(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// Sets each button's check state; an exclusive group is opened for the moment
// so that a stored state with no button checked can be shown.
inline void setCheckStates(std::initializer_list<std::pair<QAbstractButton*, bool>> states) {
    for (const auto& [button, checked] : states) {
        QButtonGroup* group = button->group();
        const bool exclusive = group && group->exclusive();
        if (exclusive && !checked)
            group->setExclusive(false);
        button->setChecked(checked);
        if (exclusive && !checked)
            group->setExclusive(true);
    }
}

} // namespace finder
