#include "model/AppModel.h"
#include "records/InviteCode.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/NetworkPathMonitor.h"
#include "platform/UrlOpener.h"
#include "presentation/Overlay.h"
#include "service/API.h"
#include "service/Auth.h"
#include "service/AuthError.h"
#include "service/Config.h"
#include "service/Stream.h"

#include <QPointer>

namespace tender {

using namespace std::chrono_literals;

namespace {

const QString noConnection = QStringLiteral("Нет связи с сервером. Попробуем ещё раз чуть позже.");

} // namespace

AppModel::AppModel(AppServices services, QObject *parent)
    : QObject(parent)
    , clock_(services.clock)
    , loginItem_(services.loginItem)
    , clipboard_(services.clipboard)
    , browser_(services.browser)
    , soundPlayer_(services.sound)
    , presenting_(services.presenting)
    , reduceMotion_(services.reduceMotion)
    , networkPath_(services.networkPath)
    , webBase_(services.endpoints.webBase)
    , auth_(std::make_unique<Auth>(services.clock, services.network, services.endpoints, services.sessionFile))
    , overlay_(std::move(services.overlay))
    , defaults_(services.defaults)
{
    api_ = std::make_unique<API>(*auth_, services.network, services.endpoints);
    stream_ = std::make_unique<Stream>(*auth_, clock_, services.endpoints);
    connect(this, &AppModel::contactsChanged, this, &AppModel::contactListsChanged);
    connect(this, &AppModel::contactColorsChanged, this, &AppModel::contactListsChanged);
    loadPreferences();
    stream_->anyone = acceptAnyone_;
    wireStream();
    setUpLoginItem();
}

AppModel::~AppModel()
{
    networkPath_.onChange = [](const std::optional<QString> &) {};
}

void AppModel::wireStream()
{
    QPointer<AppModel> self(this);
    stream_->onSignal = [self] {
        if (self)
            self->receive();
    };
    stream_->onAuthLost = [self](const AuthError &) {
        if (self)
            self->signOut();
    };
    stream_->onOnline = [self](bool online) {
        if (self)
            self->connectionChanged(online);
    };
    stream_->onSync = [self] {
        if (self)
            self->syncThenReload();
    };
    Stream *stream = stream_.get();
    networkPath_.onChange = [stream](const std::optional<QString> &name) { stream->networkChanged(name); };
    stream->networkChanged(networkPath_.interfaceName());
}

QCoro::Task<> AppModel::afterSaves()
{
    if (saving_) {
        const SharedTask<bool> saving = *saving_;
        co_await saving;
    }
}

QCoro::Task<> AppModel::syncThenReload()
{
    const SessionGuard guard(*this);
    // A reload must not overtake a save of order or closeness still on its way.
    co_await afterSaves();
    if (guard)
        co_await runReload();
}

void AppModel::start()
{
    const std::optional<Session> &session = auth_->session();
    if (!session)
        return;
    setSignedIn(true);
    publish(email_, session->email, &AppModel::emailChanged);
    publish(myUID_, std::optional(session->uid), &AppModel::myUIDChanged);
    stream_->start();
}

QCoro::Task<> AppModel::reload()
{
    co_await runReload();
}

QCoro::Task<> AppModel::runReload()
{
    const SessionGuard guard(*this);
    std::exception_ptr failure;
    try {
        const Me me = co_await api_->me();
        if (!guard)
            co_return;
        publish(myUID_, std::optional(me.uid), &AppModel::myUIDChanged);
        publish(inviteURL_, std::optional(me.invite_url), &AppModel::inviteURLChanged);
        QList<Contact> list = co_await api_->contacts();
        if (!guard)
            co_return;
        setContacts(std::move(list));
        setProblem(std::nullopt);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!failure || !guard)
        co_return;
    if (endsSession(failure))
        signOut();
    else
        setProblem(noConnection);
}

void AppModel::connectionChanged(bool online)
{
    goingOffline_.reset();
    if (online) {
        setOnline(true);
        return;
    }
    goingOffline_ = clock_.singleShot(5s, [this] { setOnline(false); });
}

void AppModel::didSignIn()
{
    setProblem(std::nullopt);
    start();
    if (pendingAdd_) {
        const QString code = *std::exchange(pendingAdd_, std::nullopt);
        setRoute(Route::add(code));
    } else {
        setRoute(Route::main());
    }
}

void AppModel::signInWithGoogle()
{
    setWaitingForBrowser(true);
    browser_.open(auth_->googleSignInURL());
}

void AppModel::handle(const QString &text)
{
    const QUrl url(text);
    if (!text.startsWith(u"tender:") || url.scheme() != u"tender" || url.host().isEmpty())
        return;
    if (url.host() == u"add") {
        const auto code = inviteID(url.toString(QUrl::FullyEncoded));
        if (!code)
            return;
        if (signedIn_)
            setRoute(Route::add(*code));
        else
            pendingAdd_ = *code;
        onShowMenu();
    } else if (url.host() == u"signin") {
        completeSignIn(url);
    }
}

QCoro::Task<> AppModel::completeSignIn(QUrl url)
{
    QPointer<AppModel> self(this);
    std::optional<QString> failure;
    try {
        co_await auth_->completeGoogle(url);
    } catch (const Error &error) {
        failure = error.description();
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    }
    if (!self)
        co_return;
    if (failure)
        setProblem(failure);
    else
        didSignIn();
    setWaitingForBrowser(false);
    onShowMenu();
}

void AppModel::signOut()
{
    ++session_;
    stream_->stop();
    auth_->signOut();
    setSignedIn(false);
    publish(email_, std::nullopt, &AppModel::emailChanged);
    publish(myUID_, std::nullopt, &AppModel::myUIDChanged);
    publish(inviteURL_, std::nullopt, &AppModel::inviteURLChanged);
    setContacts({});
    setRoute(Route::main());
}

QCoro::Task<> AppModel::deleteAccount()
{
    const SessionGuard guard(*this);
    co_await api_->request("DELETE", QStringLiteral("v1/me"));
    if (!guard)
        co_return;
    setContactColors({});
    setLastSent({});
    signOut();
}

bool AppModel::copyInvite()
{
    if (!inviteURL_)
        return false;
    clipboard_.setText(*inviteURL_);
    return true;
}

QString AppModel::version() const
{
    return Config::version();
}

bool AppModel::openDocs()
{
    return browser_.open(Endpoints::join(webBase_, QStringLiteral("docs")));
}

void AppModel::setRoute(Route route)
{
    publish(route_, std::move(route), &AppModel::routeChanged);
}

} // namespace tender
