#include "TestMain.h"
#include "records/Created.h"
#include "records/DecodingError.h"
#include "records/InviteCode.h"
#include "records/Me.h"
#include "records/Palette.h"
#include "records/RecordList.h"

#include <QtTest>

using namespace tender;

namespace {

QJsonObject object(const char *json)
{
    return json::parseObject(QByteArray(json));
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT

private slots:
    void contactCloseIsOptionalBothWays()
    {
        QCOMPARE(Contact::fromJson(object(R"({"id":"a","label":"Аня","position":3})")).close, std::nullopt);
        QCOMPARE(Contact::fromJson(object(R"({"id":"a","label":"Аня","position":3,"close":null})")).close, std::nullopt);
        const Contact close = Contact::fromJson(object(R"({"id":"a","label":"Аня","position":3,"close":true,"extra":1})"));
        QCOMPARE(close, (Contact{"a", "Аня", 3, true}));
        QVERIFY(close.isClose());

        // Written only when present.
        const QJsonObject plain = Contact{"a", "Аня", 3, std::nullopt}.toJson();
        QCOMPARE(plain.keys(), (QStringList{"id", "label", "position"}));
        QCOMPARE((Contact{"a", "Аня", 3, false}.toJson().value("close")), QJsonValue(false));
        const Contact roundTrip{"b", "Боря", 9007199254740991, true};
        QCOMPARE(Contact::fromJson(roundTrip.toJson()), roundTrip);
    }

    void mistypedOrMissingRequiredKeysFail_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("no position") << QByteArray(R"({"id":"a","label":"x"})");
        QTest::newRow("position as text") << QByteArray(R"({"id":"a","label":"x","position":"1"})");
        QTest::newRow("fractional position") << QByteArray(R"({"id":"a","label":"x","position":1.5})");
        QTest::newRow("numeric id") << QByteArray(R"({"id":7,"label":"x","position":1})");
        QTest::newRow("null label") << QByteArray(R"({"id":"a","label":null,"position":1})");
        QTest::newRow("close as text") << QByteArray(R"({"id":"a","label":"x","position":1,"close":"yes"})");
    }
    void mistypedOrMissingRequiredKeysFail()
    {
        QFETCH(QByteArray, json);
        QVERIFY_THROWS_EXCEPTION(DecodingError, Contact::fromJson(json::parseObject(json)));
    }

    void oneBadElementFailsTheWholeListAndDevicesDecode()
    {
        const auto good = ContactList::fromJson(object(R"({"contacts":[{"id":"a","label":"x","position":0}]})"));
        QCOMPARE(good.items.size(), 1);
        QVERIFY_THROWS_EXCEPTION(DecodingError, ContactList::fromJson(object(
            R"({"contacts":[{"id":"a","label":"x","position":0},{"id":"b","label":"y"}]})")));
        QVERIFY_THROWS_EXCEPTION(DecodingError, ContactList::fromJson(object(R"({"contacts":[1]})")));
        QVERIFY_THROWS_EXCEPTION(DecodingError, ContactList::fromJson(object(R"({"people":[]})")));
        QVERIFY_THROWS_EXCEPTION(DecodingError, json::parseObject("[1,2]"));
        QVERIFY_THROWS_EXCEPTION(DecodingError, json::parseObject("{\"contacts\":"));

        const auto list = DeviceList::fromJson(object(
            R"({"devices":[{"id":"d","name":"Лампа","capabilities":["receive","send"]},
                           {"id":"e","name":"Кнопка","capabilities":[],"last_seen_at":"2026-03-02T10:00:00.123Z"}]})"));
        QCOMPARE(list.items, (QList<Device>{{"d", "Лампа", {"receive", "send"}, std::nullopt},
                                            {"e", "Кнопка", {}, QString("2026-03-02T10:00:00.123Z")}}));
        QCOMPARE(DeviceList::fromJson(list.toJson()), list);

        QVERIFY_THROWS_EXCEPTION(DecodingError, Device::fromJson(object(R"({"id":"d","name":"x"})")));
        QVERIFY_THROWS_EXCEPTION(DecodingError, Device::fromJson(object(R"({"id":"d","name":"x","capabilities":[1]})")));

        const auto created = Created::fromJson(object(R"({"device":{"id":"d","name":"x","capabilities":["send"]},"token":"t"})"));
        QCOMPARE(created.token, QString("t"));
        QVERIFY_THROWS_EXCEPTION(DecodingError, Created::fromJson(object(R"({"device":{"id":"d","name":"x","capabilities":[]}})")));
        QVERIFY_THROWS_EXCEPTION(DecodingError, Me::fromJson(object(R"({"uid":"u"})")));
    }

    void paletteLookupsWrap()
    {
        QStringList names;
        for (const qint64 index : {0, 12, -1, -13, 25})
            names << Palette::at(index).name;
        QCOMPARE(names, (QStringList{"Коралловый", "Коралловый", "Грифельный", "Грифельный", "Розовый"}));
        QVERIFY(Palette::normalized(std::numeric_limits<qint64>::min()) >= 0);
        QCOMPARE(Palette::at(0).mainColor(), QColor(240, 122, 98));
    }

    void recognisesInviteCodes()
    {
        const std::pair<QString, QString> texts[] = { // text, its code ("" when there is none)
            {"  https://tender.example/i/ABCDE-FGHJK?from=mail \n", "ABCDE-FGHJK"},
            {"https://tender.example/i/abcde-fghjk", "abcde-fghjk"}, // case and dashes kept
            {"23456789AB", "23456789AB"},
            {"tender://add/ABCDE-FGHJK", "ABCDE-FGHJK"},
            {"tender://add/ABCDEFGHJK#", "ABCDEFGHJK"},
            {"https://x/i/ZZZZZ/i/ABCDEFGHJK/", "ABCDEFGHJK"}, // the last marker wins
            {"A-B-C-D-E-F-G-H-J-K", "A-B-C-D-E-F-G-H-J-K"},
            {"https://x/i/ABCDEFGHJ", ""}, {"https://x/i/ABCDEFGHJKM", ""}, {"tender://add/", ""},
            {"   ", ""},
            {"ABCDEFGHJ0", ""}, {"ABCDEFGHJ1", ""}, {"ABCDEFGHJI", ""}, // look-alikes are not in the alphabet
            {"ABCDEFGHJL", ""}, {"ABCDEFGHJO", ""}, {"ABCDEFGHJU", ""},
            {"АBCDEFGHJK", ""}, // a Cyrillic look-alike
        };
        for (const auto &[text, code] : texts)
            QCOMPARE((std::pair{text, inviteID(text).value_or(QString())}), (std::pair{text, code}));
    }
};

TENDER_TEST_GUILESS_MAIN(RecordsTest)
#include "RecordsTest.moc"
