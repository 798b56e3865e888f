#pragma once

#include <QCoroTask>
#include <QStringList>
#include <QTextStream>

namespace tender {
class API;
class Auth;
class Clock;
}

namespace tender::cli {

// A wrong command line: the message is printed with the usage hint.
struct UsageError {
    QString message;
};

struct Context {
    Auth &auth;
    API &api;
    QTextStream &out;
    Clock &clock;
};

QString usage();

// Runs one command; failures are thrown (tender::Error, UsageError).
QCoro::Task<> run(Context context, QStringList arguments);

} // namespace tender::cli
