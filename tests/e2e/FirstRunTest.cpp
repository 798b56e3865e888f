#include "TestMain.h"
#include "Await.h"
#include "RealServer.h"
#include "ViewHarness.h"
#include "records/InviteCode.h"
#include "platform/JsonPreferencesStore.h"
#include "platform/SystemClock.h"
#include "service/API.h"
#include "service/Auth.h"

#include <QtTest>

using namespace tender;
using namespace tender::test;

// A new user's first steps in the real popover on the real service, each step
// through the screens, then a restart of the app over the same files.
class FirstRunTest : public QObject {
    Q_OBJECT

    RealServer server;
    QTemporaryDir home;
    std::unique_ptr<JsonPreferencesStore> preferences;
    std::unique_ptr<ViewHarness> app;
    const QString email = QStringLiteral("vera@example.org");

    // The app as launched: preferences and session read from `home`.
    void launch()
    {
        preferences = std::make_unique<JsonPreferencesStore>(home.filePath("preferences.json"));
        app = std::make_unique<ViewHarness>();
        app->model.preferences = preferences.get();
        app->model.sessionFile = home.filePath("session.json");
        app->model.makeModel(server.endpoints()).start();
        QVERIFY(app->show());
    }

    void quit()
    {
        app.reset(); // the view goes before the model it shows
        preferences.reset();
    }

    void type(const QString &objectName, const QString &text)
    {
        QQuickItem *input = app->shown(objectName);
        QVERIFY2(input, qPrintable(objectName));
        input->setProperty("text", text);
        app->settle();
    }

    // Keys as a person presses them, for inputs that follow only edits.
    void typeKeys(const QString &objectName, const QString &text)
    {
        QQuickItem *input = app->shown(objectName);
        QVERIFY2(input, qPrintable(objectName));
        input->forceActiveFocus();
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, &app->view, Qt::Key_unknown, QString(c), Qt::NoModifier);
        app->settle();
    }

    void toggle(const QString &switchRow)
    {
        QQuickItem *row = app->shown(switchRow);
        QVERIFY2(row, qPrintable(switchRow));
        QQuickItem *knob = row->findChild<QQuickItem *>("switch");
        QVERIFY(knob);
        QTest::mouseClick(&app->view, Qt::LeftButton, {},
                          knob->mapToScene(QPointF(knob->width() / 2, knob->height() / 2)).toPoint());
        app->settle();
    }

    AppModel &model() { return app->model.model(); }

    // Someone else who already uses the app, with their own session.
    QString inviteOfAnotherUser()
    {
        SystemClock clock;
        QNetworkAccessManager network;
        Auth auth(clock, network, server.endpoints(), home.filePath("boris-session.json"));
        API api(auth, network, server.endpoints());
        await(auth.signIn("boris@example.org", "пароль Бориса"));
        return await(api.me()).invite_url;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(server.start(), qPrintable(server.error()));
        launch();
    }

    void cleanupTestCase() { quit(); }

    void signsUpByEmailOnTheSignInScreen()
    {
        QVERIFY(app->isShown("signInView"));
        app->click("withEmail");
        type("emailInput", " " + email + " ");
        type("passwordInput", "короткий");
        app->click("submit");
        QTRY_VERIFY(app->isShown("mainView"));
        QVERIFY(model().signedIn());
        QCOMPARE(model().email(), std::optional<QString>(email));
        QTRY_VERIFY(model().online());
        QTRY_VERIFY(model().inviteURL().has_value());
        QVERIFY(app->isShown("emptyState"));
        QVERIFY(QFile::exists(home.filePath("session.json")));
    }

    void addsAPersonFromAnInviteLink()
    {
        const std::optional<QString> code = inviteID(inviteOfAnotherUser());
        QVERIFY(code.has_value());
        model().handle("tender://add/" + *code);
        app->settle();
        QCOMPARE(model().route(), Route::add(*code));
        QVERIFY(app->isShown("addForm"));

        type("nameInput", "Борис");
        app->click("save");
        QTRY_VERIFY(app->isShown("mainView"));
        QTRY_COMPARE(model().contacts().size(), 1);
        QCOMPARE(model().contacts().first().label, QString("Борис"));
    }

    void editsThatPerson()
    {
        const QString id = model().contacts().first().id;
        model().setRoute(Route::edit(id));
        app->settle();
        QVERIFY(app->isShown("editForm"));
        type("nameInput", "Боря");
        app->click("save");
        QTRY_VERIFY(app->isShown("mainView"));
        const QList<Contact> stored = await(model().api().contacts());
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().label, QString("Боря"));
    }

    void pairsADeviceAndSeesItsTokenOnce()
    {
        app->click("settings");
        QVERIFY(app->isShown("settingsView"));
        app->click("tab-2");
        QTRY_VERIFY(app->isShown("deviceName"));
        typeKeys("deviceName", "Лампа");
        app->click("pair");
        QTRY_VERIFY(app->isShown("tokenCard"));
        const QString token = app->shown("token")->property("text").toString();
        QVERIFY(!token.isEmpty());
        QCOMPARE(await(model().api().devices()).size(), 1);

        app->click("tokenDone");
        QVERIFY(!app->isShown("tokenCard"));
        for (QQuickItem *item : app->allShown(QString()))
            QVERIFY(!item->property("text").toString().contains(token));
    }

    void changesASetting()
    {
        app->click("tab-0");
        const bool before = model().sound();
        toggle("soundSwitch");
        QCOMPARE(model().sound(), !before);
    }

    void aRestartKeepsTheSessionAndThePreferences()
    {
        const bool sound = model().sound();
        quit();

        launch();
        QVERIFY(model().signedIn());
        QCOMPARE(model().email(), std::optional<QString>(email));
        QCOMPARE(model().sound(), sound);
        QVERIFY(app->isShown("mainView"));
        QTRY_VERIFY(model().online());
        QTRY_VERIFY(model().inviteURL().has_value());
        QTRY_COMPARE(model().contacts().size(), 1);
        QCOMPARE(model().contacts().first().label, QString("Боря"));
        app->click("settings");
        QQuickItem *soundSwitch = app->shown("soundSwitch");
        QVERIFY(soundSwitch);
        QCOMPARE(soundSwitch->findChild<QQuickItem *>("switch")->property("checked").toBool(), sound);
    }
};

TENDER_TEST_MAIN(FirstRunTest)
#include "FirstRunTest.moc"
