#include "views/BookIndex.h"

#include "views/LetterGroups.h"

namespace tender::views {

void BookIndex::setContacts(const QList<Contact> &contacts)
{
    contacts_ = contacts;
    emit contactsChanged();
    regroup();
}

void BookIndex::setQuery(const QString &query)
{
    if (query == query_)
        return;
    query_ = query;
    emit queryChanged();
    regroup();
}

void BookIndex::regroup()
{
    const QList<LetterGroup> groups = letterGroups(contacts_, query_);
    groups_.clear();
    listed_ = 0;
    for (const LetterGroup &group : groups) {
        QVariantList people;
        for (const Contact &contact : group.people)
            people.append(QVariant::fromValue(contact));
        groups_.append(QVariantMap{{"letter", group.letter}, {"people", people}});
        listed_ += int(group.people.size());
    }
    listHeight_ = bookListHeight(groups.size(), listed_);
    emit groupsChanged();
}

} // namespace tender::views
