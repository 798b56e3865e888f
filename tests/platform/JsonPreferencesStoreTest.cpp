#include "TestMain.h"
#include "platform/JsonPreferencesStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace tender;

namespace {

// JSON written with single quotes, to keep the test data readable.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

} // namespace

class JsonPreferencesStoreTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("config/Tender/preferences.json")); }

    void writeFile(const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path()).absolutePath());
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

private slots:
    void init()
    {
        QFile::remove(path());
        QFile::remove(path() + ".corrupt");
    }

    void everyTypeSurvivesARestart()
    {
        const QDateTime anyoneSentAt(QDate(2026, 3, 2), QTime(7, 59, 59, 123), Qt::UTC);
        const QDateTime distantFuture(QDate(4001, 1, 1), QTime(0, 0), Qt::UTC);
        const QDateTime localEvening(QDate(2026, 3, 2), QTime(21, 30), Qt::OffsetFromUTC, 3 * 3600);
        {
            JsonPreferencesStore store(path());
            QVERIFY(store.setInteger("myColor", 7));
            QVERIFY(store.setInteger("big", std::numeric_limits<qint64>::max()));
            QVERIFY(store.setBoolean("sound", true));
            QVERIFY(store.setBoolean("calm", false));
            QVERIFY(store.setNumber("minGap", 1.0));
            QVERIFY(store.setNumber("fraction", 0.35));
            QVERIFY(store.setText("name", QStringLiteral("Мама \"и\" папа")));
            QVERIFY(store.setDate("anyoneSentAt", anyoneSentAt));
            QVERIFY(store.setDate("pausedUntil", distantFuture));
            QVERIFY(store.setDate("evening", localEvening));
            QVERIFY(store.setIntegerDictionary("contactColors", {{"c1", 3}, {"c2", -1}}));
            QVERIFY(store.setDateDictionary("lastSent", {{"c1", anyoneSentAt}}));
        }
        JsonPreferencesStore store(path());
        QVERIFY(std::holds_alternative<qint64>(*store.value("myColor")));
        QCOMPARE(store.integer("myColor"), 7);
        QCOMPARE(store.integer("big"), std::numeric_limits<qint64>::max());
        QCOMPARE(store.boolean("sound"), true);
        QCOMPARE(store.boolean("calm"), false);
        // A whole double must come back as a double, not as the integer JSON makes of it.
        QVERIFY(std::holds_alternative<double>(*store.value("minGap")));
        QCOMPARE(store.number("minGap"), 1.0);
        QCOMPARE(store.number("fraction"), 0.35);
        QCOMPARE(store.text("name"), QStringLiteral("Мама \"и\" папа"));
        QCOMPARE(store.date("anyoneSentAt"), anyoneSentAt);
        QCOMPARE(store.date("pausedUntil"), distantFuture);
        QCOMPARE(store.date("evening"), localEvening);
        QCOMPARE(store.integerDictionary("contactColors"), (QMap<QString, qint64>{{"c1", 3}, {"c2", -1}}));
        QCOMPARE(store.dateDictionary("lastSent"), (QMap<QString, QDateTime>{{"c1", anyoneSentAt}}));
    }

    void removedKeysStayRemoved()
    {
        {
            JsonPreferencesStore store(path());
            QVERIFY(store.setDate("pausedUntil", QDateTime::currentDateTimeUtc()));
            QVERIFY(store.setInteger("myColor", 2));
            QVERIFY(store.remove("pausedUntil"));
        }
        JsonPreferencesStore store(path());
        QVERIFY(!store.value("pausedUntil"));
        QCOMPARE(store.integer("myColor"), 2);
    }

    void aValueOfAnotherTypeReadsAsMissing()
    {
        JsonPreferencesStore store(path());
        store.setText("emojiCount", "40");
        QVERIFY(!store.integer("emojiCount"));
        QVERIFY(!store.number("emojiCount"));

        store.setBoolean("flag", true);
        QVERIFY(!store.integer("flag"));
        QVERIFY(!store.number("flag"));
        QVERIFY(!store.text("flag"));

        store.setInteger("quietWhenPresenting", 1);
        QVERIFY(!store.boolean("quietWhenPresenting"));
        QVERIFY(!store.date("quietWhenPresenting"));
        QCOMPARE(store.number("quietWhenPresenting"), 1.0);

        store.setNumber("whole", 3.0);
        QCOMPARE(store.integer("whole"), 3);
        store.setNumber("half", 2.5);
        QVERIFY(!store.integer("half"));
        store.setNumber("huge", 1e300);
        QVERIFY(!store.integer("huge"));

        store.setText("when", "2026-03-02T08:00:00Z");
        QVERIFY(!store.date("when"));
        QVERIFY(!store.integerDictionary("when"));
    }

    void aDictionaryIsTypedOnlyWhenEveryEntryIs()
    {
        JsonPreferencesStore store(path());
        store.set("mixed", PreferenceDictionary{{"a", qint64(1)}, {"b", QString("2")}});
        QVERIFY(!store.integerDictionary("mixed"));
        QVERIFY(!store.dateDictionary("mixed"));

        store.set("dates", PreferenceDictionary{{"a", QDateTime::currentDateTimeUtc()}});
        QVERIFY(!store.integerDictionary("dates"));
        QCOMPARE(store.dateDictionary("dates")->size(), 1);

        store.setIntegerDictionary("empty", {});
        QCOMPARE(store.integerDictionary("empty"), (QMap<QString, qint64>{}));
        QCOMPARE(store.dateDictionary("empty"), (QMap<QString, QDateTime>{}));

        store.setInteger("scalar", 4);
        QVERIFY(!store.integerDictionary("scalar"));
    }

    void aCorruptFileReadsAsEmptyAndIsKeptAside()
    {
        const QByteArray garbage = "{\"format\": \"tender-preferences\", \"values\": {\"myColor\": ";
        writeFile(garbage);
        JsonPreferencesStore store(path());
        QVERIFY(!store.value("myColor"));
        QVERIFY(store.setInteger("myColor", 5));
        QCOMPARE(JsonPreferencesStore(path()).integer("myColor"), 5);

        QFile aside(path() + ".corrupt");
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), garbage);
    }

    void aFileOfAnotherShapeReadsAsEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("array") << QByteArray("[1, 2]");
        QTest::newRow("no format") << (json("{'values': {'myColor': {'type': 'integer', 'value': 1}}}"));
        QTest::newRow("values not an object") << (json("{'format': 'tender-preferences', 'values': 3}"));
    }

    void aFileOfAnotherShapeReadsAsEmpty()
    {
        QFETCH(QByteArray, bytes);
        writeFile(bytes);
        JsonPreferencesStore store(path());
        QVERIFY(!store.value("myColor"));
    }

    void aBadEntryIsMissingButSurvivesOtherWrites()
    {
        writeFile(json("{'format': 'tender-preferences', 'version': 1, 'values': {"
                       "'myColor': {'type': 'integer', 'value': 2.5},"
                       "'future': {'type': 'colour', 'value': '#ff0000'},"
                       "'lastSent': {'type': 'dictionary', 'value': {'c1': {'type': 'date', 'value': 'yesterday'}}},"
                       "'sound': {'type': 'boolean', 'value': true}}}"));
        {
            JsonPreferencesStore store(path());
            QVERIFY(!store.value("myColor"));
            QVERIFY(!store.value("future"));
            QVERIFY(!store.dateDictionary("lastSent"));
            QCOMPARE(store.boolean("sound"), true);
            QVERIFY(store.setBoolean("calm", true));
        }
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("#ff0000"));
    }

    void theFileIsPrivateAndWrittenRightAway()
    {
        JsonPreferencesStore store(path());
        QVERIFY(!QFile::exists(path()));
        QVERIFY(store.setBoolean("sound", true));
        QVERIFY(QFile::exists(path()));
        const auto ownerGroupOther = QFile::Permissions::fromInt(0x7077);
        QCOMPARE(QFile::permissions(path()) & ownerGroupOther, QFile::ReadOwner | QFile::WriteOwner);
    }

    void aFailedWriteIsReportedAndKeptInMemory()
    {
        QFile blocker(dir_.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        JsonPreferencesStore store(dir_.filePath("blocker/Tender/preferences.json"));
        QVERIFY(!store.setInteger("myColor", 4));
        QCOMPARE(store.integer("myColor"), 4);
    }
};

TENDER_TEST_GUILESS_MAIN(JsonPreferencesStoreTest)
#include "JsonPreferencesStoreTest.moc"
