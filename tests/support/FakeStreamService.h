#pragma once

#include "FakeService.h"
#include "StreamPeer.h"

#include <QList>

namespace tender::test {

// The fake service with its WebSocket endpoint: every upgrade request, on any
// path, becomes a StreamPeer that tests drive frame by frame.
class FakeStreamService : public FakeService {
    Q_OBJECT

public:
    using FakeService::FakeService;

    // Statuses for the coming handshakes, in order; when none is left the
    // handshake is accepted (101). 0 leaves the handshake unanswered.
    void answerHandshakes(QList<int> statuses) { statuses_ += statuses; }
    // Whether peers of coming connections answer pings at once.
    bool answerPings = true;

    const QList<StreamPeer *> &peers() const { return peers_; }
    StreamPeer *peer(qsizetype i) const { return peers_.value(i); }
    StreamPeer *last() const { return peers_.isEmpty() ? nullptr : peers_.last(); }

protected:
    void upgrade(QTcpSocket *socket, const RecordedRequest &request) override;

private:
    QList<int> statuses_;
    QList<StreamPeer *> peers_;
};

} // namespace tender::test
