#pragma once

#include <QObject>
#include <QQmlEngine>

namespace tender {
class Clipboard;
}

namespace tender::views {

// Puts plain text where the user can paste it ("Скопировать id для устройства").
class Pasteboard : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;
    static void setClipboard(Clipboard *clipboard);

    Q_INVOKABLE void copy(const QString &text) const;
};

} // namespace tender::views
