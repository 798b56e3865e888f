#include "ViewHarness.h"

#include "views/Views.h"

#include <QQmlEngine>
#include <QVector3D>

#include <algorithm>
#include <QTest>
#include <QtQuickTest/quicktest.h>

namespace tender::test {

namespace {

bool effectivelyVisible(const QQuickItem *item)
{
    return item->isVisible() && item->opacity() > 0;
}

// Walks the visual tree, which also holds what repeaters and loaders made.
void collect(QQuickItem *item, const QString &objectName, bool onlyVisible, QList<QQuickItem *> &found)
{
    if (onlyVisible && !effectivelyVisible(item))
        return;
    if (objectName.isEmpty() || item->objectName() == objectName)
        found << item;
    for (QQuickItem *child : item->childItems())
        collect(child, objectName, onlyVisible, found);
}

} // namespace

ViewHarness::ViewHarness()
{
    QObject::connect(view.engine(), &QQmlEngine::warnings, [this](const QList<QQmlError> &errors) {
        for (const QQmlError &error : errors)
            warnings << error.toString();
    });
}

ViewHarness::~ViewHarness()
{
    if (!warnings.isEmpty())
        qWarning() << warnings;
}

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
    QList<QQuickItem *> found;
    if (view.rootObject())
        collect(view.rootObject(), objectName, false, found);
    return found.isEmpty() ? nullptr : found.first();
}

QList<QQuickItem *> ViewHarness::allShown(const QString &objectName) const
{
    QList<QQuickItem *> found;
    if (view.rootObject())
        collect(view.rootObject(), objectName, true, found);
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

void ViewHarness::laidOut()
{
    QVERIFY(QQuickTest::qWaitForPolish(&view));
}

void ViewHarness::click(const QString &objectName)
{
    laidOut();
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

namespace {

// How far a colour lies from every blend of `a` and `b`, in 8-bit RGB steps.
qreal distanceFromBlends(const QColor &colour, const QColor &a, const QColor &b)
{
    const QVector3D p(colour.red(), colour.green(), colour.blue());
    const QVector3D from(a.red(), a.green(), a.blue());
    const QVector3D along = QVector3D(b.red(), b.green(), b.blue()) - from;
    const float share = along.isNull() ? 0 : std::clamp(QVector3D::dotProduct(p - from, along) / along.lengthSquared(), 0.f, 1.f);
    return (p - (from + share * along)).length();
}

} // namespace

int ViewHarness::offTonePixels(QQuickItem *text)
{
    laidOut();
    const QImage image = view.grabWindow();
    const qreal scale = image.devicePixelRatio();
    const QRect box = QRectF(text->mapToScene(QPointF(0, 0)) * scale, text->size() * scale).toAlignedRect() & image.rect();
    const QColor ink = text->property("color").value<QColor>();
    const QColor ground = image.pixelColor(box.topLeft());
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            count += distanceFromBlends(image.pixelColor(x, y), ink, ground) > 48 ? 1 : 0;
    return count;
}

QColor ViewHarness::pixelAt(QQuickItem *item, QPointF at)
{
    laidOut();
    const QImage image = view.grabWindow();
    return image.pixelColor((item->mapToScene(at) * image.devicePixelRatio()).toPoint());
}

void ViewHarness::settle()
{
    QCoreApplication::processEvents();
    QTest::qWait(20);
    // What a change moved is read next: wait for the layouts, which a busy machine may not have run.
    (void)QQuickTest::qWaitForPolish(&view);
}

} // namespace tender::test
