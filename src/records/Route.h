#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

namespace tender {

// Where the popover is.
class Route {
    Q_GADGET
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(QString invite READ inviteText CONSTANT)
    Q_PROPERTY(QString id READ id CONSTANT)

public:
    enum class Kind { Add, Edit, Main, Book, Settings };
    Q_ENUM(Kind)

    Route() = default;
    static Route add(std::optional<QString> invite = std::nullopt) { return Route(Kind::Add, std::move(invite), {}); }
    static Route edit(QString id) { return Route(Kind::Edit, std::nullopt, std::move(id)); }
    static Route main() { return Route(); }
    static Route book() { return Route(Kind::Book, std::nullopt, {}); }
    static Route settings() { return Route(Kind::Settings, std::nullopt, {}); }

    Kind kind() const { return kind_; }
    const std::optional<QString> &invite() const { return invite_; }
    QString inviteText() const { return invite_.value_or(QString()); }
    const QString &id() const { return id_; }

    friend bool operator==(const Route &, const Route &) = default;

private:
    Route(Kind kind, std::optional<QString> invite, QString id)
        : kind_(kind), invite_(std::move(invite)), id_(std::move(id)) {}

    Kind kind_ = Kind::Main;
    std::optional<QString> invite_;
    QString id_;
};

} // namespace tender

Q_DECLARE_METATYPE(tender::Route)
