#include "ModelHarness.h"
#include "model/Gaps.h"
#include "service/APIError.h"
#include "service/Stream.h"

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

const Contact anna{"c1", "Аня", 0, true};
const Contact boris{"c2", "Борис", 1, std::nullopt};

QDateTime at(int hour, int minute, int second, int day = 2)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute, second), Qt::LocalTime);
}

} // namespace

class AppModelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModelHarness> h;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() { h = std::make_unique<ModelHarness>(); }
    void cleanup() { h.reset(); }

    void launchReadsTheSessionAndLoadsDataOnTheFirstSync()
    {
        TestModel &signedOut = h->makeModel();
        signedOut.start();
        QVERIFY(!signedOut.signedIn() && !signedOut.stream().running());
        QVERIFY(!signedOut.copyInvite()); // no link to copy
        QTest::qWait(50);
        QCOMPARE(h->service.requests().size(), 0);
        QCOMPARE(h->clipboard.text, std::nullopt);

        h->saveSession("u7", QString("u7@b.c"));
        h->scriptData({anna, boris});
        TestModel &model = h->makeModel();
        QSignalSpy signedIn(&model, &AppModel::signedInChanged);
        model.start();
        QCOMPARE(signedIn.size(), 1);
        expectProperties(model, {{"email", "u7@b.c"}, {"myUID", "u7"}});
        QVERIFY(model.stream().running());

        StreamPeer *peer = h->awaitPeer(0);
        QVERIFY(peer);
        QCOMPARE(h->service.requests("GET", "/v1/contacts").size(), 0);
        peer->sendText(R"({"type":"ready"})");
        QTRY_COMPARE(model.contacts(), (QList<Contact>{anna, boris}));
        expectProperties(model, {{"inviteURL", "http://w/i/ABCDE-FGHJK"}, {"myUID", "me"}, {"online", true}});
        QVERIFY(model.copyInvite());
        QCOMPARE(h->clipboard.text, QString("http://w/i/ABCDE-FGHJK"));
    }

    // Links bring the menu up; an add link waits for the sign-in, here one through the browser.
    void linksShowTheMenuAndAnAddWaitsForSignIn()
    {
        TestModel &model = h->makeModel();
        model.handle("tender://add/abcde-FGHJK");
        QCOMPARE(h->menuShown, 1);
        QCOMPARE(model.route(), Route::main());
        model.signInWithGoogle();
        QVERIFY(model.waitingForBrowser());
        QCOMPARE(h->browser.opened.size(), 1);
        const QString state = QUrlQuery(h->browser.opened[0]).queryItemValue("state");

        model.handle("tender://signin?state=WRONG&uid=u&rt=r");
        QTRY_VERIFY(!model.waitingForBrowser());
        QCOMPARE(model.problem(), QString("Вход не завершился, попробуй ещё раз"));
        QVERIFY(!model.signedIn());
        QCOMPARE(h->menuShown, 2);

        model.handle("tender://signin?state=" + state + "&uid=g1&rt=r&email=g%40b.c");
        QTRY_VERIFY(model.signedIn());
        expectProperties(model, {{"email", "g@b.c"}, {"problem", ""}});
        QCOMPARE(h->menuShown, 3);
        QCOMPARE(model.route(), Route::add(QString("abcde-FGHJK")));
        model.setRoute(Route::main());
        model.didSignIn(); // consumed
        QCOMPARE(model.route(), Route::main());

        model.handle("tender://add/ABCDE-FGHJ2");
        QCOMPARE(model.route(), Route::add(QString("ABCDE-FGHJ2")));
        for (const char *ignored : {"tender://add/ABC", "Tender://add/ABCDE-FGHJK", "https://add/ABCDE-FGHJK",
                                    "tender://other/ABCDE-FGHJK", "tender:add/ABCDE-FGHJK"})
            model.handle(ignored);
        QCOMPARE(h->menuShown, 4);
        QCOMPARE(model.route(), Route::add(QString("ABCDE-FGHJ2")));
        QCOMPARE(model.problem(), std::nullopt);
    }

    void signOutKeepsLocalChoicesAndDeletionForgetsThem()
    {
        TestModel &model = h->makeLoadedModel({anna, boris});
        model.setContactColors({{"c1", 4}});
        model.setMyColor(7);
        model.pause(PauseLength::Hour);
        h->service.on("DELETE", "/v1/me", FakeReply::json(500, {{"error", "busy"}}));
        h->service.on("DELETE", "/v1/me", FakeReply{204, {}});
        QVERIFY_THROWS_EXCEPTION(APIError, await(model.deleteAccount()));
        QVERIFY(model.signedIn() && model.contactColors().size() == 1);
        h->service.on("GET", "/v1/contacts", FakeReply::json(500, {}));
        await(model.reload());
        model.signOut();
        expectProperties(model, {{"signedIn", false}, {"email", ""}, {"inviteURL", ""}, {"myColor", 7},
                                 {"contactColors", QVariantMap{{"c1", 4}}}});
        QVERIFY(model.contacts().isEmpty() && !QFile::exists(h->sessionFile));
        QVERIFY(model.problem().has_value() && model.isPaused());

        h->service.on("POST", FakeService::signInPath, FakeReply::account("me", "me@b.c"));
        await(model.auth().signIn("me@b.c", "secret"));
        model.didSignIn();
        await(model.deleteAccount());
        QVERIFY(!model.signedIn() && model.contactColors().isEmpty());
        QCOMPARE(h->defaults.integerDictionary("contactColors"), (QMap<QString, qint64>{}));
    }

    // Work still on its way when the user signs out reaches neither the signed-out
    // model (its list, or the message shown after sign-out) nor the next account.
    void resumptionsAfterSignOutChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("nextAccount");
        QTest::newRow("reload, me on its way") << QByteArray("GET") << "/v1/me" << true;
        QTest::newRow("reload, list on its way") << QByteArray("GET") << "/v1/contacts" << false;
        QTest::newRow("add") << QByteArray("POST") << "/v1/contacts" << true;
        QTest::newRow("save chain") << QByteArray("PATCH") << "/v1/contacts/c1" << false;
    }

    void resumptionsAfterSignOutChangeNothing()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(bool, nextAccount);
        TestModel &model = h->makeLoadedModel({anna, boris});
        h->service.on("POST", "/v1/contacts", FakeReply::json(200, Contact{"c3", "Вера", 2, {}}.toJson()));
        h->service.on("PATCH", "/v1/contacts/c1", FakeReply::json(500, {}));
        h->service.on("POST", FakeService::signInPath, FakeReply::account("u2", "u2@b.c"));
        const QString message = "Нужно войти заново";
        bool switched = false;
        // The request has arrived and is not answered until this returns.
        connect(&h->service, &FakeService::requestReceived, &model, [&](const RecordedRequest &request) {
            if (switched || request.method != method || request.path != path)
                return;
            switched = true;
            model.signOut();
            if (nextAccount) {
                await(model.auth().signIn("u2@b.c", "secret"));
                model.didSignIn();
            } else {
                model.setProblem(message);
            }
        });
        if (method == "PATCH") {
            model.setClose(anna, false);
            await(model.afterSaves());
        } else if (method == "POST") {
            await(model.addContact("zzzzz-22222", "Вера", 2, false));
        } else {
            await(model.reload());
        }
        QVERIFY(switched && model.contacts().isEmpty());
        expectProperties(model, {{"inviteURL", ""}, {"myUID", nextAccount ? "u2" : ""},
                                 {"problem", nextAccount ? "" : message}});
    }

    void firstStartGivesDefaultsAndRegistersOnceThenFollowsTheSystem()
    {
        TestModel &model = h->makeModel();
        expectProperties(model, {{"myColor", 1}, {"sound", false}, {"calm", false}, {"emojiCount", 40},
                                 {"quietWhenPresenting", true}, {"minGap", 1.0}, {"acceptAnyone", true},
                                 {"pausedUntil", QDateTime()}, {"launchAtLogin", true}});
        QVERIFY(model.stream().anyone);
        QCOMPARE(h->loginItem.requests, 1);

        h->dropModel();
        h->loginItem.enabled = false; // the user turned it off in the system
        TestModel &again = h->makeModel();
        QCOMPARE(h->loginItem.requests, 1);
        QVERIFY(!again.launchAtLogin());

        // A change shows what the system made of it: a refusal, an approval still to come, success.
        // refuse, await approval
        const std::pair<bool, bool> answers[] = {{true, false}, {false, true}, {false, false}};
        for (const auto &[refuse, awaits] : answers) {
            h->loginItem.refuse = refuse;
            h->loginItem.awaitsApproval = awaits;
            again.setLaunchAtLogin(true);
            QCOMPARE(again.launchAtLogin(), !refuse && !awaits);
        }
        QCOMPARE(again.problem(), QString("Система не дала поменять автозапуск"));
    }

    void storedValuesAreReadWithTheirTypesAndEveryAssignmentNotifies()
    {
        h->defaults.set("minGap", 20.0);
        h->defaults.set("emojiCount", QString("12"));
        h->defaults.set("myColor", qint64(13));
        h->defaults.set("acceptAnyone", false);
        h->defaults.set("quietWhenPresenting", qint64(0));
        TestModel &model = h->makeModel();
        expectProperties(model, {{"minGap", 15.0}, {"emojiCount", 40}, {"myColor", 13}, {"acceptAnyone", false},
                                 {"quietWhenPresenting", true}});
        QCOMPARE(h->defaults.number("minGap"), 20.0);
        QVERIFY(!model.stream().anyone);

        // Gaps snap to a choice; a damaged file must not ask for a billion emoji on the next heart.
        const std::initializer_list<std::tuple<const char *, PreferenceValue, QVariant>> clamped{
            {"minGap", 45.0, 30.0}, {"minGap", 100000.0, 3600.0}, {"minGap", 3.0, 1.0},
            {"emojiCount", qint64(2'000'000'000), 60}, {"emojiCount", qint64(-3), 0},
            {"emojiCount", qint64(60), 60}};
        for (const auto &[key, stored, loaded] : clamped) {
            h->dropModel();
            h->defaults.set(key, stored);
            expectProperties(h->makeModel(), {{key, loaded}});
        }
        h->model().setMinGap(300);
        QCOMPARE(h->defaults.number("minGap"), 300.0);

        // Every assignment is stored and notifies, also of the value already there.
        QSignalSpy sound(&h->model(), &AppModel::soundChanged);
        h->model().setSound(false);
        h->model().setSound(false);
        QCOMPARE(sound.size(), 2);
        QCOMPARE(h->defaults.boolean("sound"), false);

        // Gap choices and their titles.
        using namespace Gaps;
        QCOMPARE((QList{gapIndex(std::nan("")), gapIndex(-5)}), (QList{0, 0}));
        QCOMPARE((QStringList{gapTitle(90), gapTitle(7200), gapTitle(0.5), gapTitle(59.9)}),
                 (QStringList{"1 мин", "2 ч", "0 с", "59 с"}));
    }

    void pausesEndClearAndSurviveARestart()
    {
        TestModel &model = h->makeModel();
        QCOMPARE(h->clock.pendingCount(), 0); // nothing ticks at rest
        h->clock.setNow(at(7, 59, 59));
        model.pause(PauseLength::Morning);
        QCOMPARE(*model.pausedUntil(), at(8, 0, 0));
        QCOMPARE(model.pauseText(), QString("Пауза до 08:00"));
        QCOMPARE(h->iconChanges, 1);

        h->clock.setNow(at(8, 0, 0));
        model.pause(PauseLength::Morning);
        QCOMPARE(*model.pausedUntil(), at(8, 0, 0, 3));
        QCOMPARE(model.pauseText(), QString("Пауза до завтра, 08:00"));
        QCOMPARE(h->defaults.date("pausedUntil"), at(8, 0, 0, 3));

        model.pause(PauseLength::Indefinite);
        QCOMPARE(model.pauseText(), QString("Пауза, пока не снимешь"));
        h->clock.advance(48h);
        QVERIFY(model.isPaused());

        h->clock.advance(10s); // out of step with the 30-second ticks
        model.pause(PauseLength::Hour);
        const int icons = h->iconChanges;
        h->clock.advance(3600s);
        QVERIFY(!model.isPaused() && model.pauseText().isEmpty() && model.pausedUntil());
        QCOMPARE(h->iconChanges, icons);
        h->clock.advance(30s);
        QVERIFY(!model.pausedUntil() && !h->defaults.value("pausedUntil"));
        QCOMPARE(h->iconChanges, icons + 1);
        QCOMPARE(h->clock.pendingCount(), 0);

        // A stored pause survives a restart; one that cannot be read is no pause.
        h->defaults.set("pausedUntil", h->clock.now().addSecs(600));
        h->dropModel();
        QVERIFY(h->makeModel().isPaused());
        h->dropModel();
        h->defaults.set("pausedUntil", QString("tomorrow"));
        QVERIFY(!h->makeModel().pausedUntil());
    }

    // A failed reload shows a line until the next success; being offline shows only after five
    // seconds; accepting anyone or not reconnects, but not once a reload found the session ended.
    void reloadFailuresOfflineAndAcceptAnyone()
    {
        TestModel &model = h->makeLoadedModel({anna, boris});
        h->service.on("GET", "/v1/contacts", FakeReply::json(500, {}));
        await(model.reload());
        QCOMPARE(model.problem(), QString("Нет связи с сервером. Попробуем ещё раз чуть позже."));
        QVERIFY(model.signedIn() && model.contacts().size() == 2);
        h->scriptData({anna});
        await(model.reload());
        QCOMPARE(model.problem(), std::nullopt);
        QCOMPARE(model.contacts(), QList<Contact>{anna});

        model.connectionChanged(false);
        h->clock.advance(4900ms);
        model.connectionChanged(true);
        h->clock.advance(10s);
        QVERIFY(model.online());
        model.connectionChanged(false);
        h->clock.advance(4999ms);
        QVERIFY(model.online());
        h->clock.advance(1ms);
        QVERIFY(!model.online());

        model.setAcceptAnyone(false);
        QVERIFY(h->awaitPeer(1));
        QCOMPARE(h->service.peer(1)->request.query.queryItemValue("anyone"), QString("false"));
        QCOMPARE(h->defaults.boolean("acceptAnyone"), false);

        // A reload that finds the session ended signs out without a message.
        h->service.on("GET", "/v1/me", FakeReply{401, {}});
        h->service.on("POST", FakeService::tokenPath, FakeReply::identityError("TOKEN_EXPIRED"));
        await(model.reload());
        QVERIFY(!model.signedIn() && model.contacts().isEmpty() && !model.stream().running());
        QCOMPARE(model.problem(), std::nullopt);
        model.setAcceptAnyone(true);
        QTest::qWait(100);
        QCOMPARE(h->service.peers().size(), 2);
    }
};

TENDER_TEST_GUILESS_MAIN(AppModelTest)
#include "AppModelTest.moc"
