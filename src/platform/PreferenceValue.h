#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>

#include <variant>

namespace tender {

// One stored preference. Dictionaries hold scalars only; a typed reader decides
// whether every entry has the type it wants.
using PreferenceScalar = std::variant<bool, qint64, double, QString, QDateTime>;
using PreferenceDictionary = QMap<QString, PreferenceScalar>;
using PreferenceValue = std::variant<bool, qint64, double, QString, QDateTime, PreferenceDictionary>;

} // namespace tender
