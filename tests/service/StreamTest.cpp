#include "ModelHarness.h"
#include "service/HandshakeStatus.h"
#include "service/Stream.h"

#include <QWebSocket>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

const QByteArray ready = R"({"type":"ready"})";
// Long enough for a loopback round trip to show up when it should not happen.
constexpr int quietMs = 200;

QByteArray signalFrame(const QByteArray &version)
{
    return R"({"type":"event","event":{"type":"signal")" + (version.isEmpty() ? "" : ",\"v\":" + version) + "}}";
}

} // namespace

class StreamTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModelHarness> h;
    std::unique_ptr<Stream> stream;
    int signalCount = 0, syncCount = 0, authLostCount = 0;
    QList<bool> onlineReports;

    qsizetype attempts() const { return h->service.peers().size(); }
    bool waitForAttempts(qsizetype n) { return QTest::qWaitFor([&] { return attempts() >= n; }) && attempts() == n; }
    bool waitForEnd(StreamPeer *peer) { return QTest::qWaitFor([peer] { return peer->ended; }); }
    // The client closed `peer`'s connection with `code`.
    bool closedWith(StreamPeer *peer, quint16 code) { return waitForEnd(peer) && peer->closeCode == code; }
    // The n-th attempt has come and the client has hung up on its refusal.
    bool refused(qsizetype n) { return waitForAttempts(n) && waitForEnd(h->service.last()); }
    bool quietlyStaysAt(qsizetype n)
    {
        QTest::qWait(quietMs);
        return attempts() == n;
    }
    // After a failure the client has handled: no attempt before `wait`, one at `wait`.
    bool nextAttemptAfter(Milliseconds wait)
    {
        const qsizetype before = attempts();
        h->clock.advance(wait - 1ms);
        if (!quietlyStaysAt(before))
            return false;
        h->clock.advance(1ms);
        return waitForAttempts(before + 1);
    }
    bool refusedAfter(Milliseconds wait) { return nextAttemptAfter(wait) && waitForEnd(h->service.last()); }
    StreamPeer *goOnline()
    {
        stream->start();
        if (!waitForAttempts(1))
            return nullptr;
        h->service.last()->sendText(ready);
        return QTest::qWaitFor([&] { return onlineReports.size() == 1; }) ? h->service.last() : nullptr;
    }

