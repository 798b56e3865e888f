#include "Contrast.h"
#include "TestMain.h"
#include "ViewHarness.h"

#include "model/Gaps.h"
#include "model/Pause.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

class SettingsViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> h;

    TestModel &openSettings()
    {
        TestModel &model = h->signedInWith({});
        model.setRoute(Route::settings());
        return model;
    }

    QQuickItem *inside(const QString &parent, const QString &child) const
    {
        QQuickItem *outer = h->shown(parent);
        return outer ? outer->findChild<QQuickItem *>(child) : nullptr;
    }

    void clickAt(QQuickItem *item, qreal fractionX = 0.5)
    {
        h->laidOut();
        QVERIFY(item);
        const QPointF point = item->mapToScene(QPointF(item->width() * fractionX, item->height() / 2));
        QTest::mouseClick(&h->view, Qt::LeftButton, {}, point.toPoint());
        h->settle();
    }

    void toggle(const QString &switchRow) { clickAt(inside(switchRow, "switch")); }
    bool switchIsOn(const QString &switchRow) const { return inside(switchRow, "switch")->property("checked").toBool(); }

    // Scrolls the settings so that `name` is in sight, then clicks it, as a user would.
    void scrollAndClick(const QString &name)
    {
        h->laidOut();
        QQuickItem *scroll = h->item("settingsScroll");
        QQuickItem *target = h->shown(name);
        QVERIFY2(scroll && target, qPrintable(name));
        const auto *content = scroll->property("contentItem").value<QQuickItem *>();
        const qreal top = target->mapToItem(content, QPointF(0, 0)).y();
        const qreal bottom = std::max(0.0, scroll->property("contentHeight").toReal() - scroll->height());
        scroll->setProperty("contentY", std::clamp(top - 20, 0.0, bottom));
        h->settle();
        h->click(name);
    }

    qreal viewHeight() const { return h->item("settingsView")->height(); }
    qreal contentHeight() const { return h->item("settingsView")->property("contentHeight").toReal(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() { h = std::make_unique<ViewHarness>(); }
    void cleanup()
    {
        if (h)
            QVERIFY2(h->warnings.isEmpty(), qPrintable(h->warnings.join('\n')));
        h.reset();
    }

    void opensOnTheSignalTabAndGoesBack()
    {
        TestModel &model = openSettings();
        QVERIFY(h->show());
        QVERIFY(h->item("tab-0")->property("current").toBool());
        QVERIFY(h->isShown("emojiSlider"));
        QCOMPARE(h->text("email"), QString("me@b.c"));
        QCOMPARE(h->text("version"), "Версия " + model.version());
        h->click("back");
        QCOMPARE(model.route(), Route::main());
    }

    void emojiCountReadsOnlyLightAtZeroAndStopsWhileCalm()
    {
        TestModel &model = openSettings();
        model.setEmojiCount(0);
        QVERIFY(h->show());
        QCOMPARE(h->text("emojiCountValue"), QString("только свет"));
        QVERIFY(!h->isShown("calmNote"));

        clickAt(h->shown("emojiSlider"), 0.99);
        QCOMPARE(model.emojiCount(), 60);
        QCOMPARE(h->text("emojiCountValue"), QString("60"));
        QCOMPARE(h->model.defaults.value("emojiCount"), std::optional<PreferenceValue>(qint64(60)));

        toggle("calmSwitch");
        QVERIFY(model.calm());
        QVERIFY(!h->item("emojiSlider")->isEnabled());
        QCOMPARE(h->text("calmNote"), QString("С «Без мигания и полёта» смайлики не летают."));
        QVERIFY(h->isShown("calmNote"));
        clickAt(h->shown("emojiSlider"), 0.02);
        QCOMPARE(model.emojiCount(), 60);

        toggle("calmSwitch");
        QVERIFY(!model.calm());
        QVERIFY(h->item("emojiSlider")->isEnabled());
        QVERIFY(!h->isShown("calmNote"));
        clickAt(h->shown("emojiSlider"), 0.02);
        QCOMPARE(h->text("emojiCountValue"), QString("только свет"));
    }

    void gapSliderWalksTheEightChoices()
    {
        TestModel &model = openSettings();
        QVERIFY(h->show());
        h->click("tab-1");
        QQuickItem *slider = h->shown("gapSlider");
        QVERIFY(slider);
        slider->forceActiveFocus();
        for (int i = 0; i < 8; ++i)
            QTest::keyClick(&h->view, Qt::Key_Left);
        h->settle();
        const QStringList titles{"1 с", "5 с", "15 с", "30 с", "1 мин", "5 мин", "15 мин", "1 ч"};
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(model.minGap(), Gaps::seconds[size_t(i)]);
            QCOMPARE(h->text("gapValue"), titles[i]);
            QCOMPARE(slider->property("value").toInt(), i);
            QTest::keyClick(&h->view, Qt::Key_Right);
            h->settle();
        }
        QCOMPARE(model.minGap(), 3600.0);
        QCOMPARE(h->text("gapValue"), QString("1 ч"));
    }

    void pauseOffersItsLengthsOrOnlyLiftingIt()
    {
        TestModel &model = openSettings();
        QVERIFY(h->show());
        h->click("tab-1");
        QCOMPARE(h->text("pauseCaption"), QString("Пауза"));
        QVERIFY(!h->isShown("unpause"));
        h->laidOut();
        for (const char *length : {"pauseHour", "pauseMorning"}) // equal shares, to the pixel
            QVERIFY(qAbs(h->shown(length)->width() - h->shown("pauseIndefinite")->width()) <= 1);

        h->click("pauseHour");
        QCOMPARE(model.pausedUntil(), std::optional(h->model.clock.now().addSecs(3600)));
        QCOMPARE(h->text("pauseCaption"), model.pauseText());
        QVERIFY(h->text("pauseCaption").startsWith("Пауза до "));
        QVERIFY(h->isShown("unpause"));
        QVERIFY(!h->isShown("pauseHour"));
        QVERIFY(!h->isShown("pauseMorning"));
        QVERIFY(!h->isShown("pauseIndefinite"));

        h->click("unpause");
        QVERIFY(!model.pausedUntil());
        QCOMPARE(h->text("pauseCaption"), QString("Пауза"));

        h->click("pauseIndefinite");
        QCOMPARE(model.pausedUntil(), std::optional(Pause::distantFuture()));
        QCOMPARE(h->text("pauseCaption"), QString("Пауза, пока не снимешь"));

        // An expired pause offers the lengths again once the model clears it.
        model.pause(PauseLength::Hour);
        h->model.clock.advance(3630s);
        h->settle();
        QCOMPARE(h->text("pauseCaption"), QString("Пауза"));
        QVERIFY(h->isShown("pauseMorning"));
    }

    void switchesWriteTheModelAndLoginShowsWhatTheSystemDid()
    {
        TestModel &model = openSettings();
        QVERIFY(h->show());
        QQuickItem *off = inside("soundSwitch", "track"); // stands out on its row
        QVERIFY(contrast(off->property("color").value<QColor>(), h->pixelAt(off, {-3, off->height() / 2})) >= 3);
        toggle("soundSwitch");
        QVERIFY(model.sound());
        h->click("tab-1");
        toggle("quietSwitch");
        QVERIFY(!model.quietWhenPresenting());
        toggle("anyoneSwitch");
        QVERIFY(!model.acceptAnyone());

        QCOMPARE(inside("loginSwitch", "switch")->property("checked").toBool(), model.launchAtLogin());
        h->model.loginItem.enabled = false;
        h->model.loginItem.refuse = true;
        model.setLaunchAtLogin(false);
        toggle("loginSwitch");
        QVERIFY(!switchIsOn("loginSwitch"));
        QCOMPARE(model.problem(), std::optional<QString>("Система не дала поменять автозапуск"));

        h->model.loginItem.refuse = false;
        h->model.loginItem.awaitsApproval = true;
        toggle("loginSwitch");
        QVERIFY(!switchIsOn("loginSwitch"));

        h->model.loginItem.awaitsApproval = false;
        toggle("loginSwitch");
        QVERIFY(switchIsOn("loginSwitch"));
        QVERIFY(h->model.loginItem.enabled);
    }

    void failedDeletionKeepsTheQuestionAndShowsWhy()
    {
        TestModel &model = openSettings();
        QVERIFY(h->show());
        scrollAndClick("deleteAccount");
        QVERIFY(h->isShown("deleteQuestion"));
        QVERIFY(!h->isShown("deleteAccount"));
        scrollAndClick("keepAccount");
        QVERIFY(!h->isShown("deleteQuestion"));
        QVERIFY(h->isShown("deleteAccount"));

        h->model.service.on("DELETE", "/v1/me", FakeReply::json(500, {{"error", "boom"}}));
        scrollAndClick("deleteAccount");
        scrollAndClick("deleteForever");
        QTRY_VERIFY(h->isShown("deleteError"));
        QCOMPARE(h->text("deleteError"), QString("Сервер не ответил, попробуй ещё раз"));
        QVERIFY(h->isShown("deleteQuestion"));
        QVERIFY(h->isShown("deleteForever"));
        QVERIFY(model.signedIn());

        h->model.service.on("DELETE", "/v1/me", FakeReply{204, {}});
        scrollAndClick("deleteForever");
        QTRY_VERIFY(!model.signedIn());
        QTRY_VERIFY(h->isShown("signInView"));
    }

    void deletionFinishingAfterTheScreenLeftChangesNothingOnScreen()
    {
        TestModel &model = openSettings();
        QVERIFY(h->show());
        h->model.service.on("DELETE", "/v1/me", FakeReply{500, {}, 300});
        scrollAndClick("deleteAccount");
        scrollAndClick("deleteForever");
        scrollAndClick("back");
        QVERIFY(h->isShown("mainView"));
        QTRY_COMPARE(h->model.service.requests("DELETE", "/v1/me").size(), 1);
        QTest::qWait(400);
        QVERIFY(h->isShown("mainView"));
        QVERIFY(model.signedIn());
    }

    void heightFollowsTheContentUpToTheScreen()
    {
        openSettings();
        QVERIFY(h->show());
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
    }
};

TENDER_TEST_MAIN(SettingsViewTest)
#include "SettingsViewTest.moc"
