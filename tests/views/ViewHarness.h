#pragma once

#include "ModelHarness.h"

#include <QQuickItem>
#include <QQuickView>

namespace tender::test {

// A person of the list; `close` marks them close.
inline Contact person(const QString &id, const QString &label, qint64 position, bool close = false)
{
    return Contact{id, label, position, close ? std::optional(true) : std::nullopt};
}

// "Друг 0" … "Друг n-1", the first `close` of them close.
inline QList<Contact> people(int n, int close = 0)
{
    QList<Contact> list;
    for (int i = 0; i < n; ++i)
        list << person(QStringLiteral("p%1").arg(i), QStringLiteral("Друг %1").arg(i), i, i < close);
    return list;
}

// The popover's root view over a model on fakes, in an offscreen window.
class ViewHarness {
public:
    ViewHarness();
    ~ViewHarness();

    // A signed-in model whose first sync delivered `contacts`.
    TestModel &signedInWith(const QList<Contact> &contacts);
    TestModel &signedOut();
    // Loads RootView.qml into a shown window; false when QML reported errors.
    bool show();

    QQuickItem *item(const QString &objectName) const;
    // The item of that name that is visible on screen, when several share it.
    QQuickItem *shown(const QString &objectName) const;
    QString text(const QString &objectName) const;
    bool isShown(const QString &objectName) const { return shown(objectName) != nullptr; }
    // Clicks once layouts have settled: items move on the next frame.
    void click(const QString &objectName);
    void laidOut();
    // Visible items named `objectName` (any name when empty), in visual tree order.
    QList<QQuickItem *> allShown(const QString &objectName) const;
    // The enabled flags of a menu's items, found by their object names.
    bool menuItemEnabled(QObject *menu, const QString &itemName) const;
    // Pixels in a text item's box that are neither its colour, nor the colour
    // behind it, nor a blend of the two: the pixels of colour glyphs.
    int offTonePixels(QQuickItem *text);
    // The window's pixel at a point of an item.
    QColor pixelAt(QQuickItem *item, QPointF at);
    void settle();

    ModelHarness model;
    QQuickView view;
    QStringList warnings;
};

} // namespace tender::test
