#pragma once

#include <QLocalServer>
#include <QStringList>

#include <functional>

namespace tender {

// One running app per user: a second launch hands its URLs over a local
// socket to the first and exits.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Per user; TENDER_INSTANCE names another one (two people on one desktop, in a demo).
    static QString defaultName();

    explicit SingleInstance(QString name, QObject *parent = nullptr);

    // True when a running instance took the URLs: this process should exit.
    bool handOff(const QStringList &urls);
    // Becomes the running instance; false when the name cannot be claimed.
    bool listen();

    std::function<void(const QStringList &)> onUrls = [](const QStringList &) {};

private:
    void read(QLocalSocket *socket);

    QString name_;
    QLocalServer server_;
};

} // namespace tender
