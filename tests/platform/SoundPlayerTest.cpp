#include "TestMain.h"
#include "platform/QtSoundPlayer.h"

#include <QSoundEffect>
#include <QTest>

using namespace tender;

class SoundPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void purrIsShippedAndLoads()
    {
        QtSoundPlayer player;
        QSoundEffect *purr = player.effect(QStringLiteral("Purr"));
        QVERIFY(purr);
        QCOMPARE(player.effect(QStringLiteral("Purr")), purr);
        player.play(QStringLiteral("Purr"), 0.35f);
        QCOMPARE(purr->volume(), 0.35f);
        QTRY_COMPARE(purr->status(), QSoundEffect::Ready);
    }

    void aMissingSoundIsSkipped()
    {
        QtSoundPlayer player;
        QVERIFY(!player.effect(QStringLiteral("Glass")));
        QVERIFY(!player.effect(QStringLiteral("../sounds/Purr")));
        player.play(QStringLiteral("Glass"), 1.0f);
        QVERIFY(player.findChildren<QSoundEffect *>().isEmpty());
    }
};

TENDER_TEST_GUILESS_MAIN(SoundPlayerTest)
#include "SoundPlayerTest.moc"
