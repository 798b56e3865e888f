#include "views/LetterGroups.h"

#include "model/LabelOrder.h"
#include "views/Texts.h"

#include <QLocale>

#include <algorithm>

namespace tender::views {

namespace {

QList<Contact> matching(const QList<Contact> &people, const QString &query)
{
    const QString needle = QLocale().toLower(query.trimmed());
    if (needle.isEmpty())
        return people;
    QList<Contact> found;
    std::copy_if(people.begin(), people.end(), std::back_inserter(found),
                 [&](const Contact &c) { return QLocale().toLower(c.label).contains(needle); });
    return found;
}

} // namespace

QList<LetterGroup> letterGroups(const QList<Contact> &byName, const QString &query)
{
    QList<LetterGroup> groups;
    for (const Contact &contact : matching(byName, query)) {
        const QString letter = initialLetter(contact.label);
        auto group = std::find_if(groups.begin(), groups.end(), [&](const LetterGroup &g) { return g.letter == letter; });
        if (group == groups.end())
            groups.append({letter, {contact}});
        else
            group->people.append(contact);
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const LetterGroup &a, const LetterGroup &b) { return compareLabels(a.letter, b.letter) < 0; });
    return groups;
}

qreal bookListHeight(qsizetype groups, qsizetype people)
{
    return std::min<qreal>(420, 22 * groups + 44 * people + 10);
}

} // namespace tender::views
