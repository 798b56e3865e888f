#include "Commands.h"

#include "records/Error.h"
#include "platform/SystemClock.h"
#include "service/API.h"
#include "service/Auth.h"
#include "service/AuthError.h"
#include "service/Config.h"
#include "service/SessionFile.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>

#include <cstdio>

using namespace tender;

namespace {

QCoro::Task<> runThenQuit(cli::Context context, QStringList arguments, int &status)
{
    QTextStream err(stderr);
    try {
        co_await cli::run(context, arguments);
        status = 0;
    } catch (const cli::UsageError &error) {
        err << error.message << "\nПодробнее: tender-cli --help" << Qt::endl;
        status = 2;
    } catch (const AuthError &error) {
        // A session the provider will not refresh any more is of no use to the next run either.
        if (error.endsSession())
            context.auth.signOut();
        err << error.description() << Qt::endl;
        status = 1;
    } catch (const Error &error) {
        err << error.description() << Qt::endl;
        status = 1;
    } catch (const std::exception &error) {
        err << "Что-то пошло не так: " << error.what() << Qt::endl;
        status = 1;
    }
    QCoreApplication::exit(status);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tender"));
    QStringList arguments = app.arguments().mid(1);
    QTextStream out(stdout);
    if (arguments.isEmpty() || arguments.contains(u"--help") || arguments.contains(u"-h")) {
        out << cli::usage();
        return arguments.isEmpty() ? 2 : 0;
    }

    SystemClock clock;
    QNetworkAccessManager network;
    Auth auth(clock, network, Config::endpoints(), SessionFile::defaultPath());
    API api(auth, network, Config::endpoints());
    int status = 1;
    auto task = runThenQuit(cli::Context{auth, api, out, clock}, arguments, status);
    return task.isReady() ? status : app.exec();
}
