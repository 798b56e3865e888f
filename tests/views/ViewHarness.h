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

// A JSON answer, sent `delayMs` after the request came.
inline FakeReply jsonReply(int status, const QJsonObject &body, int delayMs = 0)
{
    FakeReply reply = FakeReply::json(status, body);
    reply.delayMs = delayMs;
    return reply;
}

// The popover's root view over a model on fakes, in an offscreen window.
class ViewHarness {
public:
    ViewHarness();
    ~ViewHarness();

    // A signed-in model whose first sync delivered `contacts`.
    TestModel &signedInWith(const QList<Contact> &contacts);
    // Loads RootView.qml into a shown window; false when QML reported errors.
    bool show();
    // Signed in with `contacts` and shown at `route`.
    bool open(const QList<Contact> &contacts, const Route &route = Route::main());
    TestModel &app() { return model.model(); }

    // Items named `objectName` (any name when empty), in visual tree order.
    QList<QQuickItem *> find(const QString &objectName, bool onlyVisible) const;
    QList<QQuickItem *> allShown(const QString &objectName) const { return find(objectName, true); }
    QQuickItem *item(const QString &objectName) const { return find(objectName, false).value(0); }
    // The item of that name that is visible on screen, when several share it.
    QQuickItem *shown(const QString &objectName) const { return allShown(objectName).value(0); }
    bool isShown(const QString &objectName) const { return shown(objectName) != nullptr; }
    // Which of `names` are on screen.
    QStringList showing(QStringList names) const
    {
        names.removeIf([this](const QString &name) { return !isShown(name); });
        return names;
    }
    // The rest of the names of the shown items whose names start with `prefix`, in visual order.
    QStringList shownIds(const QString &prefix) const;
    // The visible child `child` of the shown item `parent` (or its first child of that name).
    QQuickItem *inside(const QString &parent, const QString &child) const;
    // A property of the shown item of that name, or of the first one when none is shown.
    QString text(const QString &objectName, const char *property = "text") const;
    // What text() reads for each of `names`; "name.property" reads that property.
    QStringList texts(QStringList names) const
    {
        for (QString &name : names) {
            const QString property = name.section(u'.', 1);
            name = text(name.section(u'.', 0, 0), property.isEmpty() ? "text" : qPrintable(property));
        }
        return names;
    }
    // The texts of the shown items named `name`, in visual order.
    QStringList shownTexts(const QString &name) const;

    // Clicks once layouts have settled: items move on the next frame.
    void click(const QString &objectName);
    void clickAt(QQuickItem *item, qreal fractionX = 0.5);
    void toggle(const QString &switchRow);
    bool isOn(const QString &switchRow) const;
    // Sets an input's text as a paste would; type() presses keys, for inputs that follow only edits.
    void setText(const QString &input, const QString &text);
    void type(const QString &input, const QString &text);
    void laidOut();
    void settle();

    // The items of the context menu of `holder` by name, "-" before a disabled one.
    QString menu(const QString &holder) const;
    // Pixels in a text item's box that are neither its colour, nor the colour
    // behind it, nor a blend of the two: the pixels of colour glyphs.
    int offTonePixels(QQuickItem *text);

    ModelHarness model;
    FakeService &service = model.service;
    ManualClock &clock = model.clock;
    QQuickView view;
    QStringList warnings;
};

// The base of a view test class: a fresh harness for each case, Russian formats, no QML warnings.
class ViewTest : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<ViewHarness> h;

protected slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() { h = std::make_unique<ViewHarness>(); }
    void cleanup();
};

} // namespace tender::test
