#pragma once

#include <QObject>

class QSocketNotifier;

namespace tender {

// Tells when the kernel's network interfaces or their addresses change
// (rtnetlink on Linux), so that nobody needs to poll the interface list.
// Elsewhere it never reports, and isWatching() says so.
class InterfaceWatch final : public QObject {
    Q_OBJECT
public:
    explicit InterfaceWatch(QObject *parent = nullptr);
    ~InterfaceWatch() override;

    bool isWatching() const;

signals:
    void changed();

private:
    void drain();

    int socket_ = -1;
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace tender
