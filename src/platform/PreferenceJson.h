#pragma once

#include "platform/PreferenceValue.h"

#include <QJsonObject>

#include <optional>

namespace tender::PreferenceJson {

// A value as a JSON object with an explicit type tag, e.g.
// {"type": "double", "value": 1} or {"type": "date", "value": "2026-03-02T08:00:00.000Z"},
// so that 1.0 stays a double and a date stays a date.
QJsonObject encode(const PreferenceValue &value);
// Absent for an unknown tag or a value that does not fit its tag.
std::optional<PreferenceValue> decode(const QJsonValue &json);

} // namespace tender::PreferenceJson
