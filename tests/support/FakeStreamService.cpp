#include "FakeStreamService.h"

namespace tender::test {

void FakeStreamService::upgrade(QTcpSocket *socket, const RecordedRequest &request)
{
    auto *peer = new StreamPeer(socket, request, this);
    peer->answerPings = answerPings;
    peers_.append(peer);
    const int status = statuses_.isEmpty() ? 101 : statuses_.takeFirst();
    if (status != 0)
        peer->answerHandshake(status);
}

} // namespace tender::test
