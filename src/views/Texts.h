#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QString>

namespace tender::views {

// "1 человек", "2 человека", "5 человек", "22 человека".
QString peopleCount(qint64 n);
// The Russian word for a count of n: `one` for 1, 21, 31…, `few` for 2–4, 22–24…, else `many`.
QString pluralForm(qint64 n, const QString &one, const QString &few, const QString &many);
// The upper-cased first grapheme of a label, or "♥" for an empty one.
QString avatarInitial(const QString &label);
// The upper-cased first grapheme of a label; empty for an empty one.
QString initialLetter(const QString &label);

class Texts : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QString peopleCount(qint64 n) const { return views::peopleCount(n); }
    Q_INVOKABLE QString initial(const QString &label) const { return avatarInitial(label); }
};

} // namespace tender::views
