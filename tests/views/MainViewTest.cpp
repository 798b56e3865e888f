#include "TestMain.h"
#include "ViewHarness.h"

#include <QtTest>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

class MainViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> h;

    QStringList shownRows() const
    {
        QStringList ids;
        for (QQuickItem *row : h->allShown(QString()))
            if (row->objectName().startsWith(u"row-"))
                ids << row->objectName().mid(4);
        return ids;
    }

    void search(const QString &text)
    {
        h->item("searchInput")->setProperty("text", text);
        h->settle();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() { h = std::make_unique<ViewHarness>(); }
    void cleanup() { h.reset(); }

    void emptyListShowsTheInvitation()
    {
        h->signedInWith({});
        QVERIFY(h->show());
        QVERIFY(h->isShown("emptyState"));
        QVERIFY(h->isShown("anyone"));
        QVERIFY(!h->isShown("search"));
        QVERIFY(!h->isShown("closeCircles"));
    }

    void fiveOthersShowUnderOthersWithoutTheBookLink()
    {
        h->signedInWith(people(5));
        QVERIFY(h->show());
        QCOMPARE(h->text("listCaption"), QString("Остальные"));
        QCOMPARE(shownRows().size(), 5);
        QVERIFY(!h->isShown("wholeBook"));
        QCOMPARE(h->item("search")->property("prompt").toString(), QString("Найти — 5 человек"));
    }

    void sixOthersShowFourRecentAndTheBookLink()
    {
        h->signedInWith(people(6));
        QVERIFY(h->show());
        QCOMPARE(h->text("listCaption"), QString("Недавние"));
        QCOMPARE(shownRows(), (QStringList{"p0", "p1", "p2", "p3"}));
        QVERIFY(h->isShown("wholeBook"));
        QCOMPARE(h->item("wholeBook")->property("title").toString(), QString("Вся книга · 6"));
        h->click("wholeBook");
        QCOMPARE(h->model.model().route(), Route::book());
    }

    void closePeopleAreCirclesNotRows()
    {
        h->signedInWith(people(8, 3));
        QVERIFY(h->show());
        QVERIFY(h->isShown("circle-p0"));
        QVERIFY(h->isShown("circle-p2"));
        QVERIFY(!h->item("circle-p3"));
        QCOMPARE(h->text("listCaption"), QString("Остальные"));
        QCOMPARE(shownRows(), (QStringList{"p3", "p4", "p5", "p6", "p7"}));
        QCOMPARE(h->item("search")->property("prompt").toString(), QString("Найти — 8 человек"));
    }

    void searchFiltersAndSpacesActAsEmpty()
    {
        QList<Contact> list = people(6);
        list[2].label = QStringLiteral("Анна");
        list[5].label = QStringLiteral("Жанна");
        h->signedInWith(list);
        QVERIFY(h->show());

        search("   ");
        QCOMPARE(h->text("listCaption"), QString("Недавние"));
        QCOMPARE(shownRows().size(), 4);
        QVERIFY(!h->isShown("nobody"));

        search("  АННА ");
        QCOMPARE(shownRows(), (QStringList{"p2", "p5"}));
        QVERIFY(!h->isShown("listCaption"));
        QVERIFY(!h->isShown("wholeBook"));
        QVERIFY(h->isShown("searchClear"));

        search("Яков");
        QCOMPARE(shownRows(), QStringList());
        QVERIFY(h->isShown("nobody"));
        QCOMPARE(h->text("nobody"), QString("Никого с таким именем"));

        h->click("searchClear");
        QCOMPARE(h->item("searchInput")->property("text").toString(), QString());
        QVERIFY(!h->isShown("searchClear"));
        QCOMPARE(shownRows().size(), 4);
    }

    void anyoneButtonFollowsItsTenSecondTimeline()
    {
        TestModel &model = h->signedInWith(people(2));
        model.setAnyoneSentAt(h->model.clock.now().addSecs(-100));
        QVERIFY(h->show());
        QCOMPARE(h->text("anyoneTitle"), QString("Улетело кому-то ♥"));
        QCOMPARE(h->text("anyoneWait"), QString("через 59 мин"));
        QVERIFY(h->text("anyoneHint").startsWith("Где-то сейчас засветился экран."));
        QVERIFY(!h->item("anyone")->isEnabled());

        h->model.clock.advance(10s); // 110 s after the send
        QCOMPARE(h->text("anyoneTitle"), QString("Улетело кому-то ♥"));
        h->model.clock.advance(10s); // 120 s: the first tick at or past two minutes
        QCOMPARE(h->text("anyoneTitle"), QString("Кому-нибудь на свете"));
        QCOMPARE(h->text("anyoneHint"), QString("Сигнал уйдёт случайному человеку. Он не узнает, от кого."));
        QCOMPARE(h->text("anyoneWait"), QString("через 58 мин"));

        // Between ticks the countdown keeps what the last tick saw.
        h->model.clock.advance(3470s); // 3590 s
        QCOMPARE(h->text("anyoneWait"), QString("через 1 мин"));
        h->model.clock.setNow(h->model.clock.now().addSecs(9));
        QCOMPARE(h->text("anyoneWait"), QString("через 1 мин"));
        h->model.clock.advance(10s);
        QCOMPARE(h->text("anyoneWait"), QString("раз в час"));
        QVERIFY(h->item("anyone")->isEnabled());

        // A hidden popover does not tick; shown again it reads the time at once.
        model.setAnyoneSentAt(h->model.clock.now());
        h->view.hide();
        QCOMPARE(h->model.clock.pendingCount(), 0);
        h->model.clock.advance(20min);
        QCOMPARE(h->text("anyoneWait"), QString("через 60 мин"));
        h->view.show();
        QCOMPARE(h->text("anyoneWait"), QString("через 40 мин"));
    }

    void moveItemsEnableByPlace()
    {
        h->signedInWith(people(5, 3));
        QVERIFY(h->show());
        QObject *first = h->item("circle-p0")->findChild<QObject *>("menu");
        QObject *middle = h->item("circle-p1")->findChild<QObject *>("menu");
        QObject *last = h->item("circle-p2")->findChild<QObject *>("menu");
        QVERIFY(first && middle && last);
        QVERIFY(!h->menuItemEnabled(first, "left"));
        QVERIFY(h->menuItemEnabled(first, "right"));
        QVERIFY(h->menuItemEnabled(middle, "left"));
        QVERIFY(h->menuItemEnabled(middle, "right"));
        QVERIFY(h->menuItemEnabled(last, "left"));
        QVERIFY(!h->menuItemEnabled(last, "right"));
        QCOMPARE(first->property("count").toInt(), 5);
        QCOMPARE(h->item("row-p3")->findChild<QObject *>("menu")->property("count").toInt(), 3);
    }

    void oneClosePersonCannotMove()
    {
        h->signedInWith(people(3, 1));
        QVERIFY(h->show());
        QObject *menu = h->item("circle-p0")->findChild<QObject *>("menu");
        QVERIFY(!h->menuItemEnabled(menu, "left"));
        QVERIFY(!h->menuItemEnabled(menu, "right"));
    }

    void statusLineKeepsItsHeight()
    {
        h->signedInWith(people(4, 2));
        QVERIFY(h->show());
        QQuickItem *status = h->item("closeStatus");
        QCOMPARE(status->property("text").toString(), QString(" "));
        QCOMPARE(status->height(), 18.0);

        QQuickItem *circle = h->item("circle-p1");
        QTest::mouseMove(&h->view, circle->mapToScene(QPointF(25, 25)).toPoint());
        QTRY_COMPARE(status->property("text").toString(), QString("Друг 1"));
        QCOMPARE(status->height(), 18.0);
        QTest::mouseMove(&h->view, QPoint(2, 2));
        QTRY_COMPARE(status->property("text").toString(), QString(" "));
    }

    void closeCirclesKeepTheirColumnsFromTheLeft_data()
    {
        QTest::addColumn<int>("close");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("six, on two rows") << 6;
    }

    void closeCirclesKeepTheirColumnsFromTheLeft()
    {
        QFETCH(int, close);
        h->signedInWith(people(close + 1, close));
        QVERIFY(h->show());
        h->laidOut();
        QCOMPARE(h->item("circleGrid")->x(), 0.0);
        for (int i = 0; i <= close; ++i) {
            const QQuickItem *tile = h->item(i < close ? QStringLiteral("circle-p%1").arg(i) : QStringLiteral("addClose"));
            QCOMPARE(tile->position(), QPointF((i % 5) * 63, 4 + (i / 5) * 60));
        }
    }

    void emojiAreDrawnInColour_data()
    {
        QTest::addColumn<bool>("book");
        QTest::addColumn<QString>("holder"); // the item that holds the text, or none
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("colour");
        QTest::newRow("name in a row") << false << "row-c" << "name" << true;
        QTest::newRow("avatar") << false << "row-c" << "initial" << true;
        QTest::newRow("close circle") << false << "circle-k" << "circleInitial" << true;
        QTest::newRow("book heading") << true << "" << "letter" << true;
        QTest::newRow("name without emoji") << false << "row-a" << "name" << false;
    }

    void emojiAreDrawnInColour()
    {
        QFETCH(bool, book);
        QFETCH(QString, holder);
        QFETCH(QString, text);
        QFETCH(bool, colour);
        h->signedInWith({person("k", "🌈 Радуга", 0, true), person("c", "🌈 Кот", 1), person("a", "Аня", 2)});
        if (book)
            h->model.model().setRoute(Route::book());
        QVERIFY(h->show());
        QQuickItem *item = nullptr;
        for (QQuickItem *candidate : h->allShown(text))
            if (holder.isEmpty() ? candidate->property("text").toString() == u"🌈" : h->item(holder)->isAncestorOf(candidate))
                item = candidate;
        QVERIFY(item);
        const int offTone = h->offTonePixels(item);
        QVERIFY2(colour ? offTone > 20 : offTone == 0, qPrintable(QString::number(offTone)));
    }

    void noClosePeopleAsksForAStar()
    {
        h->signedInWith(people(2));
        QVERIFY(h->show());
        QCOMPARE(h->text("closeStatus"), QString("Отметь самых близких звёздочкой в книге"));
    }

    void clickingSendsAndMarksThePerson()
    {
        h->model.service.on("POST", "/v1/events", FakeReply::json(200, {}));
        TestModel &model = h->signedInWith(people(4, 2));
        QVERIFY(h->show());
        h->click("circle-p1");
        QCOMPARE(model.sent(), QString("p1"));
        QCOMPARE(h->text("closeStatus"), QString("Друг 1 — улетело ♥"));
        h->click("row-p3");
        QCOMPARE(model.sent(), QString("p3"));
        QCOMPARE(h->text("closeStatus"), QString(" "));
        h->model.clock.advance(2s);
        QVERIFY(!model.sent());
    }

    void copyingTheLinkShowsCopiedForAMoment()
    {
        h->signedInWith(people(1));
        QVERIFY(h->show());
        h->click("copyLink");
        QCOMPARE(h->model.clipboard.text, QString("http://w/i/ABCDE-FGHJK"));
        QCOMPARE(h->item("copyLink")->property("title").toString(), QString("Скопировано"));
        h->model.clock.advance(1000ms);
        h->click("copyLink");
        h->model.clock.advance(500ms); // the first copy's time is up
        QCOMPARE(h->item("copyLink")->property("title").toString(), QString("Скопировать мою ссылку"));
        h->model.clock.advance(1000ms);
        QCOMPARE(h->item("copyLink")->property("title").toString(), QString("Скопировать мою ссылку"));
    }

    void pauseShowsTheBannerAndLiftsFromIt()
    {
        TestModel &model = h->signedInWith(people(1));
        QVERIFY(h->show());
        QVERIFY(!h->isShown("pauseBanner"));
        model.pause(PauseLength::Indefinite);
        h->settle();
        QVERIFY(h->isShown("pauseBanner"));
        QCOMPARE(h->text("pauseText"), QString("Пауза, пока не снимешь. Сигналы не придут."));
        h->laidOut();
        QCOMPARE(h->item("pauseBanner")->height(), 34.0); // on two lines if it must, but whole
        QVERIFY(!h->item("pauseText")->property("truncated").toBool());
        QCOMPARE(h->item("pauseText")->property("shownSize").toReal(), 12.5); // not rounded to 13
        QCOMPARE(h->item("pauseMenu")->property("symbol").toString(), QString("play.circle"));
        h->click("lift");
        QVERIFY(!model.pausedUntil());
        QVERIFY(!h->isShown("pauseBanner"));
    }

    void onlineDotSaysWhetherSignalsArrive()
    {
        TestModel &model = h->signedInWith(people(1));
        QVERIFY(h->show());
        QQuickItem *dot = h->item("onlineDot");
        QCOMPARE(dot->property("help").toString(), QString("На связи: сигналы приходят сразу"));
        model.connectionChanged(false);
        h->model.clock.advance(5s);
        QCOMPARE(dot->property("help").toString(), QString("Нет связи с сервером, переподключаемся…"));
    }
};

TENDER_TEST_MAIN(MainViewTest)
#include "MainViewTest.moc"
