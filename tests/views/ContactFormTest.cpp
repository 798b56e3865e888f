#include "TestMain.h"
#include "ViewHarness.h"

#include "records/Palette.h"

#include <QtTest>

using namespace tender;
using namespace tender::test;

namespace {

const QString code = QStringLiteral("ABCDE-FGHJK");

} // namespace

class ContactFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> h;

    TestModel &model() { return h->model.model(); }

    void open(const QList<Contact> &contacts, const Route &route)
    {
        h->signedInWith(contacts);
        model().setRoute(route);
        QVERIFY(h->show());
    }

    void type(const QString &input, const QString &text)
    {
        h->shown(input)->setProperty("text", text);
        h->settle();
    }

    bool canSave() const { return h->shown("save")->isEnabled(); }
    QString lookupNote() const { return h->shown("lookupNote")->property("text").toString(); }
    QString saveLabel() const { return h->shown("save")->property("text").toString(); }
    qreal previewHeight() const { return h->shown("preview")->height(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() { h = std::make_unique<ViewHarness>(); }
    void cleanup()
    {
        QVERIFY(h->warnings.isEmpty());
        h.reset();
    }

    void emptyAddFormWaitsForALinkAndAName()
    {
        open(people(1), Route::add());
        QVERIFY(h->isShown("addForm"));
        QCOMPARE(h->text("formTitle"), QString("Новый человек"));
        QCOMPARE(h->shown("linkInput")->property("placeholderText").toString(),
                 h->model.service.base().authority() + "/i/…");
        QCOMPARE(lookupNote(), QString("Вставь ссылку, которую тебе прислали"));
        QCOMPARE(saveLabel(), QString("Добавить"));
        QVERIFY(!h->isShown("removeAsk"));
        QCOMPARE(h->text("closingNote"), QString("Человек не увидит ни имя, ни цвет. Порядок кружков меняется через правый клик."));

        type("nameInput", "Мама");
        QVERIFY(!canSave()); // no link yet
        type("linkInput", "  просто текст ");
        QCOMPARE(lookupNote(), QString("Не похоже на ссылку-приглашение"));
        QVERIFY(!canSave());
        type("linkInput", "  https://tender.example/i/abcde-fghjk?from=chat \n");
        QCOMPARE(lookupNote(), QString("Ссылка в порядке. Осталось подписать."));
        QVERIFY(canSave());
        type("linkInput", "");
        QCOMPARE(lookupNote(), QString("Вставь ссылку, которую тебе прислали"));
        QVERIFY(!canSave());
    }

    void nameMustTrimToOneToSixtyFourCharacters()
    {
        open(people(2), Route::edit("p1"));
        QVERIFY(h->isShown("editForm"));
        QCOMPARE(h->text("formTitle"), QString("Изменить"));
        QCOMPARE(h->shown("nameInput")->property("text").toString(), QString("Друг 1"));
        QVERIFY(canSave());

        type("nameInput", QString(64, u'я'));
        QVERIFY(canSave());
        type("nameInput", QString(65, u'я'));
        QVERIFY(!canSave());
        type("nameInput", "  " + QString(64, u'я') + "  ");
        QVERIFY(canSave());
        type("nameInput", "    ");
        QVERIFY(!canSave());
        QVERIFY(h->text("closingNote").startsWith("Человек не увидит"));
        type("nameInput", "  Лена ");
        QVERIFY(h->text("closingNote").startsWith("Лена не увидит"));
    }

    void closeSwitchStartsOnWhileFewerThanTenAreClose()
    {
        open(people(12, 9), Route::add());
        QVERIFY(h->shown("closeSwitch")->property("checked").toBool());
        h.reset();

        h = std::make_unique<ViewHarness>();
        open(people(12, 10), Route::add());
        QVERIFY(!h->shown("closeSwitch")->property("checked").toBool());
    }

    void previewIsACircleForCloseAndARowOtherwise()
    {
        open(people(3, 1), Route::edit("p2"));
        QVERIFY(!h->shown("closeSwitch")->property("checked").toBool());
        QCOMPARE(previewHeight(), 46.0);
        QCOMPARE(h->text("previewName"), QString("Друг 2"));
        // colour of the third place in the list, with no stored choice
        QCOMPARE(h->text("colorName"), Palette::at(2).name);

        h->click("closeSwitch");
        QCOMPARE(previewHeight(), 62.0);
        QCOMPARE(h->shown("previewInitial")->property("text").toString(), QString("Д"));
        type("nameInput", " ");
        QCOMPARE(h->shown("previewInitial")->property("text").toString(), QString("?"));
        h->click("closeSwitch");
        QCOMPARE(previewHeight(), 46.0);
        QCOMPARE(h->text("previewName"), QString("Имя"));
    }

    void inviteRouteFillsTheLinkAtOnce()
    {
        h->signedInWith(people(1));
        QVERIFY(h->show());
        model().handle("tender://add/" + code);
        h->settle();
        QVERIFY(h->isShown("addForm"));
        const QUrl web = h->model.service.base();
        QCOMPARE(h->shown("linkInput")->property("text").toString(), web.toString() + "/i/" + code);
        QCOMPARE(lookupNote(), QString("Ссылка в порядке. Осталось подписать."));

        // a second link while the form is open replaces the first
        model().handle("tender://add/ZZZZZ-ZZZZZ");
        h->settle();
        QCOMPARE(h->shown("linkInput")->property("text").toString(), web.toString() + "/i/ZZZZZ-ZZZZZ");
    }

    void addingSendsTheTrimmedNameAndKeepsTheColour()
    {
        const Contact added = person("new", "Лена", 3);
        h->model.service.on("POST", "/v1/contacts", FakeReply::json(200, added.toJson()));
        open(people(3), Route::add(code));
        QCOMPARE(h->text("colorName"), Palette::at(0).name); // nobody has a stored colour
        h->click("swatch-5");
        QCOMPARE(h->text("colorName"), Palette::at(5).name);
        h->click("closeSwitch"); // starts on with nobody close
        QVERIFY(!h->shown("closeSwitch")->property("checked").toBool());

        QQuickItem *name = h->shown("nameInput");
        name->forceActiveFocus();
        for (const QChar c : QStringLiteral("  Лена  "))
            QTest::sendKeyEvent(QTest::Click, &h->view, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QCOMPARE(name->property("text").toString(), QString("  Лена  "));
        QTest::keyClick(&h->view, Qt::Key_Return);

        QTRY_COMPARE(model().route(), Route::main());
        const auto posts = h->model.service.requests("POST", "/v1/contacts");
        QCOMPARE(posts.size(), 1);
        QCOMPARE(posts[0].json(), QJsonObject({{"code", code}, {"label", "Лена"}, {"close", false}}));
        QCOMPARE(model().contactColors().value("new"), qint64(5));
        const auto stored = h->model.defaults.integerDictionary("contactColors");
        QVERIFY(stored);
        QCOMPARE(stored->value("new"), qint64(5));
        QCOMPARE(model().contacts().last(), added);
        h->settle();
        QVERIFY(h->isShown("row-new"));
    }

    void personAddedStaysWhenTheFormClosesMeanwhile()
    {
        FakeReply slow = FakeReply::json(200, person("new", "Лена", 1).toJson());
        slow.delayMs = 300;
        h->model.service.on("POST", "/v1/contacts", slow);
        open(people(1), Route::add(code));
        type("nameInput", "Лена");
        h->click("swatch-4");
        h->click("save");
        QCOMPARE(saveLabel(), QString("Сохраняем…"));
        QVERIFY(!canSave());
        h->click("back");
        QVERIFY(h->isShown("mainView"));
        QTRY_COMPARE(model().contacts().size(), 2);
        QCOMPARE(model().route(), Route::main());
        QCOMPARE(model().contactColors().value("new"), qint64(4));
    }

    void failedSaveKeepsTheFormAndSaysWhy()
    {
        FakeReply refused = FakeReply::json(409, {{"error", "already in the list"}});
        refused.delayMs = 200;
        h->model.service.on("POST", "/v1/contacts", refused);
        open(people(1), Route::add(code));
        type("nameInput", "Лена");
        QVERIFY(!h->isShown("formError"));
        h->click("save");
        QCOMPARE(saveLabel(), QString("Сохраняем…"));
        QTRY_COMPARE(saveLabel(), QString("Добавить"));
        QVERIFY(h->isShown("addForm"));
        QCOMPARE(h->text("formError"), QString("Уже есть в списке"));
        QVERIFY(h->isShown("formError"));
        QCOMPARE(h->shown("nameInput")->property("text").toString(), QString("Лена"));
        QVERIFY(canSave());
        QCOMPARE(model().contacts().size(), 1);
        QVERIFY(!model().contactColors().contains("new"));
    }

    void editSavesThroughTheModel()
    {
        h->model.service.on("PATCH", "/v1/contacts/p0", FakeReply::json(500, {}));
        open(people(2), Route::edit("p0"));
        type("nameInput", " Мама ");
        h->click("save");
        QTRY_COMPARE(h->text("formError"), QString("Сервер не ответил, попробуй ещё раз"));
        QVERIFY(h->isShown("editForm"));
        QCOMPARE(model().contacts()[0].label, QString("Друг 0"));

        h->model.service.on("PATCH", "/v1/contacts/p0", FakeReply::json(200, {}));
        h->click("save");
        QTRY_COMPARE(model().route(), Route::main());
        QCOMPARE(model().contacts()[0].label, QString("Мама"));
        QCOMPARE(h->model.service.requests("PATCH", "/v1/contacts/p0").last().json(), QJsonObject({{"label", "Мама"}}));
    }

    void removalAsksFirst()
    {
        FakeReply missing = FakeReply::json(404, {{"error", "no such contact"}});
        h->model.service.on("DELETE", "/v1/contacts/p1", missing);
        open(people(2), Route::edit("p1"));
        h->click("removeAsk");
        QVERIFY(!h->isShown("removeAsk"));
        QCOMPARE(h->text("removeQuestion"), QString("Убрать «Друг 1» из списка?"));
        QVERIFY(h->model.service.requests("DELETE", "/v1/contacts/p1").isEmpty());
        h->click("removeNo");
        QVERIFY(h->isShown("removeAsk"));
        QVERIFY(!h->isShown("removeQuestion"));

        h->click("removeAsk");
        h->click("removeYes");
        QTRY_COMPARE(h->text("formError"), QString("Не нашли"));
        QVERIFY(h->isShown("editForm"));
        QCOMPARE(model().contacts().size(), 2);

        h->model.service.on("DELETE", "/v1/contacts/p1", FakeReply::json(200, {}));
        h->click("removeYes");
        QTRY_COMPARE(model().route(), Route::main());
        QCOMPARE(model().contacts().size(), 1);
        QCOMPARE(h->model.service.requests("DELETE", "/v1/contacts/p1").size(), 2);
    }
};

TENDER_TEST_MAIN(ContactFormTest)
#include "ContactFormTest.moc"
