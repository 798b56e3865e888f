#include "ViewHarness.h"

#include "records/Palette.h"

using namespace tender;
using namespace tender::test;

namespace {

const QString code = QStringLiteral("ABCDE-FGHJK");
const QString noLink = QStringLiteral("Вставь ссылку, которую тебе прислали");
const QString goodLink = QStringLiteral("Ссылка в порядке. Осталось подписать.");

} // namespace

class ContactFormTest : public ViewTest {
    Q_OBJECT

    bool canSave() const { return h->shown("save")->isEnabled(); }
    qreal previewHeight() const { return h->shown("preview")->height(); }

private slots:
    void addFormWaitsForALinkAndANameAndKeepsItselfWhenASaveFails()
    {
        QVERIFY(h->open(people(1), Route::add()));
        QCOMPARE(h->showing({"addForm", "removeAsk"}), QStringList{"addForm"});
        QCOMPARE(h->texts({"formTitle", "lookupNote", "closingNote"}),
                 (QStringList{"Новый человек", noLink, "Человек не увидит ни имя, ни цвет. "
                                                       "Порядок кружков меняется через правый клик."}));
        QCOMPARE(h->text("linkInput", "placeholderText"), h->service.base().authority() + "/i/…");

        h->setText("nameInput", "Мама");
        QVERIFY(!canSave()); // no link yet
        const QList<std::tuple<QString, QString, bool>> links{
            {"  просто текст ", "Не похоже на ссылку-приглашение", false},
            {"  https://tender.example/i/abcde-fghjk?from=chat \n", goodLink, true},
            {"", noLink, false}};
        for (const auto &[link, note, valid] : links) {
            h->setText("linkInput", link);
            QCOMPARE(h->text("lookupNote"), note);
            QCOMPARE(canSave(), valid);
        }

        // An invite link opened while the form is open fills it at once.
        for (const QString &invite : {code, QStringLiteral("ZZZZZ-ZZZZZ")}) {
            h->app().handle("tender://add/" + invite);
            h->settle();
            QCOMPARE(h->text("linkInput"), h->service.base().toString() + "/i/" + invite);
            QCOMPARE(h->text("lookupNote"), goodLink);
        }

        // A failed save keeps the form and says why; a later one lands after the form closed.
        h->service.on("POST", "/v1/contacts", jsonReply(409, {{"error", "already in the list"}}, 200));
        h->service.on("POST", "/v1/contacts", jsonReply(200, person("new", "Лена", 1).toJson(), 300));
        h->setText("nameInput", "Лена");
        h->click("swatch-4");
        QVERIFY(!h->isShown("formError"));
        h->click("save");
        QCOMPARE(h->text("save"), QString("Сохраняем…"));
        QVERIFY(!canSave());
        QTRY_COMPARE(h->text("save"), QString("Добавить"));
        QCOMPARE(h->showing({"addForm", "formError"}), QStringList({"addForm", "formError"}));
        QCOMPARE(h->texts({"formError", "nameInput"}), (QStringList{"Уже есть в списке", "Лена"}));
        QVERIFY(canSave());
        QVERIFY(!h->app().contactColors().contains("new"));

        h->click("save");
        h->click("back");
        QVERIFY(h->isShown("mainView"));
        QTRY_COMPARE(h->app().contacts().size(), 2);
        QCOMPARE(h->app().route(), Route::main());
        QCOMPARE(h->app().contactColors().value("new"), qint64(4));
    }

