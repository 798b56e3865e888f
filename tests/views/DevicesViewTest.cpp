#include "TestMain.h"
#include "ViewHarness.h"

#include "views/DevicesController.h"
#include "views/InternetDateTime.h"
#include "views/RelativeTime.h"

#include <QJsonArray>
#include <QtTest>

using namespace tender;
using namespace tender::test;
using namespace tender::views;
using namespace std::chrono_literals;

namespace {

QJsonObject device(const QString &id, const QString &name, const QStringList &capabilities,
                   const QJsonValue &lastSeen = QJsonValue::Null)
{
    return {{"id", id}, {"name", name}, {"kind", "custom"}, {"capabilities", QJsonArray::fromStringList(capabilities)},
            {"last_seen_at", lastSeen}};
}

FakeReply deviceList(const QList<QJsonObject> &devices)
{
    QJsonArray list;
    for (const QJsonObject &one : devices)
        list.append(one);
    return FakeReply::json(200, {{"devices", list}});
}

FakeReply paired(const QString &id, const QString &name, const QStringList &capabilities, const QString &token)
{
    return FakeReply::json(201, {{"device", device(id, name, capabilities)}, {"token", token}});
}

} // namespace

class DevicesViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> h;

    // The devices tab, after its first load answered with `devices`.
    void openDevices(const QList<QJsonObject> &devices = {})
    {
        h->model.service.on("GET", "/v1/devices", deviceList(devices));
        h->signedInWith({}).setRoute(Route::settings());
        QVERIFY(h->show());
        // In once the answer has been taken in: a late one would clear the error line.
        std::unique_ptr<QSignalSpy> loaded;
        const auto asked = connect(&h->model.service, &FakeService::requestReceived, [&](const RecordedRequest &request) {
            if (request.path == u"/v1/devices" && !loaded)
                loaded = std::make_unique<QSignalSpy>(h->item("devicesView")->findChild<DevicesController *>(),
                                                      &DevicesController::changed);
        });
        h->click("tab-2");
        QTRY_VERIFY(loaded && !loaded->isEmpty());
        disconnect(asked);
        QCOMPARE(h->model.service.requests("GET", "/v1/devices").size(), 1);
        QCOMPARE(controller()->devices().size(), devices.size());
    }

    DevicesController *controller() const
    {
        QQuickItem *view = h->shown("devicesView");
        return view ? view->findChild<DevicesController *>() : nullptr;
    }

    void type(const QString &text)
    {
        h->shown("deviceName")->forceActiveFocus();
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, &h->view, Qt::Key_unknown, QString(c), Qt::NoModifier);
        h->settle();
    }

    void toggle(const QString &switchRow)
    {
        h->laidOut();
        QQuickItem *toggle = h->shown(switchRow)->findChild<QQuickItem *>("switch");
        QTest::mouseClick(&h->view, Qt::LeftButton, {}, toggle->mapToScene(QPointF(toggle->width() / 2, 8)).toPoint());
        h->settle();
    }

    bool canPair() const { return h->shown("pair")->isEnabled(); }

    QStringList rowNames() const
    {
        QStringList names;
        for (QQuickItem *row : h->allShown(QString()))
            if (row->objectName().startsWith(u"device-"))
                names << row->findChild<QQuickItem *>("deviceName")->property("text").toString();
        return names;
    }

    QString details(const QString &id) const
    {
        return h->shown("device-" + id)->findChild<QQuickItem *>("deviceDetails")->property("text").toString();
    }

    // Clicks the control named `name` inside the row of device `id`.
    void clickInRow(const QString &id, const QString &name)
    {
        h->laidOut();
        QQuickItem *target = nullptr;
        for (QQuickItem *item : h->shown("device-" + id)->findChildren<QQuickItem *>(name))
            if (item->isVisible())
                target = item;
        QVERIFY2(target, qPrintable(id + "/" + name));
        QTest::mouseClick(&h->view, Qt::LeftButton, {},
                          target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint());
        h->settle();
    }

    QJsonObject lastPairing() const { return h->model.service.requests("POST", "/v1/devices").last().json(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() { h = std::make_unique<ViewHarness>(); }
    void cleanup()
    {
        if (h)
            QVERIFY2(h->warnings.isEmpty(), qPrintable(h->warnings.join('\n')));
        h.reset();
    }

    void pairingNeedsANameOfOneTo64AndASwitch()
    {
        openDevices();
        QVERIFY(!canPair());
        type("   ");
        QVERIFY(!canPair());
        controller()->setName(" \t \t");
        h->settle();
        QVERIFY(!canPair());
        controller()->setName(" \t" + QString(64, u'я') + "\t ");
        h->settle();
        QVERIFY(canPair());
        controller()->setName(QString(65, u'я'));
        h->settle();
        QVERIFY(!canPair());
        controller()->setName(QString(64, u'я'));
        h->settle();
        QVERIFY(canPair());
        controller()->setName(QStringLiteral("\U0001F431").repeated(64)); // 128 UTF-16 units, 64 characters
        h->settle();
        QVERIFY(canPair());

        toggle("receiveSwitch");
        QVERIFY(canPair());
        toggle("sendSwitch");
        QVERIFY(!controller()->receive() && !controller()->send());
        QVERIFY(!canPair());
        toggle("sendSwitch");
        QVERIFY(canPair());
    }

    void pairingSendsTheTrimmedNameAndShowsTheTokenOnce()
    {
        openDevices({device("d1", "Лампа", {"receive"})});
        h->model.service.on("POST", "/v1/devices", paired("d2", "Котик на полке", {"receive", "send"}, "tok-one"));
        type("  Котик на полке ");
        controller()->setName(controller()->name() + "\t");
        h->click("pair");
        QTRY_VERIFY(h->isShown("tokenCard"));
        QCOMPARE(lastPairing(), (QJsonObject{{"name", "Котик на полке"}, {"kind", "custom"},
                                             {"capabilities", QJsonArray{"receive", "send"}}}));
        QCOMPARE(rowNames(), (QStringList{"Лампа", "Котик на полке"}));
        QCOMPARE(h->model.service.requests("GET", "/v1/devices").size(), 1);
        QCOMPARE(h->text("pairedTitle"), QString("«Котик на полке» подключено"));
        QCOMPARE(h->text("token"), QString("tok-one"));
        QVERIFY(!h->isShown("pair"));
        QCOMPARE(h->text("copyToken"), QString("Скопировать токен"));
        h->laidOut();
        QCOMPARE(h->shown("copyToken")->width(), h->shown("tokenDone")->width()); // equal shares

        h->click("copyToken");
        QCOMPARE(h->model.clipboard.text, std::optional<QString>("tok-one"));
        QCOMPARE(h->text("copyToken"), QString("Скопировано"));

        h->click("tokenDone");
        QVERIFY(!h->isShown("tokenCard"));
        QVERIFY(h->isShown("pair"));
        QCOMPARE(h->shown("deviceName")->property("text").toString(), QString());

        h->model.service.on("POST", "/v1/devices", paired("d3", "Кнопка", {"send"}, "tok-two"));
        toggle("receiveSwitch");
        type("Кнопка");
        h->click("pair");
        QTRY_COMPARE(h->text("token"), QString("tok-two"));
        QCOMPARE(lastPairing()["capabilities"].toArray(), QJsonArray{"send"});
        QCOMPARE(h->text("copyToken"), QString("Скопировать токен"));
        QCOMPARE(rowNames(), (QStringList{"Лампа", "Котик на полке", "Кнопка"}));
    }

    void failedPairingKeepsTheFormAndSaysWhy()
    {
        openDevices();
        FakeReply tooMany = FakeReply::json(409, {{"error", "too many devices"}});
        tooMany.delayMs = 200;
        h->model.service.on("POST", "/v1/devices", tooMany);
        type("Лампа");
        toggle("sendSwitch");
        h->click("pair");
        QCOMPARE(h->text("pair"), QString("Подключаем…"));
        QVERIFY(!canPair());
        QTRY_COMPARE(h->text("devicesError"), QString("Устройств уже много, отключи лишние"));
        QVERIFY(canPair());
        QCOMPARE(h->text("pair"), QString("Подключить устройство"));
        QCOMPARE(h->shown("deviceName")->property("text").toString(), QString("Лампа"));
        QVERIFY(controller()->receive() && !controller()->send());

        h->model.service.on("POST", "/v1/devices", FakeReply::json(500, {{"error", "boom"}}));
        h->click("pair");
        QTRY_COMPARE(h->text("devicesError"), QString("Не получилось, попробуй ещё раз"));

        h->model.service.on("POST", "/v1/devices", FakeReply{200, {}, 0, true});
        h->click("pair");
        // (the network layer may send a request once more after a dropped connection)
        QTRY_VERIFY(h->model.service.requests("POST", "/v1/devices").size() >= 3);
        QTRY_VERIFY(!controller()->busy());
        QCOMPARE(h->text("devicesError"), QString("Не получилось, попробуй ещё раз"));
        QVERIFY(!h->isShown("tokenCard"));
    }

    void detailsSayWhatADeviceDoesAndWhenItWasOnline()
    {
        // The manual clock stands at 2026-03-02 12:00 UTC.
        openDevices({device("both", "A", {"send", "receive"}, "2026-03-02T11:54:59.750Z"),
                     device("send", "B", {"send"}, "2026-03-01T10:00:00Z"),
                     device("receive", "C", {"receive"}, "2026-03-02T14:00:00+03:00"),
                     device("none", "D", {"blink"}),
                     device("odd", "E", {"receive"}, "вчера"),
                     device("dateonly", "F", {"send"}, "2026-03-01")});
        QCOMPARE(details("both"), QString("Принимает и отправляет · был онлайн 5 минут назад"));
        QCOMPARE(details("send"), QString("Отправляет · был онлайн вчера"));
        QCOMPARE(details("receive"), QString("Принимает · был онлайн 1 час назад"));
        QCOMPARE(details("none"), QString(" · ещё не подключался"));
        QCOMPARE(details("odd"), QString("Принимает · ещё не подключался"));
        QCOMPARE(details("dateonly"), QString("Отправляет · ещё не подключался"));

        h->model.clock.advance(60s);
        h->settle();
        QCOMPARE(details("both"), QString("Принимает и отправляет · был онлайн 6 минут назад"));
    }

    void relativeTimesAndInternetDatesInRussian()
    {
        const QDateTime now(QDate(2026, 3, 20), QTime(12, 0), Qt::UTC);
        const QList<std::pair<qint64, QString>> agoSeconds{
            {0, "сейчас"},           {-30, "сейчас"},         {1, "1 секунду назад"},
            {44, "44 секунды назад"}, {60, "1 минуту назад"},   {5 * 60, "5 минут назад"},
            {21 * 60, "21 минуту назад"}, {2 * 3600, "2 часа назад"}, {23 * 3600, "23 часа назад"},
            {30 * 3600, "вчера"},    {2 * 86400, "позавчера"}, {3 * 86400, "3 дня назад"},
            {5 * 86400, "5 дней назад"}, {8 * 86400, "на прошлой неделе"}, {15 * 86400, "2 недели назад"},
        };
        for (const auto &[seconds, words] : agoSeconds)
            QCOMPARE(relativeTime(now.addSecs(-seconds), now), words);
        QCOMPARE(relativeTime(now.addMonths(-1).addDays(-3), now), QString("в прошлом месяце"));
        QCOMPARE(relativeTime(now.addMonths(-5), now), QString("5 месяцев назад"));
        QCOMPARE(relativeTime(now.addYears(-1).addMonths(-2), now), QString("в прошлом году"));
        QCOMPARE(relativeTime(now.addYears(-3), now), QString("3 года назад"));
        QCOMPARE(relativeTime(now.addYears(-11), now), QString("11 лет назад"));

        const QDateTime moment(QDate(2026, 3, 2), QTime(11, 55), Qt::UTC);
        QCOMPARE(parseInternetDateTime("2026-03-02T11:55:00Z"), moment);
        QCOMPARE(parseInternetDateTime("2026-03-02T11:55:00.5Z"), moment.addMSecs(500));
        QCOMPARE(parseInternetDateTime("2026-03-02t14:55:00.123456+03:00"), moment.addMSecs(123));
        QCOMPARE(parseInternetDateTime("2026-03-02T06:25:00-05:30"), moment);
        for (const char *bad : {"", "2026-03-02", "11:55:00Z", "2026-03-02T11:55:00", "2026-03-02 11:55:00Z",
                                "2026-02-30T11:55:00Z", "2026-03-02T24:00:00Z", "2026-03-02T11:55:00+24:00",
                                "2026-03-02T11:55:00.Z", " 2026-03-02T11:55:00Z", "２０２６-03-02T11:55:00Z"})
            QVERIFY2(!parseInternetDateTime(QString::fromUtf8(bad)).isValid(), bad);
    }

    void failedLoadKeepsTheList()
    {
        openDevices({device("d1", "Лампа", {"receive"}), device("d2", "Кнопка", {"send"})});
        h->model.service.on("GET", "/v1/devices", FakeReply{500, {}});
        // The popover closes and opens again: the tab loads once more.
        h->view.hide();
        h->view.show();
        QTRY_COMPARE(h->model.service.requests("GET", "/v1/devices").size(), 2);
        QTRY_COMPARE(h->text("devicesError"), QString("Не получилось загрузить устройства"));
        QCOMPARE(rowNames(), (QStringList{"Лампа", "Кнопка"}));

        h->model.service.on("GET", "/v1/devices", deviceList({device("d2", "Кнопка", {"send"})}));
        h->view.hide();
        h->view.show();
        QTRY_COMPARE(rowNames(), QStringList{"Кнопка"});
        QVERIFY(!h->isShown("devicesError"));
    }

    void removalAsksFirstOneRowAtATime()
    {
        openDevices({device("d1", "Лампа", {"receive"}), device("d2", "Кнопка", {"send"})});
        QVERIFY(!h->isShown("removeDevice"));
        clickInRow("d1", "askRemove");
        QVERIFY(h->shown("device-d1")->findChild<QQuickItem *>("removeDevice")->isVisible());
        clickInRow("d2", "askRemove");
        QVERIFY(!h->shown("device-d1")->findChild<QQuickItem *>("removeDevice")->isVisible());
        QVERIFY(h->shown("device-d1")->findChild<QQuickItem *>("askRemove")->isVisible());
        QVERIFY(h->shown("device-d2")->findChild<QQuickItem *>("removeDevice")->isVisible());
        clickInRow("d2", "keepDevice");
        QVERIFY(!h->isShown("removeDevice"));
        QVERIFY(h->model.service.requests("DELETE", "/v1/devices/d2").isEmpty());

        h->model.service.on("DELETE", "/v1/devices/d1", FakeReply{500, {}});
        clickInRow("d1", "askRemove");
        clickInRow("d1", "removeDevice");
        QTRY_COMPARE(h->text("devicesError"), QString("Не получилось отключить, попробуй ещё раз"));
        QCOMPARE(rowNames(), (QStringList{"Лампа", "Кнопка"}));
        QVERIFY(h->shown("device-d1")->findChild<QQuickItem *>("removeDevice")->isVisible());

        h->model.service.on("DELETE", "/v1/devices/d1", FakeReply{204, {}});
        clickInRow("d1", "removeDevice");
        QTRY_COMPARE(rowNames(), QStringList{"Кнопка"});
        QVERIFY(!h->isShown("removeDevice"));
        QCOMPARE(h->model.service.requests("DELETE", "/v1/devices/d1").size(), 2);
    }

    void docsOpenOnTheWebSite()
    {
        openDevices();
        h->click("docs");
        QCOMPARE(h->model.browser.opened, QList<QUrl>{h->model.service.endpoints().webBase.resolved(QUrl("/docs"))});
        h->model.browser.fail = true;
        h->click("docs");
        QCOMPARE(h->text("devicesError"), QString("Не получилось открыть браузер"));
    }

    void pairingThatEndsAfterTheTabLeftLeavesNoTrace()
    {
        openDevices();
        FakeReply late = paired("d9", "X", {"send"}, "t");
        late.delayMs = 300;
        h->model.service.on("POST", "/v1/devices", late);
        type("X");
        h->click("pair");
        h->click("tab-0");
        QVERIFY(!h->isShown("devicesView"));
        QTRY_COMPARE(h->model.service.requests("POST", "/v1/devices").size(), 1);
        QTest::qWait(400);
        h->click("tab-2");
        QVERIFY(!h->isShown("tokenCard"));
        QVERIFY(h->isShown("pair"));
    }
};

TENDER_TEST_MAIN(DevicesViewTest)
#include "DevicesViewTest.moc"
