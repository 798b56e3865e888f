#pragma once

#include <QObject>
#include <QQmlEngine>

namespace tender::views {

// The minimum-gap choices for QML: Gaps.count, Gaps.seconds(i), Gaps.index(s), Gaps.title(s).
class GapChoices : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Gaps)
    QML_SINGLETON
    Q_PROPERTY(int count READ count CONSTANT)

public:
    using QObject::QObject;

    int count() const;
    // The choice at `index`, clamped into the table.
    Q_INVOKABLE double seconds(int index) const;
    Q_INVOKABLE int index(double seconds) const;
    Q_INVOKABLE QString title(double seconds) const;
};

} // namespace tender::views
