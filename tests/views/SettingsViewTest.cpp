#include "Contrast.h"
#include "ViewHarness.h"

#include "model/Gaps.h"

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

class SettingsViewTest : public ViewTest {
    Q_OBJECT

    qreal viewHeight() const { return h->item("settingsView")->height(); }
    qreal contentHeight() const { return h->item("settingsView")->property("contentHeight").toReal(); }

private slots:
    void init()
    {
        ViewTest::init();
        QVERIFY(h->open({}, Route::settings()));
    }

    void emojiReadOnlyLightAtZeroAndStopWhileCalmAndSwitchesWriteTheModel()
    {
        QVERIFY(h->isShown("emojiSlider"));
        QCOMPARE(h->texts({"tab-0.current", "email", "version"}),
                 (QStringList{"true", "me@b.c", "Версия " + h->app().version()}));

        TestModel &model = h->app();
        model.setEmojiCount(0);
        h->settle();
        QCOMPARE(h->text("emojiCountValue"), QString("только свет"));
        QVERIFY(!h->isShown("calmNote"));

        h->clickAt(h->shown("emojiSlider"), 0.99);
        QCOMPARE(model.emojiCount(), 60);
        QCOMPARE(h->text("emojiCountValue"), QString("60"));

        h->toggle("calmSwitch");
        QVERIFY(model.calm());
        QVERIFY(!h->item("emojiSlider")->isEnabled());
        QVERIFY(h->isShown("calmNote"));
        QCOMPARE(h->text("calmNote"), QString("С «Без мигания и полёта» смайлики не летают."));
        h->clickAt(h->shown("emojiSlider"), 0.02);
        QCOMPARE(model.emojiCount(), 60);

        h->toggle("calmSwitch");
        QVERIFY(!model.calm());
        QVERIFY(h->item("emojiSlider")->isEnabled());
        QVERIFY(!h->isShown("calmNote"));
        h->clickAt(h->shown("emojiSlider"), 0.02);
        QCOMPARE(h->text("emojiCountValue"), QString("только свет"));

        // Switches write the model; the login switch shows what the system did.
        QQuickItem *off = h->inside("soundSwitch", "track"); // stands out on its row
        h->laidOut();
        const QImage shot = h->view.grabWindow();
        const QPointF beside = off->mapToScene({-3, off->height() / 2}) * shot.devicePixelRatio();
        const QColor ground = shot.pixelColor(beside.toPoint());
        QVERIFY(contrast(off->property("color").value<QColor>(), ground) >= 3);
        h->toggle("soundSwitch");
        h->click("tab-1");
        h->toggle("quietSwitch");
        h->toggle("anyoneSwitch");
        expectProperties(model, {{"sound", true}, {"quietWhenPresenting", false}, {"acceptAnyone", false}});

        FakeLoginItem &login = h->model.loginItem;
        login.enabled = false;
        login.refuse = true;
        model.setLaunchAtLogin(false);
        h->toggle("loginSwitch");
        QVERIFY(!h->isOn("loginSwitch"));

        login.refuse = false;
        h->toggle("loginSwitch");
        QVERIFY(h->isOn("loginSwitch"));
        h->click("back");
        QCOMPARE(h->app().route(), Route::main());
    }

    void gapsWalkTheEightChoicesAndPauseOffersItsLengthsOrOnlyLifting()
    {
        h->click("tab-1");
        QQuickItem *slider = h->shown("gapSlider");
        QVERIFY(slider);
        slider->forceActiveFocus();
        for (int i = 0; i < 8; ++i)
            QTest::keyClick(&h->view, Qt::Key_Left);
        h->settle();
        const QStringList titles{"1 с", "5 с", "15 с", "30 с", "1 мин", "5 мин", "15 мин", "1 ч"};
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(h->app().minGap(), Gaps::seconds[size_t(i)]);
            QCOMPARE(h->text("gapValue"), titles[i]);
            QTest::keyClick(&h->view, Qt::Key_Right);
            h->settle();
        }
        QCOMPARE(h->text("gapValue"), QString("1 ч")); // the last stays the last

