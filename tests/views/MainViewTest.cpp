#include "ViewHarness.h"

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

// "p<from>" … "p<to - 1>"
QStringList ids(int from, int to)
{
    QStringList list;
    for (int i = from; i < to; ++i)
        list << QStringLiteral("p%1").arg(i);
    return list;
}

} // namespace

class MainViewTest : public ViewTest {
    Q_OBJECT

private slots:
    void listShowsCloseCirclesThenRecentOrOthers()
    {
        const QString star = QStringLiteral("Отметь самых близких звёздочкой в книге");
        // People, close ones; the caption, the status line, the link to the whole book when shown; rows.
        const QList<std::tuple<int, int, QStringList, QStringList>> lists{
            {5, 0, {"Остальные", star, ""}, ids(0, 5)},
            {8, 3, {"Остальные", " ", ""}, ids(3, 8)},
            {6, 0, {"Недавние", star, "Вся книга · 6"}, ids(0, 4)}};
        for (const auto &[total, close, texts, rows] : lists) {
            h = std::make_unique<ViewHarness>();
            QVERIFY(h->open(people(total, close)));
            const QString book = h->isShown("wholeBook") ? h->text("wholeBook", "title") : QString();
            QCOMPARE(QStringList({h->text("listCaption"), h->text("closeStatus"), book}), texts);
            QCOMPARE(h->shownIds("circle-"), ids(0, close));
            QCOMPARE(h->shownIds("row-"), rows);
            QCOMPARE(h->text("search", "prompt"), QStringLiteral("Найти — %1 человек").arg(total));
        }
        h->click("wholeBook");
        QCOMPARE(h->app().route(), Route::book());
    }

    void searchFiltersAndSpacesActAsEmpty()
    {
        QList<Contact> list = people(6);
        list[2].label = QStringLiteral("Анна");
        list[5].label = QStringLiteral("Жанна");
        QVERIFY(h->open(list));
        const QStringList recent = h->shownIds("row-");
        QCOMPARE(recent.size(), 4);

        const QStringList parts{"listCaption", "wholeBook", "searchClear", "nobody"};
        const QList<std::tuple<QString, QStringList, QStringList>> searches{
            {"   ", recent, {"listCaption", "wholeBook", "searchClear"}},
            {"  АННА ", {"p2", "p5"}, {"searchClear"}},
            {"Яков", {}, {"searchClear", "nobody"}}};
        for (const auto &[input, rows, shown] : searches) {
            h->setText("searchInput", input);
            QCOMPARE(h->shownIds("row-"), rows);
            QCOMPARE(h->showing(parts), shown);
        }
        QCOMPARE(h->text("nobody"), QString("Никого с таким именем"));

        h->click("searchClear");
        QCOMPARE(h->texts({"searchInput", "listCaption"}), (QStringList{"", "Недавние"}));
        QCOMPARE(h->shownIds("row-"), recent);
        QCOMPARE(h->showing(parts), QStringList({"listCaption", "wholeBook"}));
    }

    void anEmptyListShowsTheInvitationAndTheAnyoneButtonFollowsItsTenSecondTimeline()
    {
        TestModel &model = h->signedInWith({});
        model.setAnyoneSentAt(h->clock.now().addSecs(-100));
        QVERIFY(h->show());
        QCOMPARE(h->showing({"emptyState", "anyone", "search", "closeCircles"}),
                 QStringList({"emptyState", "anyone"}));
        QCOMPARE(h->texts({"anyoneTitle", "anyoneWait"}), (QStringList{"Улетело кому-то ♥", "через 59 мин"}));
        QVERIFY(h->text("anyoneHint").startsWith("Где-то сейчас засветился экран."));
        QVERIFY(!h->item("anyone")->isEnabled());

        h->clock.advance(10s); // 110 s after the send
        QCOMPARE(h->text("anyoneTitle"), QString("Улетело кому-то ♥"));
        h->clock.advance(10s); // 120 s: the first tick at or past two minutes
        QCOMPARE(h->text("anyoneTitle"), QString("Кому-нибудь на свете"));
        QCOMPARE(h->text("anyoneHint"), QString("Сигнал уйдёт случайному человеку. Он не узнает, от кого."));

        // Between ticks the countdown keeps what the last tick saw.
        h->clock.advance(3470s); // 3590 s
        QCOMPARE(h->text("anyoneWait"), QString("через 1 мин"));
        h->clock.setNow(h->clock.now().addSecs(9));
        QCOMPARE(h->text("anyoneWait"), QString("через 1 мин"));
        h->clock.advance(10s);
        QCOMPARE(h->text("anyoneWait"), QString("раз в час"));
        QVERIFY(h->item("anyone")->isEnabled());

        // A hidden popover does not tick; shown again it reads the time at once.
        model.setAnyoneSentAt(h->clock.now());
        h->view.hide();
        QCOMPARE(h->clock.pendingCount(), 0);
        h->clock.advance(20min);
        QCOMPARE(h->text("anyoneWait"), QString("через 60 мин"));
        h->view.show();
        QCOMPARE(h->text("anyoneWait"), QString("через 40 мин"));
    }

