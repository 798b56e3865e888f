#include "Await.h"
#include "RealServer.h"
#include "ViewHarness.h"
#include "model/InviteCode.h"
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

    void opensTheAddFormFromAnInviteLink()
    {
        const std::optional<QString> code = inviteID(inviteOfAnotherUser());
        QVERIFY(code.has_value());
        model().handle("tender://add/" + *code);
        app->settle();
        QCOMPARE(model().route(), Route::add(*code));
        QVERIFY(app->isShown("addForm"));
    }

    void aRestartKeepsTheSessionAndThePreferences()
    {
        const bool sound = !model().sound();
        model().setSound(sound);
        quit();

        launch();
        QVERIFY(model().signedIn());
        QCOMPARE(model().email(), std::optional<QString>(email));
        QCOMPARE(model().sound(), sound);
        QVERIFY(app->isShown("mainView"));
        QTRY_VERIFY(model().online());
        QTRY_VERIFY(model().inviteURL().has_value());
    }
};

QTEST_MAIN(FirstRunTest)
#include "FirstRunTest.moc"
