#pragma once

#include <QCoroTask>

class QTextStream;

namespace tender {
class Auth;
class Clock;
}

namespace tender::cli {

// Holds the live stream with the saved session and prints one line per event
// ("online", "offline", "sync", "signal") until interrupted. Ends by throwing
// the AuthError that ended the session.
QCoro::Task<> listen(Auth &auth, Clock &clock, QTextStream &out, bool anyone);

} // namespace tender::cli
