#pragma once

#include "ModelHarness.h"

#include <QQuickItem>
#include <QQuickView>

namespace tender::test {

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
    void click(const QString &objectName);
    // Visible items named `objectName` (any name when empty), in visual tree order.
    QList<QQuickItem *> allShown(const QString &objectName) const;
    // The enabled flags of a menu's items, found by their object names.
    bool menuItemEnabled(QObject *menu, const QString &itemName) const;
    void settle();

    ModelHarness model;
    QQuickView view;
    QStringList warnings;
};

} // namespace tender::test
