#pragma once

#include "records/Contact.h"

#include <QList>
#include <QString>

namespace tender::views {

// The people under one heading of the book.
struct LetterGroup {
    QString letter; // upper-cased first character of the labels; empty for empty labels
    QList<Contact> people;
};

// The book's headings: the people (already in by-name order) whose label
// contains the trimmed `query`, any case, grouped by their first letter; the
// letters in label order, so digits come by value and "а" joins "А".
QList<LetterGroup> letterGroups(const QList<Contact> &byName, const QString &query);

// The book's scroll area: as high as its headings and rows, at most 420.
qreal bookListHeight(qsizetype groups, qsizetype people);

} // namespace tender::views
