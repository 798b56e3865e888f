#include "service/BuildConfig.h"
#include "service/Config.h"

#include <QHostAddress>
#include <QtDebug>

namespace tender::Config {

namespace {

QUrl base(const QProcessEnvironment &environment, const char *name, const char *builtIn)
{
    const QString override = environment.value(QString::fromLatin1(name));
    if (!override.isEmpty()) {
        const QUrl url(override, QUrl::StrictMode);
        if (acceptableBase(url))
            return url;
        qWarning("%s=%s is ignored: use https, or http on a loopback address", name, qPrintable(override));
    }
    return QUrl(QString::fromUtf8(builtIn));
}

bool isLoopback(const QString &host)
{
    if (host.compare(u"localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

bool acceptableBase(const QUrl &url)
{
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return false;
    return url.scheme() == u"https" || (url.scheme() == u"http" && isLoopback(url.host()));
}

Endpoints read(const QProcessEnvironment &environment)
{
    Endpoints endpoints;
    endpoints.apiBase = base(environment, "TENDER_API_BASE", BuildConfig::apiBase);
    endpoints.webBase = base(environment, "TENDER_WEB_BASE", BuildConfig::webBase);
    endpoints.identityBase = base(environment, "TENDER_IDENTITY_BASE", BuildConfig::identityBase);
    endpoints.tokenBase = base(environment, "TENDER_TOKEN_BASE", BuildConfig::tokenBase);
    endpoints.identityKey = environment.value(QStringLiteral("TENDER_IDENTITY_KEY"), QString::fromLatin1(BuildConfig::identityKey));
    endpoints.client = QString::fromLatin1(BuildConfig::platform) + u'/' + version();
    return endpoints;
}

const Endpoints &endpoints()
{
    static const Endpoints values = read(QProcessEnvironment::systemEnvironment());
    return values;
}

QUrl apiBase()
{
    return endpoints().apiBase;
}

QString client()
{
    return endpoints().client;
}

QString version()
{
    const QString built = QString::fromLatin1(BuildConfig::version);
    return built.isEmpty() ? QStringLiteral("dev") : built;
}

} // namespace tender::Config