        TestModel &model = h->app();
        const QStringList choices{"unpause", "pauseHour", "pauseMorning", "pauseIndefinite"};
        QCOMPARE(h->text("pauseCaption"), QString("Пауза"));
        QCOMPARE(h->showing(choices), choices.mid(1));
        h->laidOut();
        for (const char *length : {"pauseHour", "pauseMorning"}) // equal shares, to the pixel
            QVERIFY(qAbs(h->shown(length)->width() - h->shown("pauseIndefinite")->width()) <= 1);

        h->click("pauseHour");
        QCOMPARE(model.pausedUntil(), std::optional(h->clock.now().addSecs(3600)));
        QCOMPARE(h->text("pauseCaption"), model.pauseText());
        QCOMPARE(h->showing(choices), QStringList{"unpause"});

        h->click("unpause");
        QVERIFY(!model.pausedUntil());
        QCOMPARE(h->text("pauseCaption"), QString("Пауза"));

        h->click("pauseIndefinite");
        QCOMPARE(h->text("pauseCaption"), QString("Пауза, пока не снимешь"));

        // An expired pause offers the lengths again once the model clears it.
        model.pause(PauseLength::Hour);
        h->clock.advance(3630s);
        h->settle();
        QCOMPARE(h->text("pauseCaption"), QString("Пауза"));
        QCOMPARE(h->showing(choices), choices.mid(1));
    }

    void heightFollowsTheContentUpToTheScreenAndDeletionAsksFirst()
    {
        const QList<QScreen *> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(h->view.screen(), screens[0]);

        // 600 high: the content scrolls inside 520.
        h->click("tab-1");
        QVERIFY(contentHeight() > 520);
        QCOMPARE(viewHeight(), 520.0);
        QVERIFY(h->isShown("settingsScrollBar"));

        // On a tall screen the area is as tall as the content of each tab.
        h->view.setScreen(screens[1]);
        h->settle();
        QCOMPARE(viewHeight(), contentHeight());
        QVERIFY(!h->isShown("settingsScrollBar"));
        const qreal whenHeight = viewHeight();
        h->click("tab-0");
        QVERIFY(viewHeight() != whenHeight);
        QCOMPARE(viewHeight(), contentHeight());
        h->click("deleteAccount");
        QCOMPARE(viewHeight(), contentHeight());
        QCOMPARE(h->view.rootObject()->height(), viewHeight() + 28);

        // A failed deletion keeps the question; one ending after the screen left changes nothing.
        h->service.on("DELETE", "/v1/me", FakeReply{500, {}, 300});
        h->click("deleteForever");
        h->click("back");
        QVERIFY(h->isShown("mainView"));
        QTRY_COMPARE(h->service.requests("DELETE", "/v1/me").size(), 1);
        QTest::qWait(400);
        QVERIFY(h->isShown("mainView"));

        h->app().setRoute(Route::settings());
        const QStringList parts{"deleteAccount", "deleteQuestion", "deleteForever", "deleteError"};
        h->click("deleteAccount");
        QCOMPARE(h->showing(parts), QStringList({"deleteQuestion", "deleteForever"}));
        h->click("keepAccount");
        QCOMPARE(h->showing(parts), QStringList{"deleteAccount"});

        h->service.on("DELETE", "/v1/me", FakeReply::json(500, {{"error", "boom"}}));
        h->click("deleteAccount");
        h->click("deleteForever");
        QTRY_COMPARE(h->showing(parts), parts.mid(1));
        QCOMPARE(h->text("deleteError"), QString("Сервер не ответил, попробуй ещё раз"));

        h->service.on("DELETE", "/v1/me", FakeReply{204, {}});
        h->click("deleteForever");
        QTRY_VERIFY(!h->app().signedIn());
        QTRY_VERIFY(h->isShown("signInView"));
    }
};

TENDER_TEST_MAIN(SettingsViewTest)
#include "SettingsViewTest.moc"
