#include "ViewHarness.h"

#include "views/DevicesController.h"
#include "views/InternetDateTime.h"
#include "views/RelativeTime.h"

using namespace tender;
using namespace tender::test;
using namespace tender::views;
using namespace std::chrono_literals;

namespace {

QJsonObject device(const QString &id, const QString &name, const QStringList &capabilities,
                   const QJsonValue &lastSeen = QJsonValue::Null)
{
    return {{"id", id}, {"name", name}, {"kind", "custom"},
            {"capabilities", QJsonArray::fromStringList(capabilities)}, {"last_seen_at", lastSeen}};
}

FakeReply paired(const QString &id, const QString &name, const QStringList &capabilities,
                 const QString &token, int delayMs = 0)
{
    return jsonReply(201, {{"device", device(id, name, capabilities)}, {"token", token}}, delayMs);
}

const QJsonArray lampAndButton{device("d1", "Лампа", {"receive"}), device("d2", "Кнопка", {"send"})};

} // namespace

class DevicesViewTest : public ViewTest {
    Q_OBJECT

    // The devices tab, after its first load answered with `devices`.
    void openDevices(const QJsonArray &devices = {})
    {
        h->service.on("GET", "/v1/devices", FakeReply::json(200, {{"devices", devices}}));
        QVERIFY(h->open({}, Route::settings()));
        // In once the answer has been taken in: a late one would clear the error line.
        std::unique_ptr<QSignalSpy> loaded;
        const auto watch = connect(&h->service, &FakeService::requestReceived, [&](const RecordedRequest &r) {
            if (r.path != u"/v1/devices" || loaded)
                return;
            loaded = std::make_unique<QSignalSpy>(controller(), &DevicesController::changed);
        });
        h->click("tab-2");
        QTRY_VERIFY(loaded && !loaded->isEmpty());
        disconnect(watch);
        QCOMPARE(h->service.requests("GET", "/v1/devices").size(), 1);
    }

    DevicesController *controller() const { return h->item("devicesView")->findChild<DevicesController *>(); }

    bool canPair() const { return h->shown("pair")->isEnabled(); }

    // The rows top to bottom, "?" after one that asks whether to remove its device.
    QStringList rows() const
    {
        QStringList rows;
        for (const QString &id : h->shownIds("device-"))
            rows << h->inside("device-" + id, "deviceName")->property("text").toString()
                        + (h->inside("device-" + id, "removeDevice")->isVisible() ? "?" : "");
        return rows;
    }

    void clickInRow(const QString &id, const QString &name) { h->clickAt(h->inside("device-" + id, name)); }
    QJsonObject lastPairing() const { return h->service.requests("POST", "/v1/devices").last().json(); }

private slots:
    void detailsSayWhatDevicesDoAndWhenOnlinePairingNeedsANameOfOneTo64AndASwitchDocsOpen()
    {
        // The manual clock stands at 2026-03-02 12:00 UTC.
        openDevices({device("both", "A", {"send", "receive"}, "2026-03-02T11:54:59.750Z"),
                     device("send", "B", {"send"}, "2026-03-01T10:00:00Z"),
                     device("receive", "C", {"receive"}, "2026-03-02T14:00:00+03:00"),
                     device("none", "D", {"blink"}),
                     device("odd", "E", {"receive"}, "вчера"),
                     device("dateonly", "F", {"send"}, "2026-03-01")});
        QCOMPARE(h->shownTexts("deviceDetails"),
                 (QStringList{"Принимает и отправляет · был онлайн 5 минут назад",
                              "Отправляет · был онлайн вчера", "Принимает · был онлайн 1 час назад",
                              " · ещё не подключался",
                              "Принимает · ещё не подключался", "Отправляет · ещё не подключался"}));
        h->clock.advance(60s);
        h->settle();
        QVERIFY(h->shownTexts("deviceDetails")[0].endsWith(" · был онлайн 6 минут назад"));

        QVERIFY(!canPair());
        h->type("deviceName", "   ");
        QVERIFY(!canPair());
        const QString longest(64, u'я');
        const QList<std::pair<QString, bool>> names{
            {" \t \t", false}, {" \t" + longest + "\t ", true}, {longest + u'я', false}, {longest, true},
            {QStringLiteral("\U0001F431").repeated(64), true}}; // 128 UTF-16 units, 64 characters
        for (const auto &[name, valid] : names) {
            controller()->setName(name);
            h->settle();
            QVERIFY2(canPair() == valid, qPrintable(name));
        }

        h->toggle("receiveSwitch");
        QVERIFY(canPair());
        h->toggle("sendSwitch");
        QVERIFY(!controller()->receive() && !controller()->send());
        QVERIFY(!canPair());
        h->toggle("sendSwitch");
        QVERIFY(canPair());

        h->click("docs");
        const QUrl docs = h->service.endpoints().webBase.resolved(QUrl("/docs"));
        QCOMPARE(h->model.browser.opened, QList<QUrl>{docs});
        h->model.browser.fail = true;
        h->click("docs");
        QCOMPARE(h->text("devicesError"), QString("Не получилось открыть браузер"));
    }

