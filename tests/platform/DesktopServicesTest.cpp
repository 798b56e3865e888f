#include "TestMain.h"
#include "platform/DesktopUrlOpener.h"
#include "platform/QtClipboard.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

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

        QtClipboard clipboard;
        const QString invite = QStringLiteral("https://tender.example/i/AbCdE-fGhJ");
        clipboard.setText(invite);

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
        QCOMPARE(recorder.urls, QList<QUrl>{url});

        QVERIFY(!opener.open(QUrl()));
        QCOMPARE(recorder.urls.size(), 1);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
};

TENDER_TEST_MAIN(DesktopServicesTest)
#include "DesktopServicesTest.moc"
