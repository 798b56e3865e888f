#include "ViewHarness.h"

#include "views/Views.h"

#include <QQmlEngine>
#include <QVector3D>

#include <algorithm>
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
    TestModel &app = model.makeLoadedModel(contacts);
    (void)QTest::qWaitFor([&] { return app.online(); }, 5000);
    return app;
}

bool ViewHarness::open(const QList<Contact> &contacts, const Route &route)
{
    signedInWith(contacts).setRoute(route);
    return show();
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

QList<QQuickItem *> ViewHarness::find(const QString &objectName, bool onlyVisible) const
{
    QList<QQuickItem *> found;
    if (view.rootObject())
        collect(view.rootObject(), objectName, onlyVisible, found);
    return found;
}

QStringList ViewHarness::shownIds(const QString &prefix) const
{
    QStringList ids;
    for (const QQuickItem *found : allShown(QString()))
        if (found->objectName().startsWith(prefix))
            ids << found->objectName().mid(prefix.size());
    return ids;
}

QStringList ViewHarness::shownTexts(const QString &name) const
{
    QStringList texts;
    for (const QQuickItem *found : allShown(name))
        texts << found->property("text").toString();
    return texts;
}

QQuickItem *ViewHarness::inside(const QString &parent, const QString &child) const
{
    QQuickItem *outer = shown(parent);
    const auto children = outer ? outer->findChildren<QQuickItem *>(child) : QList<QQuickItem *>();
    const auto visible = std::find_if(children.begin(), children.end(), effectivelyVisible);
    return visible != children.end() ? *visible : children.value(0);
}

QString ViewHarness::text(const QString &objectName, const char *property) const
{
    const QQuickItem *found = isShown(objectName) ? shown(objectName) : item(objectName);
    if (!found)
        QTest::qFail(qPrintable("no item " + objectName), __FILE__, __LINE__);
    return found ? found->property(property).toString() : QString();
}

void ViewHarness::laidOut()
{
    QVERIFY(QQuickTest::qWaitForPolish(&view));
}

void ViewHarness::click(const QString &objectName)
{
    laidOut();
    QVERIFY2(isShown(objectName), qPrintable(objectName));
    clickAt(shown(objectName));
}

void ViewHarness::clickAt(QQuickItem *target, qreal fractionX)
{
    laidOut();
    QVERIFY(target);
    const QPointF point = target->mapToScene(QPointF(target->width() * fractionX, target->height() / 2));
    QTest::mouseClick(&view, Qt::LeftButton, {}, point.toPoint());
    settle();
}

void ViewHarness::toggle(const QString &switchRow)
{
    clickAt(inside(switchRow, QStringLiteral("switch")));
}

bool ViewHarness::isOn(const QString &switchRow) const
{
    const QQuickItem *knob = inside(switchRow, QStringLiteral("switch"));
    if (!knob)
        QTest::qFail(qPrintable("no switch in " + switchRow), __FILE__, __LINE__);
    return knob && knob->property("checked").toBool();
}

void ViewHarness::setText(const QString &input, const QString &text)
{
    QVERIFY2(isShown(input), qPrintable(input));
    shown(input)->setProperty("text", text);
    settle();
}

void ViewHarness::type(const QString &input, const QString &text)
{
    QVERIFY2(isShown(input), qPrintable(input));
    shown(input)->forceActiveFocus();
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown, QString(c), Qt::NoModifier);
    settle();
}

QString ViewHarness::menu(const QString &holder) const
{
    QObject *menu = item(holder) ? item(holder)->findChild<QObject *>(QStringLiteral("menu")) : nullptr;
    QStringList items;
    for (int i = 0; menu && i < menu->property("count").toInt(); ++i) {
        QQuickItem *entry = nullptr;
        QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem *, entry), Q_ARG(int, i));
        items << (entry->isEnabled() ? QString() : QStringLiteral("-")) + entry->objectName();
    }
    return items.join(u' ');
}

namespace {

// How far a colour lies from every blend of `a` and `b`, in 8-bit RGB steps.
qreal distanceFromBlends(const QColor &colour, const QColor &a, const QColor &b)
{
    const QVector3D p(colour.red(), colour.green(), colour.blue());
    const QVector3D from(a.red(), a.green(), a.blue());
    const QVector3D along = QVector3D(b.red(), b.green(), b.blue()) - from;
    const float length2 = along.lengthSquared();
    const float dot = QVector3D::dotProduct(p - from, along);
    const float share = length2 == 0 ? 0 : std::clamp(dot / length2, 0.f, 1.f);
    return (p - (from + share * along)).length();
}

} // namespace

int ViewHarness::offTonePixels(QQuickItem *text)
{
    laidOut();
    const QImage image = view.grabWindow();
    const qreal scale = image.devicePixelRatio();
    const QRect box =
        QRectF(text->mapToScene(QPointF(0, 0)) * scale, text->size() * scale).toAlignedRect() & image.rect();
    const QColor ink = text->property("color").value<QColor>();
    const QColor ground = image.pixelColor(box.topLeft());
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            count += distanceFromBlends(image.pixelColor(x, y), ink, ground) > 48 ? 1 : 0;
    return count;
}

void ViewHarness::settle()
{
    QCoreApplication::processEvents();
    QTest::qWait(20);
    // What a change moved is read next: wait for the layouts, which a busy machine may not have run.
    (void)QQuickTest::qWaitForPolish(&view);
}

void ViewTest::cleanup()
{
    if (h)
        QVERIFY2(h->warnings.isEmpty(), qPrintable(h->warnings.join('\n')));
    h.reset();
}

} // namespace tender::test