    void pairingSendsTheTrimmedNameAndShowsTheTokenOnce()
    {
        openDevices({device("d1", "Лампа", {"receive"})});
        h->service.on("POST", "/v1/devices", paired("d2", "Котик на полке", {"receive", "send"}, "tok-one"));
        h->type("deviceName", "  Котик на полке ");
        controller()->setName(controller()->name() + "\t");
        h->click("pair");
        QTRY_VERIFY(h->isShown("tokenCard"));
        QCOMPARE(lastPairing(), (QJsonObject{{"name", "Котик на полке"}, {"kind", "custom"},
                                             {"capabilities", QJsonArray{"receive", "send"}}}));
        QCOMPARE(rows(), (QStringList{"Лампа", "Котик на полке"}));
        QCOMPARE(h->service.requests("GET", "/v1/devices").size(), 1);
        QCOMPARE(h->texts({"pairedTitle", "token", "copyToken"}),
                 (QStringList{"«Котик на полке» подключено", "tok-one", "Скопировать токен"}));
        QVERIFY(!h->isShown("pair"));
        h->laidOut();
        QCOMPARE(h->shown("copyToken")->width(), h->shown("tokenDone")->width()); // equal shares

        h->click("copyToken");
        QCOMPARE(h->model.clipboard.text, std::optional<QString>("tok-one"));
        QCOMPARE(h->text("copyToken"), QString("Скопировано"));

        h->click("tokenDone");
        QCOMPARE(h->showing({"tokenCard", "pair"}), QStringList{"pair"});
        for (QQuickItem *item : h->allShown(QString())) // shown once, then nowhere
            QVERIFY(!item->property("text").toString().contains("tok-one"));
        QCOMPARE(h->text("deviceName"), QString());

        h->service.on("POST", "/v1/devices", paired("d3", "Кнопка", {"send"}, "tok-two"));
        h->toggle("receiveSwitch");
        h->type("deviceName", "Кнопка");
        h->click("pair");
        QTRY_COMPARE(h->text("token"), QString("tok-two"));
        QCOMPARE(lastPairing()["capabilities"].toArray(), QJsonArray{"send"});
        QCOMPARE(h->text("copyToken"), QString("Скопировать токен"));
        QCOMPARE(rows(), (QStringList{"Лампа", "Котик на полке", "Кнопка"}));
    }

