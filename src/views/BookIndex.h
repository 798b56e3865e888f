#pragma once

#include "records/Contact.h"

#include <QObject>
#include <QQmlEngine>
#include <QVariantList>

namespace tender::views {

// The book's letter groups for QML, recomputed whenever the people or the
// search change. `groups` holds {letter, people} entries.
class BookIndex : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QList<tender::Contact> contacts READ contacts WRITE setContacts NOTIFY contactsChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(QVariantList groups READ groups NOTIFY groupsChanged)
    Q_PROPERTY(int listed READ listed NOTIFY groupsChanged)
    Q_PROPERTY(qreal listHeight READ listHeight NOTIFY groupsChanged)

public:
    using QObject::QObject;

    const QList<Contact> &contacts() const { return contacts_; }
    void setContacts(const QList<Contact> &contacts);
    const QString &query() const { return query_; }
    void setQuery(const QString &query);
    const QVariantList &groups() const { return groups_; }
    int listed() const { return listed_; }
    qreal listHeight() const { return listHeight_; }

signals:
    void contactsChanged();
    void queryChanged();
    void groupsChanged();

private:
    void regroup();

    QList<Contact> contacts_;
    QString query_;
    QVariantList groups_;
    int listed_ = 0;
    qreal listHeight_ = 10;
};

} // namespace tender::views