    void closeCirclesKeepTheirColumnsFromTheLeftAndMoveByPlace()
    {
        // Menus by name, "-" before a disabled item.
        const QString only("edit closeness -left -right copyID");
        for (int close : {1, 6}) { // six take two rows
            h = std::make_unique<ViewHarness>();
            QVERIFY(h->open(people(close + 1, close)));
            h->laidOut();
            QCOMPARE(h->item("circleGrid")->x(), 0.0);
            for (int i = 0; i <= close; ++i) {
                const QString tile = i < close ? "circle-p" + QString::number(i) : QStringLiteral("addClose");
                QCOMPARE(h->item(tile)->position(), QPointF((i % 5) * 63, 4 + (i / 5) * 60));
            }
            QCOMPARE(h->menu("circle-p0"), close == 1 ? only : QString("edit closeness -left right copyID"));
        }
        const QStringList menus{h->menu("circle-p1"), h->menu("circle-p5"), h->menu("row-p6")};
        QCOMPARE(menus, (QStringList{"edit closeness left right copyID", "edit closeness left -right copyID",
                                     "edit closeness copyID"}));
    }

    void emojiAreDrawnInColour()
    {
        QVERIFY(h->open({person("k", "🌈 Радуга", 0, true), person("c", "🌈 Кот", 1), person("a", "Аня", 2)}));
        // The item that holds the text, the text, whether it holds colour.
        const QList<std::tuple<QString, QString, bool>> texts{
            {"row-c", "name", true}, {"row-c", "initial", true}, {"circle-k", "circleInitial", true},
            {"row-a", "name", false}};
        for (const auto &[holder, text, colour] : texts) {
            const int offTone = h->offTonePixels(h->inside(holder, text));
            const QString where = QStringLiteral("%1 %2: %3").arg(holder, text).arg(offTone);
            QVERIFY2(colour ? offTone > 20 : offTone == 0, qPrintable(where));
        }
        h->app().setRoute(Route::book());
        h->settle();
        QVERIFY(h->offTonePixels(h->shown("letter")) > 20); // the first heading, the emoji group's
    }

    void statusLineNamesTheHoveredAndTheSentLinkCopiesPauseShowsItsBannerAndTheDotTellsTheConnection()
    {
        h->service.on("POST", "/v1/events", FakeReply::json(200, {}));
        QVERIFY(h->open(people(4, 2)));
        QQuickItem *status = h->item("closeStatus");
        QCOMPARE(status->property("text").toString(), QString(" "));
        QCOMPARE(status->height(), 18.0);
        QTest::mouseMove(&h->view, h->item("circle-p1")->mapToScene(QPointF(25, 25)).toPoint());
        QTRY_COMPARE(status->property("text").toString(), QString("Друг 1"));
        QCOMPARE(status->height(), 18.0);
        QTest::mouseMove(&h->view, QPoint(2, 2));
        QTRY_COMPARE(status->property("text").toString(), QString(" "));

        h->click("circle-p1");
        QCOMPARE(h->app().sent(), QString("p1"));
        QCOMPARE(h->text("closeStatus"), QString("Друг 1 — улетело ♥"));
        h->click("row-p3");
        QCOMPARE(h->app().sent(), QString("p3"));
        QCOMPARE(h->text("closeStatus"), QString(" "));

        h->click("copyLink");
        QCOMPARE(h->model.clipboard.text, QString("http://w/i/ABCDE-FGHJK"));
        QCOMPARE(h->text("copyLink", "title"), QString("Скопировано"));
        h->clock.advance(1000ms);
        h->click("copyLink");
        h->clock.advance(500ms); // the first copy's time is up
        QCOMPARE(h->text("copyLink", "title"), QString("Скопировать мою ссылку"));
        h->clock.advance(1000ms);
        QCOMPARE(h->text("copyLink", "title"), QString("Скопировать мою ссылку"));

        QVERIFY(!h->isShown("pauseBanner"));
        h->app().pause(PauseLength::Indefinite);
        h->settle();
        QVERIFY(h->isShown("pauseBanner"));
        h->laidOut();
        QCOMPARE(h->item("pauseBanner")->height(), 34.0); // on two lines if it must, but whole
        // The banner's size stays 12.5, not rounded to 13.
        QCOMPARE(h->texts({"pauseText", "pauseText.truncated", "pauseText.shownSize", "pauseMenu.symbol"}),
                 (QStringList{"Пауза, пока не снимешь. Сигналы не придут.", "false", "12.5", "play.circle"}));
        h->click("lift");
        QVERIFY(!h->app().pausedUntil());
        QVERIFY(!h->isShown("pauseBanner"));

        QCOMPARE(h->text("onlineDot", "help"), QString("На связи: сигналы приходят сразу"));
        h->app().connectionChanged(false);
        h->clock.advance(5s);
        QCOMPARE(h->text("onlineDot", "help"), QString("Нет связи с сервером, переподключаемся…"));
    }
};

TENDER_TEST_MAIN(MainViewTest)
#include "MainViewTest.moc"
