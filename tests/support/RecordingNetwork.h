#pragma once

#include <QNetworkAccessManager>
#include <QNetworkRequest>

namespace tender::test {

// The real network access manager that also keeps every request it was asked
// to send, so tests can read what the wire does not show (time-outs).
class RecordingNetwork : public QNetworkAccessManager {
public:
    QList<QNetworkRequest> sent;

protected:
    QNetworkReply *createRequest(Operation operation, const QNetworkRequest &request, QIODevice *body) override
    {
        sent.append(request);
        return QNetworkAccessManager::createRequest(operation, request, body);
    }
};

} // namespace tender::test