private slots:
    void init()
    {
        h = std::make_unique<ModelHarness>();
        h->saveSession();
        stream = std::make_unique<Stream>(h->makeModel().auth(), h->clock, h->service.endpoints());
        signalCount = syncCount = authLostCount = 0;
        onlineReports.clear();
        stream->onSignal = [this] { ++signalCount; };
        stream->onSync = [this] { ++syncCount; };
        stream->onAuthLost = [this](const AuthError &) { ++authLostCount; };
        stream->onOnline = [this](bool online) { onlineReports << online; };
    }

    void cleanup()
    {
        stream.reset();
        h.reset();
    }

    // Starting again while connecting or connected opens nothing more.
    void addressOpeningRequestAndOneConnection()
    {
        QCOMPARE(Stream::address(QUrl("https://api.example.org"), true), QUrl("wss://api.example.org/v1/stream"));

        stream->anyone = false;
        QCOMPARE(await(h->model().auth().token()), QString("token")); // a cached token opens within start()
        stream->start();
        stream->start();
        QVERIFY(waitForAttempts(1));
        h->service.last()->sendText(ready);
        QTRY_COMPARE(onlineReports, QList<bool>{true});
        stream->start();
        QVERIFY(quietlyStaysAt(1));
        QCOMPARE(onlineReports, QList<bool>{true});
        const RecordedRequest &first = h->service.peer(0)->request;
        QCOMPARE((QStringList{first.path, first.query.query(), first.header("authorization"),
                              first.header("x-client")}),
                 (QStringList{"/v1/stream", "anyone=false", "Bearer token", "linux/test"}));

        stream->anyone = true;
        stream->restart();
        QVERIFY(waitForAttempts(2));
        QVERIFY(h->service.peer(1)->request.query.isEmpty());
        QVERIFY(closedWith(h->service.peer(0), 1001));
    }

    // Only the known messages count; hostile input leaves the connection standing, except what the
    // socket itself must refuse.
    void messagesCallbacksAndHostileInput()
    {
        StreamPeer *peer = goOnline();
        QVERIFY(peer);
        peer->sendText(ready);
        peer->sendText(R"({"type":"sync"})");
        peer->sendText(signalFrame("1"));
        for (const QByteArray &ignored :
             {signalFrame("2"), signalFrame(""), signalFrame("\"1\""), signalFrame("1.5"), signalFrame("true"),
              QByteArray(R"({"type":"signal","v":1})"), QByteArray(R"({"type":"event","event":{"type":"heart","v":1}})"),
              QByteArray(R"({"type":"event"})"), QByteArray(R"({"type":["ready"]})"), QByteArray(R"({"kind":"sync"})"),
              QByteArray(R"(["ready"])"), QByteArray("\"sync\""), QByteArray("{\"type\":\"sync\""), QByteArray("")})
            peer->sendText(ignored);
        peer->sendBinary(signalFrame("1"));
        peer->sendBinary(ready);
        peer->sendText(R"({"type":"event","pad":")" + QByteArray(900 * 1024, 'x') + R"(","event":{"type":"signal","v":1}})");
        peer->sendText(QByteArray(200'000, '['));
        peer->sendText(R"({"type":"event","event":)" + QByteArray(5'000, '[') + "}");
        peer->sendText(R"({"type":"event","event":{"type":"signal\ud800","v":1}})");
        for (int i = 0; i < 20'000; ++i)
            peer->sendText(i % 2 ? QByteArray("{\"type\":") : signalFrame("3"));
        peer->sendText(signalFrame("1"));
        QTRY_COMPARE(signalCount, 2);
        QCOMPARE(syncCount, 3);
        QCOMPARE(onlineReports, QList<bool>{true});
        QVERIFY(quietlyStaysAt(1));
        QVERIFY(!peer->ended);

        // Invalid UTF-8 and messages past the size limit make the socket fail the connection
        // (RFC 6455 leaves it no choice); the stream comes back after the shortest wait.
        peer->sendText("{\"type\":\"sync\",\"x\":\"\xff\xfe\"}");
        QTRY_COMPARE(onlineReports, (QList<bool>{true, false}));
        QVERIFY(nextAttemptAfter(1s));
        QVERIFY(closedWith(peer, 1007));
        peer = h->service.last();
        peer->sendText(ready);
        peer->sendText(QByteArray(Stream::maxMessageBytes + 1, 'x'));
        QTRY_COMPARE(onlineReports, (QList<bool>{true, false, true, false}));
        QVERIFY(nextAttemptAfter(1s));
        QVERIFY(closedWith(peer, 1009));
        QCOMPARE(signalCount, 2);
    }

    void backoffLimitsAndResets()
    {
        h->service.answerHandshakes(QList<int>(16, 503));
        stream->start();
        QVERIFY(refused(1));
        for (const auto wait : {1s, 2s, 4s, 8s, 16s, 32s, 60s, 60s})
            QVERIFY2(refusedAfter(wait), qPrintable(QString::number(wait.count())));

        // restart: at once, and the wait starts over; the sleeper of the replaced connection stays idle.
        h->clock.advance(59500ms);
        stream->restart();
        QVERIFY(refused(10));
        QVERIFY(refusedAfter(1s));
        QVERIFY(refusedAfter(2s));

        // A network change: the first report never counts, a new interface does.
        stream->networkChanged("eth0");
        QVERIFY(quietlyStaysAt(12));
        stream->networkChanged(std::nullopt);
        QVERIFY(quietlyStaysAt(12));
        stream->networkChanged("wlan0");
        QVERIFY(refused(13));
        QVERIFY(refusedAfter(1s));

        // stop during a wait: the sleeper wakes to nothing; start begins again at 1 s.
        stream->stop();
        stream->networkChanged("eth0");
        h->clock.advance(120s);
        QVERIFY(quietlyStaysAt(14));
        stream->start();
        QVERIFY(refused(15));
        QVERIFY(refusedAfter(1s));
        QVERIFY(onlineReports.isEmpty());

        // Being online resets the wait too.
        QVERIFY(nextAttemptAfter(2s));
        h->service.last()->sendText(ready);
        QTRY_COMPARE(onlineReports, QList<bool>{true});
        h->service.last()->drop();
        QTRY_COMPARE(onlineReports, (QList<bool>{true, false}));
        h->service.answerHandshakes({503});
        QVERIFY(refusedAfter(1s));
        QVERIFY(nextAttemptAfter(2s));
    }

    void networkChangeLeavesTheOldConnectionStaleAndStopEndsTheNew()
    {
        stream->networkChanged("eth0");
        StreamPeer *first = goOnline();
        QVERIFY(first);
        stream->networkChanged("eth0");
        QVERIFY(quietlyStaysAt(1));

        stream->networkChanged("wlan0");
        QCOMPARE(onlineReports, (QList<bool>{true, false}));
        QVERIFY(waitForAttempts(2));
        StreamPeer *second = h->service.last();
        // The old connection's receive fails now; it must not touch the new one.
        QVERIFY(closedWith(first, 1001));
        h->clock.advance(10s);
        QVERIFY(quietlyStaysAt(2));
        QVERIFY(!second->ended);
        second->sendText(ready);
        QTRY_COMPARE(onlineReports, (QList<bool>{true, false, true}));

        stream->stop();
        QCOMPARE(onlineReports, (QList<bool>{true, false, true, false}));
        QVERIFY(closedWith(second, 1001));
    }

    void pongInTimeKeepsTheConnection()
    {
        h->service.answerPings = false;
        StreamPeer *peer = goOnline();
        QVERIFY(peer);
        h->clock.advance(30s);
        QTRY_COMPARE(peer->pingsReceived, 1);
        h->clock.advance(9s);
        peer->releasePongs();
        peer->sendText(R"({"type":"sync"})"); // arrives after the pong
        QTRY_COMPARE(syncCount, 2);
        QCOMPARE(h->clock.pendingCount(), 1); // the next ping: an answered deadline does not wait on
        h->clock.advance(20999ms);
        QVERIFY(quietlyStaysAt(1));
        QCOMPARE(peer->pingsReceived, 1);
        h->clock.advance(1ms);
        QTRY_COMPARE(peer->pingsReceived, 2);
        QCOMPARE(onlineReports, QList<bool>{true});

        // The next pong comes 11 s late: the deadline has already started the reconnection.
        h->clock.advance(10s);
        QCOMPARE(onlineReports, (QList<bool>{true, false}));
        h->clock.advance(500ms);
        peer->releasePongs();
        QTest::qWait(quietMs);
        QVERIFY(nextAttemptAfter(500ms));
        QVERIFY(closedWith(peer, 1001));
    }

    // An unanswered handshake times out; a refusal with 401 forces one token refresh.
    void unansweredAndUnauthorizedHandshakes()
    {
        h->service.on("POST", FakeService::tokenPath, FakeReply::token("t2"));
        h->service.answerHandshakes({0, 401, 503});
        stream->start();
        QVERIFY(waitForAttempts(1));
        h->clock.advance(Stream::openingTimeout - 1ms);
        QTest::qWait(quietMs);
        QVERIFY(!h->service.peer(0)->ended);
        h->clock.advance(1ms);
        QVERIFY(waitForEnd(h->service.peer(0)));
        QVERIFY(refusedAfter(1s));
        QVERIFY(refusedAfter(2s));
        QVERIFY(nextAttemptAfter(4s));
        QCOMPARE(h->service.requests("POST", FakeService::tokenPath).size(), 2);
        QCOMPARE(h->service.peer(1)->request.header("authorization"), QByteArray("Bearer token"));
        QCOMPARE(h->service.peer(2)->request.header("authorization"), QByteArray("Bearer t2"));
        QCOMPARE(h->service.peer(3)->request.header("authorization"), QByteArray("Bearer t2"));

        // A failure that is no refused handshake names no status (and forces no refresh).
        QWebSocket socket;
        QSignalSpy errors(&socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error));
        socket.open(QUrl("ws://127.0.0.1:1/v1/stream"));
        QVERIFY(errors.wait());
        QCOMPARE(refusedHandshakeStatus(socket.errorString()), std::nullopt);
    }

    void tokenFailures()
    {
        h->service.reset();
        const FakeReply passing = FakeReply::identityError("TOO_MANY_ATTEMPTS_TRY_LATER");
        h->service.on("POST", FakeService::tokenPath, passing);
        h->service.on("POST", FakeService::tokenPath, FakeReply::identityError("INVALID_REFRESH_TOKEN"));
        stream->start();
        // A passing failure: the back-off sleeper is the one pending timer.
        QTRY_COMPARE(h->clock.pendingCount(), 1);
        h->clock.advance(1s);
        QTRY_COMPARE(authLostCount, 1);
        QCOMPARE(h->clock.pendingCount(), 0);
        h->clock.advance(300s);
        QTest::qWait(quietMs);
        QCOMPARE(h->service.requests("POST", FakeService::tokenPath).size(), 2);
        QCOMPARE(authLostCount, 1);
        QCOMPARE(attempts(), 0);
        QVERIFY(stream->running());
    }

    void restartWhileFetchingTheToken()
    {
        h->service.reset();
        // The network layer retries a dropped request once by itself.
        h->service.on("POST", FakeService::tokenPath, FakeReply{.drop = true});
        h->service.on("POST", FakeService::tokenPath, FakeReply{.drop = true});
        h->service.on("POST", FakeService::tokenPath, FakeReply::token("t1"));
        stream->start();
        stream->restart(); // both attempts wait for the same refresh; only the second may act on its failure
        QTRY_COMPARE(h->clock.pendingCount(), 1);
        QVERIFY(nextAttemptAfter(1s));
        QCOMPARE(h->service.requests("POST", FakeService::tokenPath).size(), 3);
    }
};

TENDER_TEST_GUILESS_MAIN(StreamTest)
#include "StreamTest.moc"
