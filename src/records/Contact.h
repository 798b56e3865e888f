#pragma once

#include <QJsonObject>
#include <QMetaType>
#include <QString>

#include <optional>

namespace tender {

// One person in the signed-in user's list. Identified by `id`; equal only when
// every field is equal, so a stale copy differs from the current entry.
struct Contact {
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QString label MEMBER label)
    Q_PROPERTY(qint64 position MEMBER position)
    Q_PROPERTY(bool close READ isClose)

public:
    QString id;
    QString label;
    qint64 position = 0;
    std::optional<bool> close;

    bool isClose() const { return close.value_or(false); }

    static Contact fromJson(const QJsonObject &object);
    QJsonObject toJson() const;

    friend bool operator==(const Contact &, const Contact &) = default;
};

} // namespace tender

Q_DECLARE_METATYPE(tender::Contact)
