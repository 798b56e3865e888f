#include "ViewHarness.h"

using namespace tender;
using namespace tender::test;

namespace {

// `people` people spread evenly over the first `letters` letters of the alphabet.
QList<Contact> spread(int people, int letters)
{
    const QString alphabet = QStringLiteral("АБВГДЕЖЗИКЛМНОПРСТУФ");
    QList<Contact> list;
    for (int i = 0; i < people; ++i)
        list << person("p" + QString::number(i), alphabet[i % letters] + QStringLiteral("ня %1").arg(i), i);
    return list;
}

} // namespace

class BookViewTest : public ViewTest {
    Q_OBJECT

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

    qreal listHeight() const { return h->item("bookList")->height(); }
    qreal contentHeight() const { return h->item("bookList")->property("contentHeight").toReal(); }

private slots:
    void groupsByLetterInLabelOrderOrSaysNobody()
    {
        QVERIFY(h->open({person("b10", "Борис 10", 0), person("anna", "анна", 1, true),
                         person("nameless", "", 2), person("b9", "Борис 9", 3), person("alla", "Алла", 4),
                         person("n10", "10 дней", 5), person("n9", "9 жизней", 6), person("yo", "ёжик", 7),
                         person("cat", "🐱 Кот", 8)},
                        Route::book()));
        // a whole emoji heads its group, not half of it
        QCOMPARE(listed(), (QStringList{"#", "nameless", "#🐱", "cat", "#1", "n10", "#9", "n9", "#А", "alla",
                                        "anna", "#Б", "b9", "b10", "#Ё", "yo"}));
        QCOMPARE(h->text("bookSummary"), QString("9 человек · близких 1"));
        QCOMPARE(h->showing({"star-anna", "nobody"}), QStringList{"star-anna"});

        h = std::make_unique<ViewHarness>();
        QVERIFY(h->open({}, Route::book()));
        QVERIFY(h->isShown("nobody"));
        QCOMPARE(h->text("bookSummary"), QString("0 человек · близких 0"));
    }

    void starMakesCloseSearchKeepsMatchingPeopleInTheirGroupsAndBackLeaves()
    {
        h->service.on("PATCH", "/v1/contacts/b", FakeReply::json(200, {}));
        QVERIFY(h->open({person("a", "Анна", 0, true), person("b", "Жанна", 1), person("c", "Борис", 2)},
                        Route::book()));
        QCOMPARE(h->text("star-b", "help"), QString("В близкие"));
        h->click("star-b");
        QVERIFY(h->app().contacts()[1].isClose());
        QCOMPARE(h->text("bookSummary"), QString("3 человека · близких 2"));
        QCOMPARE(h->text("star-b", "help"), QString("Убрать из близких"));

        h->setText("searchInput", "  АНН ");
        QCOMPARE(listed(), (QStringList{"#А", "a", "#Ж", "b"}));
        QCOMPARE(listHeight(), 2 * 22 + 2 * 44 + 10.0);

        h->setText("searchInput", "Яков");
        QCOMPARE(listed(), QStringList());
        QVERIFY(h->isShown("nobody"));
        QCOMPARE(h->text("nobody"), QString("Никого с таким именем"));
        // the message is never cut by the height rule
        QVERIFY(listHeight() >= h->item("nobody")->height() + 28);

        h->setText("searchInput", "   ");
        QCOMPARE(listed().size(), 6);
        h->click("back");
        QCOMPARE(h->app().route(), Route::main());
    }

    void listHeightFollowsGroupsAndPeopleUpTo420()
    {
        QVERIFY(h->open(spread(30, 10), Route::book()));
        QCOMPARE(listed().filter(QRegularExpression("^#")).size(), 10);
        QCOMPARE(listHeight(), 420.0);
        QVERIFY(contentHeight() > 420);

        h->setText("searchInput", "ня 1"); // "ня 1", "ня 10" ... "ня 19": 11 people in 10 groups
        QCOMPARE(listHeight(), 420.0);
        h->setText("searchInput", "ня 2"); // "ня 2", "ня 20" ... "ня 29"
        QCOMPARE(listHeight(), 420.0);
        h->setText("searchInput", "ня 3");
        QCOMPARE(listed(), (QStringList{"#Г", "p3"}));
        QCOMPARE(listHeight(), 22 + 44 + 10.0);

        h = std::make_unique<ViewHarness>();
        QVERIFY(h->open(spread(2, 1), Route::book()));
        QCOMPARE(listHeight(), 120.0);
        QVERIFY(contentHeight() <= 120); // the rule leaves the rows room: nothing needs scrolling
    }
};

TENDER_TEST_MAIN(BookViewTest)
#include "BookViewTest.moc"
