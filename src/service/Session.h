#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace tender {

// The persisted sign-in. Note "refreshToken" is camel case in the file.
struct Session {
    QString uid;
    std::optional<QString> email;
    QString refreshToken;

    static Session fromJson(const QJsonObject &object);
    QJsonObject toJson() const;

    friend bool operator==(const Session &, const Session &) = default;
};

} // namespace tender
