#pragma once

#include <QJsonObject>
#include <QString>

namespace tender {

// The signed-in user as the service knows them.
struct Me {
    Q_GADGET
    Q_PROPERTY(QString uid MEMBER uid)
    Q_PROPERTY(QString invite_url MEMBER invite_url)

public:
    QString uid;
    QString invite_url;

    static Me fromJson(const QJsonObject &object);
    QJsonObject toJson() const;

    friend bool operator==(const Me &, const Me &) = default;
};

} // namespace tender
