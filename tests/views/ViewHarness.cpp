#include "ViewHarness.h"

#include "views/Views.h"

#include <QQmlEngine>
#include <QTest>

namespace tender::test {

namespace {

bool effectivelyVisible(const QQuickItem *item)
{
    return item->isVisible() && item->opacity() > 0;
}

} // namespace

ViewHarness::ViewHarness()
{
    QObject::connect(view.engine(), &QQmlEngine::warnings, [this](const QList<QQmlError> &errors) {
        for (const QQmlError &error : errors)
            warnings << error.toString();
    });
}

ViewHarness::~ViewHarness() = default;

TestModel &ViewHarness::signedInWith(const QList<Contact> &contacts)
{
    model.saveSession();
    model.scriptData(contacts);
    TestModel &app = model.makeModel();
    app.start();
    if (StreamPeer *peer = model.awaitPeer(0))
        peer->sendText(R"({"type":"ready"})");
    (void)QTest::qWaitFor([&] { return app.contacts().size() == contacts.size() && app.online(); }, 5000);
    return app;
}

TestModel &ViewHarness::signedOut()
{
    return model.makeModel();
}

bool ViewHarness::show()
{
    views::setUp(model.model(), model.clock, model.clipboard);
    view.setSource(QUrl(QStringLiteral("qrc:/qt/qml/Tender/RootView.qml")));
    if (view.status() != QQuickView::Ready) {
        for (const QQmlError &error : view.errors())
            warnings << error.toString();
        return false;
    }
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

QQuickItem *ViewHarness::item(const QString &objectName) const
{
    QQuickItem *root = view.rootObject();
    if (!root)
        return nullptr;
    if (root->objectName() == objectName)
        return root;
    return root->findChild<QQuickItem *>(objectName);
}

QList<QQuickItem *> ViewHarness::allShown(const QString &objectName) const
{
    QList<QQuickItem *> found;
    if (!view.rootObject())
        return found;
    for (QQuickItem *candidate : view.rootObject()->findChildren<QQuickItem *>(objectName)) {
        bool visible = true;
        for (QQuickItem *up = candidate; up && visible; up = up->parentItem())
            visible = effectivelyVisible(up);
        if (visible)
            found << candidate;
    }
    return found;
}

QQuickItem *ViewHarness::shown(const QString &objectName) const
{
    const QList<QQuickItem *> found = allShown(objectName);
    return found.isEmpty() ? nullptr : found.first();
}

QString ViewHarness::text(const QString &objectName) const
{
    const QQuickItem *found = item(objectName);
    return found ? found->property("text").toString() : QString();
}

void ViewHarness::click(const QString &objectName)
{
    QQuickItem *target = shown(objectName);
    QVERIFY2(target, qPrintable(objectName));
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(&view, Qt::LeftButton, {}, centre.toPoint());
    settle();
}

bool ViewHarness::menuItemEnabled(QObject *menu, const QString &itemName) const
{
    const int count = menu->property("count").toInt();
    for (int i = 0; i < count; ++i) {
        QQuickItem *entry = nullptr;
        QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem *, entry), Q_ARG(int, i));
        if (entry && entry->objectName() == itemName)
            return entry->property("enabled").toBool();
    }
    qWarning("no menu item %s", qPrintable(itemName));
    return false;
}

void ViewHarness::settle()
{
    QCoreApplication::processEvents();
    QTest::qWait(20);
}

} // namespace tender::test
