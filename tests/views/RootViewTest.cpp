#include "ViewHarness.h"
#include "views/Emoji.h"
#include "views/Texts.h"

using namespace tender;
using namespace tender::test;

// Which screen the popover shows, and the pure texts every screen uses.
class RootViewTest : public ViewTest {
    Q_OBJECT

    const QStringList screens{"signInView", "mainView", "settingsView", "bookView", "addForm", "editForm"};

    // The screens that exist, "(hidden)" after one not on screen: only the one shown should.
    QString screen() const
    {
        QStringList made;
        for (const QString &name : screens)
            if (h->item(name))
                made << name + (h->isShown(name) ? "" : " (hidden)");
        return made.join(", ");
    }

    QString after(const Route &route)
    {
        h->app().setRoute(route);
        h->settle();
        return screen();
    }

private slots:
    void signedInFollowsTheRouteAndSignedOutShowsSignIn()
    {
        QVERIFY(h->open({person("a", "Аня", 0)}));
        QCOMPARE(screen(), QString("mainView"));
        QCOMPARE(after(Route::settings()), QString("settingsView"));
        QCOMPARE(after(Route::book()), QString("bookView"));
        QCOMPARE(after(Route::add(QStringLiteral("ABCDE-FGHJK"))), QString("addForm"));
        QCOMPARE(after(Route::edit("gone")), QString("mainView")); // no longer listed
        QCOMPARE(after(Route::edit("a")), QString("editForm"));

        h->click("back");
        QCOMPARE(h->app().route(), Route::main());
        QCOMPARE(screen(), QString("mainView"));
        h->click("settings");
        QCOMPARE(h->app().route(), Route::settings());
        QCOMPARE(after(Route::main()), QString("mainView"));
        h->app().signOut();
        h->settle();
        QCOMPARE(screen(), QString("signInView"));
        QCOMPARE(after(Route::settings()), QString("signInView")); // whatever the route
        QCOMPARE(h->view.rootObject()->width(), 330.0);
    }

    void peopleCountInitialsEmojiRunsAndElidingKeepGraphemesWhole()
    {
        const QList<std::pair<int, QString>> counts{
            {1, "1 человек"},     {2, "2 человека"},     {5, "5 человек"},
            {12, "12 человек"},   {21, "21 человек"},    {22, "22 человека"},
            {111, "111 человек"}, {112, "112 человек"}, {104, "104 человека"}};
        for (const auto &[count, words] : counts)
            QCOMPARE(views::peopleCount(count), words);

        // An avatar's initial is the first grapheme, upper-cased.
        const QList<std::pair<QString, QString>> initials{
            {"", "♥"}, {"аня", "А"}, {"ёжик", "Ё"}, {"🐱 Кот", "🐱"}, {"👍🏽 ok", "👍🏽"}, {"ßa", "SS"}};
        for (const auto &[name, initial] : initials)
            QCOMPARE(views::avatarInitial(name), initial);

        // A text and what each of its runs holds, joined by "|": none; emoji by default; asked for; text by
        // default; asked for text; a keycap; adjacent ones, one run; a joined family.
        const QList<std::pair<QString, QString>> texts{
            {"Аня 12 #1 ©", ""}, {"🐱 Кот 🐶", "🐱|🐶"}, {"Мама ❤️", "❤️"}, {"Улетело ♥ ☺", ""},
            {"🐱︎", ""}, {"1️⃣2", "1️⃣"}, {"a👍🏽🇷🇺b", "👍🏽🇷🇺"}, {"👨‍👩‍👧 дома", "👨‍👩‍👧"}};
        for (const auto &[text, runs] : texts) {
            QStringList found;
            for (const views::Emoji::Run &run : views::Emoji::runs(text))
                found << text.sliced(run.start, run.length);
            QCOMPARE(std::pair(text, found.join(u'|')), std::pair(text, runs));
        }

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
