#include "TestMain.h"
#include "ViewHarness.h"

#include "views/LetterGroups.h"

#include <QtTest>

using namespace tender;
using namespace tender::test;

namespace {

// `people` people spread evenly over the first `letters` letters of the alphabet.
QList<Contact> spread(int people, int letters)
{
    const QString alphabet = QStringLiteral("АБВГДЕЖЗИКЛМНОПРСТУФ");
    QList<Contact> list;
    for (int i = 0; i < people; ++i)
        list << person(QStringLiteral("p%1").arg(i), alphabet[i % letters] + QStringLiteral("ня %1").arg(i), i);
    return list;
}

} // namespace

class BookViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> h;

    void openBook(const QList<Contact> &contacts)
    {
        TestModel &model = h->signedInWith(contacts);
        model.setRoute(Route::book());
        QVERIFY(h->show());
        QVERIFY(h->isShown("bookView"));
    }

    // The headings and rows of the list, top to bottom: "#А" for a heading, ids for rows.
    QStringList listed() const
    {
        QStringList lines;
        for (QQuickItem *item : h->allShown(QString())) {
            if (item->objectName() == u"letter")
                lines << u'#' + item->property("text").toString();
            else if (item->objectName().startsWith(u"row-"))
                lines << item->objectName().mid(4);
        }
        return lines;
    }

    void search(const QString &text)
    {
        h->shown("searchInput")->setProperty("text", text);
        h->settle();
    }

    qreal listHeight() const { return h->item("bookList")->height(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() { h = std::make_unique<ViewHarness>(); }
    void cleanup()
    {
        QVERIFY(h->warnings.isEmpty());
        h.reset();
    }

    void groupsByLetterInLabelOrder()
    {
        openBook({
            person("b10", "Борис 10", 0),
            person("anna", "анна", 1, true),
            person("nameless", "", 2),
            person("b9", "Борис 9", 3),
            person("alla", "Алла", 4),
            person("n10", "10 дней", 5),
            person("n9", "9 жизней", 6),
            person("yo", "ёжик", 7),
        });
        QCOMPARE(listed(), (QStringList{"#", "nameless", "#1", "n10", "#9", "n9", "#А", "alla", "anna", "#Б", "b9",
                                        "b10", "#Ё", "yo"}));
        QCOMPARE(h->text("bookSummary"), QString("8 человек · близких 1"));
        QVERIFY(h->isShown("star-anna"));
        QVERIFY(!h->isShown("nobody"));
    }

    void searchKeepsMatchingPeopleInTheirGroups()
    {
        openBook({person("a", "Анна", 0), person("b", "Жанна", 1), person("c", "Борис", 2)});
        search("  АНН ");
        QCOMPARE(listed(), (QStringList{"#А", "a", "#Ж", "b"}));
        QCOMPARE(listHeight(), 2 * 22 + 2 * 44 + 10.0);

        search("Яков");
        QCOMPARE(listed(), QStringList());
        QVERIFY(h->isShown("nobody"));
        QCOMPARE(h->text("nobody"), QString("Никого с таким именем"));
        // the message is never cut by the height rule
        QVERIFY(listHeight() >= h->item("nobody")->height() + 28);

        search("   ");
        QCOMPARE(listed().size(), 6);
    }

    void emptyBookSaysNobody()
    {
        openBook({});
        QVERIFY(h->isShown("nobody"));
        QCOMPARE(h->text("bookSummary"), QString("0 человек · близких 0"));
    }

    void listHeightFollowsGroupsAndPeopleUpTo420()
    {
        openBook(spread(30, 10));
        const QStringList lines = listed();
        QCOMPARE(std::count_if(lines.begin(), lines.end(), [](const QString &line) { return line.startsWith(u'#'); }), 10);
        QCOMPARE(listHeight(), 420.0);
        QVERIFY(h->item("bookList")->property("contentHeight").toReal() > 420);

        search("ня 1"); // "ня 1", "ня 10" ... "ня 19": 11 people in 10 groups
        QCOMPARE(listHeight(), 420.0);
        search("ня 2"); // "ня 2", "ня 20" ... "ня 29"
        QCOMPARE(listHeight(), 420.0);
        search("ня 3");
        QCOMPARE(listed(), (QStringList{"#Г", "p3"}));
        QCOMPARE(listHeight(), 22 + 44 + 10.0);

        h.reset();
        h = std::make_unique<ViewHarness>();
        openBook(spread(2, 1));
        QCOMPARE(listHeight(), 120.0);
        // the rule leaves the rows room: nothing needs scrolling
        QVERIFY(h->item("bookList")->property("contentHeight").toReal() <= 120);
    }

    void starMakesAPersonCloseAndBackLeaves()
    {
        h->model.service.on("PATCH", "/v1/contacts/b", FakeReply::json(200, {}));
        openBook({person("a", "Анна", 0, true), person("b", "Борис", 1)});
        QCOMPARE(h->shown("star-b")->property("help").toString(), QString("В близкие"));
        h->click("star-b");
        QVERIFY(h->model.model().contacts()[1].isClose());
        QCOMPARE(h->text("bookSummary"), QString("2 человека · близких 2"));
        QCOMPARE(h->shown("star-b")->property("help").toString(), QString("Убрать из близких"));
        QTRY_COMPARE(h->model.service.requests("PATCH", "/v1/contacts/b").size(), 1);
        QCOMPARE(h->model.service.requests("PATCH", "/v1/contacts/b")[0].json(), QJsonObject({{"close", true}}));

        h->click("back");
        QCOMPARE(h->model.model().route(), Route::main());
    }

    void groupingAloneWithoutAView()
    {
        using views::letterGroups;
        QVERIFY(letterGroups({}, "x").isEmpty());
        const QList<views::LetterGroup> groups =
            letterGroups({person("1", "я", 0), person("2", "Я", 1), person("3", "🐱 Кот", 2)}, "");
        QCOMPARE(groups.size(), 2);
        const auto letterOf = [&](const QString &letter) {
            return std::find_if(groups.begin(), groups.end(), [&](const auto &g) { return g.letter == letter; });
        };
        QVERIFY(letterOf("Я") != groups.end());
        QCOMPARE(letterOf("Я")->people.size(), 2);
        // a whole emoji heads its group, not half of it
        QVERIFY(letterOf("🐱") != groups.end());
        QCOMPARE(views::bookListHeight(10, 30), 420.0);
        QCOMPARE(views::bookListHeight(1, 2), 120.0);
    }
};

TENDER_TEST_MAIN(BookViewTest)
#include "BookViewTest.moc"
