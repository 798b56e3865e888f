#include "TestMain.h"
#include "records/InviteCode.h"

#include <QtTest>

class InviteCodeTest : public QObject {
    Q_OBJECT

private slots:
    void recognisesCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("code"); // "" when there is none
        QTest::newRow("web link") << "  https://tender.example/i/ABCDE-FGHJK?from=mail \n" << "ABCDE-FGHJK";
        QTest::newRow("case and dashes kept") << "https://tender.example/i/abcde-fghjk" << "abcde-fghjk";
        QTest::newRow("bare code") << "23456789AB" << "23456789AB";
        QTest::newRow("scheme") << "tender://add/ABCDE-FGHJK" << "ABCDE-FGHJK";
        QTest::newRow("scheme with fragment") << "tender://add/ABCDEFGHJK#" << "ABCDEFGHJK";
        QTest::newRow("last marker wins") << "https://x/i/ZZZZZ/i/ABCDEFGHJK/" << "ABCDEFGHJK";
        QTest::newRow("many dashes") << "A-B-C-D-E-F-G-H-J-K" << "A-B-C-D-E-F-G-H-J-K";
        QTest::newRow("nine") << "https://x/i/ABCDEFGHJ" << "";
        QTest::newRow("eleven") << "https://x/i/ABCDEFGHJKM" << "";
        QTest::newRow("zero") << "ABCDEFGHJ0" << "";
        QTest::newRow("one") << "ABCDEFGHJ1" << "";
        QTest::newRow("I") << "ABCDEFGHJI" << "";
        QTest::newRow("L") << "ABCDEFGHJL" << "";
        QTest::newRow("O") << "ABCDEFGHJO" << "";
        QTest::newRow("U") << "ABCDEFGHJU" << "";
        QTest::newRow("empty scheme") << "tender://add/" << "";
        QTest::newRow("cyrillic look-alike") << "АBCDEFGHJK" << "";
        QTest::newRow("nothing") << "   " << "";
    }
    void recognisesCodes()
    {
        QFETCH(QString, text);
        QFETCH(QString, code);
        QCOMPARE(tender::inviteID(text).value_or(QString()), code);
    }
};

TENDER_TEST_GUILESS_MAIN(InviteCodeTest)
#include "InviteCodeTest.moc"