    void editAsksBeforeRemovalTakesANameOfOneToSixtyFourCharactersAndSavesIt()
    {
        h->service.on("PATCH", "/v1/contacts/p1", FakeReply::json(500, {}));
        h->service.on("PATCH", "/v1/contacts/p1", FakeReply::json(200, {}));
        h->service.on("DELETE", "/v1/contacts/p1", FakeReply::json(404, {{"error", "no such contact"}}));
        h->service.on("DELETE", "/v1/contacts/p1", FakeReply::json(200, {}));
        QVERIFY(h->open(people(2), Route::edit("p1")));
        QVERIFY(h->isShown("editForm"));
        QCOMPARE(h->texts({"formTitle", "nameInput"}), (QStringList{"Изменить", "Друг 1"}));
        QVERIFY(canSave());

        // Removal asks first.
        h->click("removeAsk");
        QCOMPARE(h->showing({"removeAsk", "removeQuestion"}), QStringList{"removeQuestion"});
        QCOMPARE(h->text("removeQuestion"), QString("Убрать «Друг 1» из списка?"));
        QVERIFY(h->service.requests("DELETE", "/v1/contacts/p1").isEmpty());
        h->click("removeNo");
        QCOMPARE(h->showing({"removeAsk", "removeQuestion"}), QStringList{"removeAsk"});
        h->click("removeAsk");
        h->click("removeYes");
        QTRY_COMPARE(h->text("formError"), QString("Не нашли"));
        QVERIFY(h->isShown("editForm"));

        const QString longest(64, u'я');
        const QList<std::pair<QString, bool>> names{
            {longest, true}, {longest + u'я', false}, {"  " + longest + "  ", true}, {"    ", false}};
        for (const auto &[name, valid] : names) {
            h->setText("nameInput", name);
            QVERIFY2(canSave() == valid, qPrintable(name));
        }
        h->setText("nameInput", "  Лена ");
        QVERIFY(h->text("closingNote").startsWith("Лена не увидит"));

        h->click("save");
        QTRY_COMPARE(h->text("formError"), QString("Сервер не ответил, попробуй ещё раз"));
        QVERIFY(h->isShown("editForm"));
        h->click("save");
        QTRY_COMPARE(h->app().route(), Route::main());
        QCOMPARE(h->app().contacts()[1].label, QString("Лена"));

        h->app().setRoute(Route::edit("p1"));
        h->settle();
        h->click("removeAsk");
        h->click("removeYes");
        QTRY_COMPARE(h->app().route(), Route::main());
        QCOMPARE(h->app().contacts().size(), 1);
        QCOMPARE(h->service.requests("DELETE", "/v1/contacts/p1").size(), 2);
    }

    void previewIsACircleForCloseAndARowOtherwise()
    {
        QVERIFY(h->open(people(3, 1), Route::edit("p2")));
        QVERIFY(!h->shown("closeSwitch")->property("checked").toBool());
        QCOMPARE(previewHeight(), 46.0);
        // the colour of the third place in the list, with no stored choice
        QCOMPARE(h->texts({"previewName", "colorName"}), (QStringList{"Друг 2", Palette::at(2).name}));

        h->click("closeSwitch");
        QCOMPARE(previewHeight(), 62.0);
        QCOMPARE(h->text("previewInitial"), QString("Д"));
        h->setText("nameInput", " ");
        QCOMPARE(h->text("previewInitial"), QString("?"));
        h->click("closeSwitch");
        QCOMPARE(previewHeight(), 46.0);
        QCOMPARE(h->text("previewName"), QString("Имя"));
    }

    void addingSendsTheTrimmedNameAndKeepsTheColourAndTheCloseSwitchStartsOnUnderTenClose()
    {
        QVERIFY(h->open(people(12, 10), Route::add()));
        QVERIFY(!h->shown("closeSwitch")->property("checked").toBool());

        h = std::make_unique<ViewHarness>();
        h->service.on("POST", "/v1/contacts", FakeReply::json(200, person("new", "Лена", 12).toJson()));
        QVERIFY(h->open(people(12, 9), Route::add(code)));
        QCOMPARE(h->text("colorName"), Palette::at(0).name); // nobody has a stored colour
        h->click("swatch-5");
        QCOMPARE(h->text("colorName"), Palette::at(5).name);
        h->click("closeSwitch"); // on with nine close
        QVERIFY(!h->shown("closeSwitch")->property("checked").toBool());

        h->type("nameInput", "  Лена  ");
        QCOMPARE(h->text("nameInput"), QString("  Лена  "));
        QTest::keyClick(&h->view, Qt::Key_Return);

        QTRY_COMPARE(h->app().route(), Route::main());
        const auto posts = h->service.requests("POST", "/v1/contacts");
        QCOMPARE(posts.size(), 1);
        QCOMPARE(posts[0].json(), QJsonObject({{"code", code}, {"label", "Лена"}, {"close", false}}));
        QCOMPARE(h->app().contactColors().value("new"), qint64(5));
        h->settle();
        QVERIFY(h->isShown("row-new"));
    }
};

TENDER_TEST_MAIN(ContactFormTest)
#include "ContactFormTest.moc"
