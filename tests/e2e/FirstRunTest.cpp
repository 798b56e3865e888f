#include "RealServer.h"
#include "ViewHarness.h"
#include "records/InviteCode.h"

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

    // The app as launched, after the one before quit: preferences and session read from `home`.
    void launch()
    {
        app.reset(); // the view goes before the model it shows, and both before the preferences
        preferences = std::make_unique<JsonPreferencesStore>(home.filePath("preferences.json"));
        app = std::make_unique<ViewHarness>();
        app->model.preferences = preferences.get();
        app->model.sessionFile = home.filePath("session.json");
        app->model.makeModel(server.endpoints()).start();
        QVERIFY(app->show());
    }

    AppModel &model() { return app->app(); }

    // Saves the open form and waits for the main view.
    void saveAs(const QString &name)
    {
        app->setText("nameInput", name);
        app->click("save");
        QTRY_VERIFY(app->isShown("mainView"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(server.start(), qPrintable(server.error()));
        launch();
    }

    void signsUpByEmailOnTheSignInScreen()
    {
        QVERIFY(app->isShown("signInView"));
        app->click("withEmail");
        app->setText("emailInput", " " + email + " ");
        app->setText("passwordInput", "короткий");
        app->click("submit");
        QTRY_VERIFY(app->isShown("mainView"));
        QVERIFY(model().signedIn());
        QCOMPARE(model().email(), std::optional<QString>(email));
        QTRY_VERIFY(model().online() && model().inviteURL().has_value());
        QVERIFY(app->isShown("emptyState"));
    }

    void addsAPersonFromAnInviteLinkAndRenamesThem()
    {
        // Someone else who already uses the app.
        const std::optional<QString> code = inviteID(await(server.signUp("boris")->api.me()).invite_url);
        QVERIFY(code.has_value());
        model().handle("tender://add/" + *code);
        app->settle();
        QCOMPARE(model().route(), Route::add(*code));
        QVERIFY(app->isShown("addForm"));
        saveAs("Борис");
        QTRY_COMPARE(model().contacts().size(), 1);
        QCOMPARE(model().contacts().first().label, QString("Борис"));

        model().setRoute(Route::edit(model().contacts().first().id));
        app->settle();
        QVERIFY(app->isShown("editForm"));
        saveAs("Боря");
        const QList<Contact> stored = await(model().api().contacts());
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().label, QString("Боря"));
    }

    void aRestartKeepsTheSessionAndThePreferences()
    {
        app->click("settings");
        const bool sound = !model().sound();
        app->toggle("soundSwitch");
        QCOMPARE(model().sound(), sound);

        launch();
        QVERIFY(model().signedIn());
        QCOMPARE(model().email(), std::optional<QString>(email));
        QCOMPARE(model().sound(), sound);
        QVERIFY(app->isShown("mainView"));
        QTRY_VERIFY(model().online() && model().inviteURL().has_value());
        QTRY_COMPARE(model().contacts().size(), 1);
        QCOMPARE(model().contacts().first().label, QString("Боря"));
        app->click("settings");
        QCOMPARE(app->isOn("soundSwitch"), sound);
    }
};

TENDER_TEST_MAIN(FirstRunTest)
#include "FirstRunTest.moc"
