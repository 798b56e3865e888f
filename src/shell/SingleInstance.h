#pragma once

#include <QHash>
#include <QLocalServer>
#include <QStringList>

#include <functional>

namespace tender {

// One running app per user: a second launch hands its URLs over a local
// socket to the first and exits once the first has taken them.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class HandOff {
        noInstance, // nobody listens: this process may become the running one
        taken,      // the running instance has the URLs: this process should exit
        unanswered, // an instance exists but did not confirm in time
    };

    // Per user; TENDER_INSTANCE names another one (two people on one desktop, in a demo).
    static QString defaultName();

    explicit SingleInstance(QString name, QObject *parent = nullptr);

    HandOff handOff(const QStringList &urls);
    // Becomes the running instance; false when the name cannot be claimed.
    bool listen();

    // A later launch arrived, with its URLs in order: none when it was started without one.
    std::function<void(const QStringList &)> onLaunch = [](const QStringList &) {};

private:
    void read(QLocalSocket *socket);

    QString name_;
    QLocalServer server_;
    QHash<QLocalSocket *, QByteArray> pending_;
};

} // namespace tender
