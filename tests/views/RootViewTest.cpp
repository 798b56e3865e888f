#include "TestMain.h"
#include "ViewHarness.h"
#include "views/Emoji.h"
#include "views/Texts.h"


#include <QtTest>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

// Which screen the popover shows, and the pure texts every screen uses.
class RootViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> h;

private slots:
    void init() { h = std::make_unique<ViewHarness>(); }
    void cleanup() { h.reset(); }

    void signedOutShowsSignInWhateverTheRoute()
    {
        TestModel &model = h->signedOut();
        model.setRoute(Route::settings());
        h->settle();
        QVERIFY(h->show());
        QVERIFY(h->isShown("signInView"));
        QVERIFY(!h->item("settingsView"));
        QVERIFY(!h->item("mainView"));
        QCOMPARE(h->view.rootObject()->width(), 330.0);
    }

    void signedInFollowsTheRoute()
    {
        TestModel &model = h->signedInWith({person("a", "Аня", 0)});
        QVERIFY(h->show());
        QVERIFY(h->isShown("mainView"));

        model.setRoute(Route::settings());

        h->settle();
        QVERIFY(h->isShown("settingsView"));
        model.setRoute(Route::book());
        h->settle();
        QVERIFY(h->isShown("bookView"));
        model.setRoute(Route::add(QStringLiteral("ABCDE-FGHJK")));
        h->settle();
        QVERIFY(h->isShown("addForm"));
        model.setRoute(Route::edit("a"));
        h->settle();
        QVERIFY(h->isShown("editForm"));
        QVERIFY(!h->item("mainView"));

        h->click("back");
        QCOMPARE(model.route(), Route::main());
        QVERIFY(h->isShown("mainView"));

        h->click("settings");
        QCOMPARE(model.route(), Route::settings());
    }

    void editOfAPersonNoLongerListedShowsMain()
    {
        TestModel &model = h->signedInWith({person("a", "Аня", 0)});
        QVERIFY(h->show());
        model.setRoute(Route::edit("gone"));
        h->settle();
        QVERIFY(h->isShown("mainView"));
        QVERIFY(!h->item("editForm"));
    }

    void signingOutLeavesTheMainView()
    {
        TestModel &model = h->signedInWith({person("a", "Аня", 0)});
        QVERIFY(h->show());
        model.signOut();
        h->settle();
        QVERIFY(h->isShown("signInView"));
        QVERIFY(!h->item("mainView"));
    }

    void peopleCountFollowsRussianPlural()
    {
        QCOMPARE(views::peopleCount(1), QString("1 человек"));
        QCOMPARE(views::peopleCount(2), QString("2 человека"));
        QCOMPARE(views::peopleCount(5), QString("5 человек"));
        QCOMPARE(views::peopleCount(12), QString("12 человек"));
        QCOMPARE(views::peopleCount(21), QString("21 человек"));
        QCOMPARE(views::peopleCount(22), QString("22 человека"));
        QCOMPARE(views::peopleCount(111), QString("111 человек"));
        QCOMPARE(views::peopleCount(112), QString("112 человек"));
        QCOMPARE(views::peopleCount(104), QString("104 человека"));
    }

    void avatarInitialIsTheFirstGraphemeUpperCased()
    {
        QCOMPARE(views::avatarInitial(""), QString("♥"));
        QCOMPARE(views::avatarInitial("аня"), QString("А"));
        QCOMPARE(views::avatarInitial("ёжик"), QString("Ё"));
        QCOMPARE(views::avatarInitial("🐱 Кот"), QString("🐱"));
        QCOMPARE(views::avatarInitial("👍🏽 ok"), QString("👍🏽"));
        QCOMPARE(views::avatarInitial("ßa"), QString("SS"));
    }

    void emojiRunsAreWholeGraphemesShownAsEmoji_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("runs"); // what each run holds, joined by "|"
        QTest::newRow("none") << "Аня 12 #1 ©" << "";
        QTest::newRow("emoji by default") << "🐱 Кот 🐶" << "🐱|🐶";
        QTest::newRow("asked for") << "Мама ❤️" << "❤️";
        QTest::newRow("text by default") << "Улетело ♥ ☺" << "";
        QTest::newRow("asked for text") << "🐱︎" << "";
        QTest::newRow("keycap") << "1️⃣2" << "1️⃣";
        QTest::newRow("adjacent, one run") << "a👍🏽🇷🇺b" << "👍🏽🇷🇺";
        QTest::newRow("joined family") << "👨‍👩‍👧 дома" << "👨‍👩‍👧";
    }

    void emojiRunsAreWholeGraphemesShownAsEmoji()
    {
        QFETCH(QString, text);
        QFETCH(QString, runs);
        QStringList found;
        for (const views::Emoji::Run &run : views::Emoji::runs(text))
            found << text.sliced(run.start, run.length);
        QCOMPARE(found.join(u'|'), runs);
    }

    void elidingKeepsGraphemesWhole()
    {
        QFont font;
        font.setPixelSize(14);
        const QString name = QStringLiteral("👨‍👩‍👧 Семья Ивановых");
        QCOMPARE(views::Emoji::elided(name, font, 1000), name);
        const QString cut = views::Emoji::elided(name, font, views::Emoji::width(name, font) / 2);
        QVERIFY(cut.endsWith(u'…') && cut.startsWith(QStringLiteral("👨‍👩‍👧 Сем")));
        QCOMPARE(views::Emoji::elided(name, font, 20), QStringLiteral("…")); // no half of the family
    }
};

TENDER_TEST_MAIN(RootViewTest)
#include "RootViewTest.moc"
