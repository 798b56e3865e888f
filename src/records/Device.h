#pragma once

#include <QJsonObject>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

namespace tender {

// A hardware device paired with the account. `last_seen_at` is the server's
// text, absent when the device never connected.
struct Device {
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QStringList capabilities MEMBER capabilities)
    Q_PROPERTY(QString last_seen_at READ lastSeenText)

public:
    QString id;
    QString name;
    QStringList capabilities;
    std::optional<QString> last_seen_at;

    QString lastSeenText() const { return last_seen_at.value_or(QString()); }

    static Device fromJson(const QJsonObject &object);
    QJsonObject toJson() const;

    friend bool operator==(const Device &, const Device &) = default;
};

} // namespace tender

Q_DECLARE_METATYPE(tender::Device)
