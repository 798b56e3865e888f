#include "TestMain.h"
#include "Files.h"
#include "platform/JsonPreferencesStore.h"

#include <QtTest>

#include <limits>

using namespace tender;

using V = PreferenceValue;
Q_DECLARE_METATYPE(V)

namespace {

const QDateTime sentAt(QDate(2026, 3, 2), QTime(7, 59, 59, 123), Qt::UTC);

// What every typed reader answers for the key; the ones that treat it as missing are left out.
QString reads(const PreferencesStore &store, const QString &key)
{
    QStringList found;
    if (const auto v = store.integer(key))
        found << "integer " + QString::number(*v);
    if (const auto v = store.number(key))
        found << "number " + QString::number(*v);
    if (const auto v = store.boolean(key))
        found << (*v ? "true" : "false");
    if (const auto v = store.text(key))
        found << "text " + *v;
    if (const auto v = store.date(key))
        found << "date " + v->toUTC().toString(Qt::ISODateWithMs);
    if (const auto v = store.integerDictionary(key))
        found << "integers [" + QStringList(v->keys()).join(' ') + ']';
    if (const auto v = store.dateDictionary(key))
        found << "dates [" + QStringList(v->keys()).join(' ') + ']';
    return found.join(", ");
}

} // namespace

class JsonPreferencesStoreTest : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> dir_;
    QString path() const { return dir_->filePath(QStringLiteral("config/Tender/preferences.json")); }

private slots:
    void init() { dir_.emplace(); }

    void everyTypeSurvivesARestartAndReadsOnlyAsItself_data()
    {
        QTest::addColumn<PreferenceValue>("value");
        QTest::addColumn<QString>("reads");
        const QDateTime evening(QDate(2026, 3, 2), QTime(21, 30), Qt::OffsetFromUTC, 3 * 3600);
        QTest::newRow("integer") << V(qint64(1)) << "integer 1, number 1";
        QTest::newRow("largest integer") << V(std::numeric_limits<qint64>::max())
                                         << "integer 9223372036854775807, number 9.22337e+18";
        QTest::newRow("true") << V(true) << "true";
        QTest::newRow("false") << V(false) << "false";
        // A whole double must come back as a double, not as the integer JSON makes of it.
        QTest::newRow("whole double") << V(3.0) << "integer 3, number 3";
        QTest::newRow("fraction") << V(0.35) << "number 0.35";
        QTest::newRow("too large a whole") << V(1e300) << "number 1e+300";
        QTest::newRow("text") << V(QString("Мама \"и\" папа")) << "text Мама \"и\" папа";
        QTest::newRow("digits as text") << V(QString("40")) << "text 40";
        QTest::newRow("date as text") << V(QString("2026-03-02T08:00:00Z"))
                                      << "text 2026-03-02T08:00:00Z";
        QTest::newRow("date") << V(sentAt) << "date 2026-03-02T07:59:59.123Z";
        QTest::newRow("distant date") << V(QDateTime(QDate(4001, 1, 1), QTime(0, 0), Qt::UTC))
                                      << "date 4001-01-01T00:00:00.000Z";
        QTest::newRow("local date") << V(evening) << "date 2026-03-02T18:30:00.000Z";
        QTest::newRow("whole numbers") << V(PreferenceDictionary{{"c1", qint64(3)}, {"c2", 2.0}})
                                       << "integers [c1 c2]";
        QTest::newRow("dates") << V(PreferenceDictionary{{"c1", sentAt}}) << "dates [c1]";
        QTest::newRow("mixed") << V(PreferenceDictionary{{"a", qint64(1)}, {"b", QString("2")}})
                               << "";
        QTest::newRow("empty dictionary") << V(PreferenceDictionary{}) << "integers [], dates []";
    }

    void everyTypeSurvivesARestartAndReadsOnlyAsItself()
    {
        QFETCH(PreferenceValue, value);
        QFETCH(QString, reads);
        {
            JsonPreferencesStore first(path());
            QVERIFY(first.set("key", value) && first.set("removed", value));
            QVERIFY(first.remove("removed"));
        }
        const JsonPreferencesStore store(path());
        QVERIFY(store.value("key") == value);
        QVERIFY(!store.value("removed"));
        QCOMPARE(::reads(store, "key"), reads);
    }

    void typedDictionariesAreWrittenRightAwayToAPrivateFile()
    {
        JsonPreferencesStore store(path());
        QVERIFY(!QFile::exists(path()));
        QVERIFY(store.setIntegerDictionary("contactColors", {{"c1", 3}, {"c2", -1}}));
        const auto ownerGroupOther = QFile::Permissions::fromInt(0x7077);
        QCOMPARE(QFile::permissions(path()) & ownerGroupOther, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(store.setDateDictionary("lastSent", {{"c1", sentAt}}));
        const JsonPreferencesStore reread(path());
        QCOMPARE(reread.integerDictionary("contactColors"), (QMap<QString, qint64>{{"c1", 3}, {"c2", -1}}));
        QCOMPARE(reread.dateDictionary("lastSent"), (QMap<QString, QDateTime>{{"c1", sentAt}}));
    }

    void anUnreadableFileReadsAsEmptyAndIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("cut short") << QByteArray(R"({"format": "tender-preferences", "values": {"c": )");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("array") << QByteArray("[1, 2]");
        QTest::newRow("no format")
            << QByteArray(R"({"values": {"myColor": {"type": "integer", "value": 1}}})");
        QTest::newRow("not an object") << QByteArray(R"({"format": "tender-preferences", "values": 3})");
    }

    void anUnreadableFileReadsAsEmptyAndIsKeptAside()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(test::writeFile(path(), bytes));
        JsonPreferencesStore store(path());
        QVERIFY(!store.value("myColor"));
        QVERIFY(store.setInteger("myColor", 5));
        QCOMPARE(JsonPreferencesStore(path()).integer("myColor"), 5);
        QCOMPARE(test::readFile(path() + ".corrupt"), bytes);
    }

    void aBadEntryIsMissingButSurvivesOtherWrites()
    {
        const QByteArray stored = R"({"format": "tender-preferences", "version": 1, "values": {)"
            R"("myColor": {"type": "integer", "value": 2.5},)"
            R"("future": {"type": "colour", "value": "#ff0000"},)"
            R"("lastSent": {"type": "dictionary", "value": {"c1": {"type": "date", "value": "yesterday"}}},)"
            R"("sound": {"type": "boolean", "value": true}}})";
        QVERIFY(test::writeFile(path(), stored));
        {
            JsonPreferencesStore store(path());
            QVERIFY(!store.value("myColor"));
            QVERIFY(!store.value("future"));
            QVERIFY(!store.dateDictionary("lastSent"));
            QCOMPARE(store.boolean("sound"), true);
            QVERIFY(store.setBoolean("calm", true));
        }
        QVERIFY(test::readFile(path()).contains("#ff0000"));
    }

    void aFailedWriteIsReportedAndKeptInMemory()
    {
        QVERIFY(QFile(dir_->filePath("blocker")).open(QIODevice::WriteOnly));
        JsonPreferencesStore store(dir_->filePath("blocker/Tender/preferences.json"));
        QVERIFY(!store.setInteger("myColor", 4));
        QCOMPARE(store.integer("myColor"), 4);
    }
};

TENDER_TEST_GUILESS_MAIN(JsonPreferencesStoreTest)
#include "JsonPreferencesStoreTest.moc"
