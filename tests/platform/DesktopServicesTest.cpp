#include "TestMain.h"
#include "platform/DesktopUrlOpener.h"
#include "platform/QtClipboard.h"
#include "platform/QtSoundPlayer.h"

#include <QtGui>
#include <QtTest>
#include <QSoundEffect>

using namespace tender;

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class DesktopServicesTest : public QObject {
    Q_OBJECT

private slots:
    void theClipboardHoldsOnlyTheNewText()
    {
        auto *rich = new QMimeData;
        rich->setHtml(QStringLiteral("<b>old</b>"));
        rich->setText(QStringLiteral("old"));
        QGuiApplication::clipboard()->setMimeData(rich);

        const QString invite = QStringLiteral("https://tender.example/i/AbCdE-fGhJ");
        QtClipboard().setText(invite);
        const QMimeData *now = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(now->text(), invite);
        QVERIFY(!now->hasHtml());
    }

    void urlsGoToTheDesktopsHandler()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
        DesktopUrlOpener opener;
        const QUrl url(QStringLiteral("https://tender.example/signin?state=a%20b"));
        QVERIFY(opener.open(url));
        QVERIFY(!opener.open(QUrl()));
        QCOMPARE(recorder.urls, QList<QUrl>{url});
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }

    void purrIsShippedAndLoadsAndAMissingSoundIsSkipped()
    {
        QtSoundPlayer player;
        QSoundEffect *purr = player.effect(QStringLiteral("Purr"));
        QVERIFY(purr);
        QCOMPARE(player.effect(QStringLiteral("Purr")), purr);
        player.play(QStringLiteral("Purr"), 0.35f);
        QCOMPARE(purr->volume(), 0.35f);
        QTRY_COMPARE(purr->status(), QSoundEffect::Ready);

        QVERIFY(!player.effect(QStringLiteral("Glass")));
        QVERIFY(!player.effect(QStringLiteral("../sounds/Purr")));
        player.play(QStringLiteral("Glass"), 1.0f);
        QCOMPARE(player.findChildren<QSoundEffect *>(), QList<QSoundEffect *>{purr});
    }
};

TENDER_TEST_MAIN(DesktopServicesTest)
#include "DesktopServicesTest.moc"
