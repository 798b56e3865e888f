#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QString>

namespace tender::views {

// What the add form found in the pasted invite link.
class LinkLookup {
    Q_GADGET

public:
    enum Kind { Idle, Invalid, Ready };
    Q_ENUM(Kind)

    // Nothing typed (spaces count as nothing), no invite code in it, or the code.
    static LinkLookup check(const QString &link);

    Kind kind = Idle;
    QString code; // set when Ready

    friend bool operator==(const LinkLookup &, const LinkLookup &) = default;
};

// LinkLookup.Idle, LinkLookup.Ready... for QML.
namespace LinkLookupKinds {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(tender::views::LinkLookup)
QML_NAMED_ELEMENT(LinkLookup)
} // namespace LinkLookupKinds

} // namespace tender::views
