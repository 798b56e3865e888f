#include "platform/InterfaceWatch.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tender {

InterfaceWatch::InterfaceWatch(QObject *parent)
    : QObject(parent)
{
#ifdef Q_OS_LINUX
    socket_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (socket_ < 0)
        return;
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
    if (::bind(socket_, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(socket_);
        socket_ = -1;
        return;
    }
    notifier_ = new QSocketNotifier(qintptr(socket_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &InterfaceWatch::drain);
#endif
}

InterfaceWatch::~InterfaceWatch()
{
#ifdef Q_OS_LINUX
    delete notifier_;
    if (socket_ >= 0)
        ::close(socket_);
#endif
}

bool InterfaceWatch::isWatching() const
{
    return notifier_ && notifier_->isEnabled();
}

// One report per burst: what changed is read again from the system anyway.
// An overflowing socket (ENOBUFS) lost messages, which is a change too. Any
// other error ends the watch, so a socket that stays readable cannot spin.
void InterfaceWatch::drain()
{
#ifdef Q_OS_LINUX
    char buffer[8192];
    for (;;) {
        if (::recv(socket_, buffer, sizeof buffer, 0) >= 0 || errno == EINTR || errno == ENOBUFS)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            notifier_->setEnabled(false);
        break;
    }
#endif
    emit changed();
}

} // namespace tender
