#include "Listen.h"

#include "platform/QtNetworkPathMonitor.h"
#include "service/Auth.h"
#include "service/AuthError.h"
#include "service/Config.h"
#include "service/Stream.h"

#include <QCoroFuture>
#include <QPromise>
#include <QTextStream>

namespace tender::cli {

QCoro::Task<> listen(Auth &auth, Clock &clock, QTextStream &out, bool anyone)
{
    if (!auth.session())
        throw AuthError::signedOut();
    std::optional<AuthError> lost;
    QPromise<void> authLost;
    authLost.start();
    Stream stream(auth, clock, Config::endpoints());
    stream.anyone = anyone;
    stream.onOnline = [&out](bool online) { out << (online ? "online" : "offline") << Qt::endl; };
    stream.onSync = [&out] { out << "sync" << Qt::endl; };
    stream.onSignal = [&out] { out << "signal" << Qt::endl; };
    stream.onAuthLost = [&lost, &authLost](const AuthError &error) {
        lost = error;
        authLost.finish();
    };

    QtNetworkPathMonitor monitor(clock);
    stream.networkChanged(monitor.interfaceName());
    monitor.onChange = [&stream](const std::optional<QString> &name) { stream.networkChanged(name); };

    stream.start();
    co_await authLost.future();
    stream.stop();
    throw *lost;
}

} // namespace tender::cli