    void failedPairingKeepsTheFormAndSaysWhyAndALateOneLeavesNoTrace()
    {
        openDevices();
        h->service.on("POST", "/v1/devices", jsonReply(409, {{"error", "too many devices"}}, 200));
        h->type("deviceName", "Лампа");
        h->toggle("sendSwitch");
        h->click("pair");
        QCOMPARE(h->text("pair"), QString("Подключаем…"));
        QVERIFY(!canPair());
        QTRY_COMPARE(h->text("devicesError"), QString("Устройств уже много, отключи лишние"));
        QVERIFY(canPair());
        QCOMPARE(h->texts({"pair", "deviceName"}), (QStringList{"Подключить устройство", "Лампа"}));
        QVERIFY(controller()->receive() && !controller()->send());

        h->service.on("POST", "/v1/devices", FakeReply::json(500, {{"error", "boom"}}));
        h->click("pair");
        QTRY_COMPARE(h->text("devicesError"), QString("Не получилось, попробуй ещё раз"));

        h->service.on("POST", "/v1/devices", FakeReply{200, {}, 0, true});
        h->click("pair");
        // (the network layer may send a request once more after a dropped connection)
        QTRY_VERIFY(h->service.requests("POST", "/v1/devices").size() >= 3);
        QTRY_VERIFY(!controller()->busy());
        QCOMPARE(h->text("devicesError"), QString("Не получилось, попробуй ещё раз"));
        QVERIFY(!h->isShown("tokenCard"));

        // One that succeeds after the tab left leaves no trace.
        const qsizetype tried = h->service.requests("POST", "/v1/devices").size();
        h->service.on("POST", "/v1/devices", paired("d9", "X", {"send"}, "t", 300));
        h->click("pair");
        h->click("tab-0");
        QVERIFY(!h->isShown("devicesView"));
        QTRY_COMPARE(h->service.requests("POST", "/v1/devices").size(), tried + 1);
        QTest::qWait(400);
        h->click("tab-2");
        QCOMPARE(h->showing({"tokenCard", "pair"}), QStringList{"pair"});
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
        QCOMPARE(parseInternetDateTime("2026-03-02T11:55:00.5Z"), moment.addMSecs(500));
        QCOMPARE(parseInternetDateTime("2026-03-02t14:55:00.123456+03:00"), moment.addMSecs(123));
        QCOMPARE(parseInternetDateTime("2026-03-02T06:25:00-05:30"), moment);
        for (const char *bad : {"", "2026-03-02", "11:55:00Z", "2026-03-02T11:55:00", "2026-03-02 11:55:00Z",
                                "2026-02-30T11:55:00Z", "2026-03-02T24:00:00Z", "2026-03-02T11:55:00+24:00",
                                "2026-03-02T11:55:00.Z", " 2026-03-02T11:55:00Z", "２０２６-03-02T11:55:00Z"})
            QVERIFY2(!parseInternetDateTime(QString::fromUtf8(bad)).isValid(), bad);
    }

    void removalAsksFirstOneRowAtATimeAndAFailedLoadKeepsTheList()
    {
        openDevices(lampAndButton);
        QCOMPARE(rows(), (QStringList{"Лампа", "Кнопка"}));
        clickInRow("d1", "askRemove");
        QCOMPARE(rows(), (QStringList{"Лампа?", "Кнопка"}));
        clickInRow("d2", "askRemove");
        QCOMPARE(rows(), (QStringList{"Лампа", "Кнопка?"}));
        QVERIFY(h->inside("device-d1", "askRemove")->isVisible());
        clickInRow("d2", "keepDevice");
        QCOMPARE(rows(), (QStringList{"Лампа", "Кнопка"}));
        QVERIFY(h->service.requests("DELETE", "/v1/devices/d2").isEmpty());

        h->service.on("DELETE", "/v1/devices/d1", FakeReply{500, {}});
        clickInRow("d1", "askRemove");
        clickInRow("d1", "removeDevice");
        QTRY_COMPARE(h->text("devicesError"), QString("Не получилось отключить, попробуй ещё раз"));
        QCOMPARE(rows(), (QStringList{"Лампа?", "Кнопка"}));

        h->service.on("DELETE", "/v1/devices/d1", FakeReply{204, {}});
        clickInRow("d1", "removeDevice");
        QTRY_COMPARE(rows(), QStringList{"Кнопка"});
        QCOMPARE(h->service.requests("DELETE", "/v1/devices/d1").size(), 2);

        // The popover closes and opens again: the tab loads once more; a failed load keeps the list.
        h->service.on("GET", "/v1/devices", FakeReply{500, {}});
        h->view.hide();
        h->view.show();
        QTRY_COMPARE(h->service.requests("GET", "/v1/devices").size(), 2);
        QTRY_COMPARE(h->text("devicesError"), QString("Не получилось загрузить устройства"));
        QCOMPARE(rows(), QStringList{"Кнопка"});

        h->service.on("GET", "/v1/devices", FakeReply::json(200, {{"devices", lampAndButton}}));
        h->view.hide();
        h->view.show();
        QTRY_COMPARE(rows(), (QStringList{"Лампа", "Кнопка"}));
        QVERIFY(!h->isShown("devicesError"));
    }
};

TENDER_TEST_MAIN(DevicesViewTest)
#include "DevicesViewTest.moc"
