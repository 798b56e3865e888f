#pragma once

#include "records/Contact.h"
#include "records/PaletteColor.h"
#include "model/Pause.h"
#include "records/Route.h"
#include "service/Endpoints.h"
#include "service/SharedTask.h"

#include <QColor>
#include <QCoroTask>
#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace tender {

class API;
class Auth;
class Clipboard;
class Clock;
class LoginItem;
class NetworkPathMonitor;
class Overlay;
class PreferencesStore;
class Presenting;
class ReduceMotion;
class SoundPlayer;
class Stream;
class Timer;
class UrlOpener;

// What the model needs from the platform; the shell wires the real ones, tests fakes.
struct AppServices {
    Clock &clock;
    QNetworkAccessManager &network;
    Endpoints endpoints;
    QString sessionFile;
    PreferencesStore &defaults;
    LoginItem &loginItem;
    Clipboard &clipboard;
    UrlOpener &browser;
    SoundPlayer &sound;
    Presenting &presenting;
    ReduceMotion &reduceMotion;
    NetworkPathMonitor &networkPath;
    std::unique_ptr<Overlay> overlay;
};

// The one object that holds the running app's state and every user-level
// operation. Every published field notifies on each assignment, also of an
// equal value, so views redraw whenever it is set.
class AppModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool signedIn READ signedIn NOTIFY signedInChanged)
    Q_PROPERTY(QString email READ emailText NOTIFY emailChanged)
    Q_PROPERTY(QString myUID READ myUIDText NOTIFY myUIDChanged)
    Q_PROPERTY(QString inviteURL READ inviteURLText NOTIFY inviteURLChanged)
    Q_PROPERTY(QList<tender::Contact> contacts READ contacts NOTIFY contactsChanged)
    Q_PROPERTY(tender::Route route READ route WRITE setRoute NOTIFY routeChanged)
    Q_PROPERTY(QString sent READ sentText NOTIFY sentChanged)
    Q_PROPERTY(QString problem READ problemText NOTIFY problemChanged)
    Q_PROPERTY(bool waitingForBrowser READ waitingForBrowser NOTIFY waitingForBrowserChanged)
    Q_PROPERTY(bool online READ online NOTIFY onlineChanged)
    Q_PROPERTY(int myColor READ myColor WRITE setMyColor NOTIFY myColorChanged)
    Q_PROPERTY(bool sound READ sound WRITE setSound NOTIFY soundChanged)
    Q_PROPERTY(bool calm READ calm WRITE setCalm NOTIFY calmChanged)
    Q_PROPERTY(int emojiCount READ emojiCount WRITE setEmojiCount NOTIFY emojiCountChanged)
    Q_PROPERTY(bool quietWhenPresenting READ quietWhenPresenting WRITE setQuietWhenPresenting NOTIFY quietWhenPresentingChanged)
    Q_PROPERTY(double minGap READ minGap WRITE setMinGap NOTIFY minGapChanged)
    Q_PROPERTY(bool acceptAnyone READ acceptAnyone WRITE setAcceptAnyone NOTIFY acceptAnyoneChanged)
    Q_PROPERTY(QDateTime anyoneSentAt READ anyoneSentAtValue NOTIFY anyoneSentAtChanged)
    Q_PROPERTY(bool anyoneSending READ anyoneSending NOTIFY anyoneSendingChanged)
    Q_PROPERTY(QDateTime pausedUntil READ pausedUntilValue NOTIFY pausedUntilChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QVariantMap contactColors READ contactColorsValue NOTIFY contactColorsChanged)
    Q_PROPERTY(QList<tender::Contact> closeContacts READ closeContacts NOTIFY contactListsChanged)
    Q_PROPERTY(QList<tender::Contact> otherContacts READ otherContacts NOTIFY contactListsChanged)
    Q_PROPERTY(QList<tender::Contact> contactsByName READ contactsByName NOTIFY contactListsChanged)
    Q_PROPERTY(int nextColor READ nextColor NOTIFY contactListsChanged)
    Q_PROPERTY(QColor signalColor READ signalColor NOTIFY myColorChanged)
    Q_PROPERTY(QColor starColor READ starColor CONSTANT)

public:
    // The most emoji per screen the settings offer.
    static constexpr int mostEmoji = 60;

    explicit AppModel(AppServices services, QObject *parent = nullptr);
    ~AppModel() override;

    Auth &auth() { return *auth_; }
    API &api() { return *api_; }
    Stream &stream() { return *stream_; }
    Overlay &overlay() { return *overlay_; }

    // Set by the shell before start().
    std::function<void()> onIconChange = [] {};
    std::function<void(QColor)> onReceive = [](QColor) {};
    std::function<void()> onShowMenu = [] {};

    // Lifecycle and session.
    Q_INVOKABLE void start();
    QCoro::Task<> reload();
    Q_INVOKABLE void didSignIn();
    Q_INVOKABLE void signInWithGoogle();
    // A URL of the app's scheme, as text: the scheme must be "tender" to the letter,
    // which a QUrl (lower-casing schemes) could no longer tell.
    Q_INVOKABLE void handle(const QString &text);
    Q_INVOKABLE void signOut();
    QCoro::Task<> deleteAccount();
    Q_INVOKABLE bool copyInvite();
    Q_INVOKABLE QString version() const;
    // The web site's "/docs" page in the browser; false when none could be opened.
    Q_INVOKABLE bool openDocs();

    // Preferences and pause.
    Q_INVOKABLE void pause(tender::PauseLength length);
    Q_INVOKABLE void unpause() { setPausedUntil(std::nullopt); }
    bool isPaused() const;
    QString pauseText() const;
    Q_INVOKABLE void setLaunchAtLogin(bool on);

    // The list of people.
    Q_INVOKABLE tender::PaletteColor color(const tender::Contact &contact) const;
    int nextColor() const;
    QList<Contact> closeContacts() const;
    QList<Contact> otherContacts() const;
    QList<Contact> contactsByName() const;
    Q_INVOKABLE void setClose(const tender::Contact &contact, bool value);
    Q_INVOKABLE void move(const tender::Contact &contact, int by);
    QCoro::Task<> updateContact(Contact contact, QString label, int color, bool close);
    QCoro::Task<> remove(Contact contact);
    // Adds the person of an invite code; they keep the chosen colour and come last.
    QCoro::Task<> addContact(QString code, QString label, int color, bool close);
    // The product web site, where invite links point.
    const QUrl &webBase() const { return webBase_; }

    // Sending.
    Q_INVOKABLE void send(const tender::Contact &contact);
    Q_INVOKABLE void sendToAnyone();
    // Whole minutes still to wait before a signal to anyone, or null when one may go now.
    Q_INVOKABLE QVariant anyoneWait(const QDateTime &at) const;
    static const QColor &starColor();

    // Showing a received signal.
    Q_INVOKABLE void playEffect();
    QColor signalColor() const;

    // Published fields.
    bool signedIn() const { return signedIn_; }
    const std::optional<QString> &email() const { return email_; }
    const std::optional<QString> &myUID() const { return myUID_; }
    const std::optional<QString> &inviteURL() const { return inviteURL_; }
    const QList<Contact> &contacts() const { return contacts_; }
    const Route &route() const { return route_; }
    void setRoute(Route route);
    const std::optional<QString> &sent() const { return sent_; }
    const std::optional<QString> &problem() const { return problem_; }
    bool waitingForBrowser() const { return waitingForBrowser_; }
    bool online() const { return online_; }
    int myColor() const { return myColor_; }
    void setMyColor(int value);
    bool sound() const { return sound_; }
    void setSound(bool value);
    bool calm() const { return calm_; }
    void setCalm(bool value);
    int emojiCount() const { return emojiCount_; }
    void setEmojiCount(int value);
    bool quietWhenPresenting() const { return quietWhenPresenting_; }
    void setQuietWhenPresenting(bool value);
    double minGap() const { return minGap_; }
    void setMinGap(double value);
    bool acceptAnyone() const { return acceptAnyone_; }
    void setAcceptAnyone(bool value);
    const std::optional<QDateTime> &anyoneSentAt() const { return anyoneSentAt_; }
    void setAnyoneSentAt(std::optional<QDateTime> value);
    bool anyoneSending() const { return anyoneSending_; }
    const QMap<QString, qint64> &contactColors() const { return contactColors_; }
    void setContactColors(QMap<QString, qint64> value);
    const QMap<QString, QDateTime> &lastSent() const { return lastSent_; }
    const std::optional<QDateTime> &pausedUntil() const { return pausedUntil_; }
    void setPausedUntil(std::optional<QDateTime> value);
    bool launchAtLogin() const { return launchAtLogin_; }

signals:
    void signedInChanged();
    void emailChanged();
    void myUIDChanged();
    void inviteURLChanged();
    void contactsChanged();
    void routeChanged();
    void sentChanged();
    void problemChanged();
    void waitingForBrowserChanged();
    void onlineChanged();
    void myColorChanged();
    void soundChanged();
    void calmChanged();
    void emojiCountChanged();
    void quietWhenPresentingChanged();
    void minGapChanged();
    void acceptAnyoneChanged();
    void anyoneSentAtChanged();
    void anyoneSendingChanged();
    void contactColorsChanged();
    void pausedUntilChanged();
    void launchAtLoginChanged();
    // The derived lists and the next free colour may read differently.
    void contactListsChanged();

protected:
    // The stream's reports; protected so the signal path can be driven in tests.
    void connectionChanged(bool online);
    void receive();
    // Ends when the saves of order and closeness sent so far have.
    QCoro::Task<> afterSaves();

    // Assigns a published field and notifies, whatever the old value was.
    template<typename T, typename U>
    void publish(T &field, U &&value, void (AppModel::*changed)())
    {
        field = std::forward<U>(value);
        emit(this->*changed)();
    }

    void setSignedIn(bool value) { publish(signedIn_, value, &AppModel::signedInChanged); }
    void setContacts(QList<Contact> value) { publish(contacts_, std::move(value), &AppModel::contactsChanged); }
    void setSent(std::optional<QString> value) { publish(sent_, std::move(value), &AppModel::sentChanged); }
    void setProblem(std::optional<QString> value) { publish(problem_, std::move(value), &AppModel::problemChanged); }
    void setWaitingForBrowser(bool value) { publish(waitingForBrowser_, value, &AppModel::waitingForBrowserChanged); }
    void setOnline(bool value) { publish(online_, value, &AppModel::onlineChanged); }
    void setAnyoneSending(bool value) { publish(anyoneSending_, value, &AppModel::anyoneSendingChanged); }
    void setLaunchAtLoginField(bool value) { publish(launchAtLogin_, value, &AppModel::launchAtLoginChanged); }
    void setLastSent(QMap<QString, QDateTime> value);

private:
    // What a coroutine checks after each suspension: the model still exists and
    // nobody has signed out since the coroutine began.
    class SessionGuard {
    public:
        explicit SessionGuard(AppModel &model) : model_(&model), session_(model.session_) {}
        bool alive() const { return !model_.isNull(); }
        explicit operator bool() const { return model_ && model_->session_ == session_; }

    private:
        QPointer<AppModel> model_;
        quint64 session_;
    };

    QString emailText() const { return email_.value_or(QString()); }
    QString myUIDText() const { return myUID_.value_or(QString()); }
    QString inviteURLText() const { return inviteURL_.value_or(QString()); }
    QString sentText() const { return sent_.value_or(QString()); }
    QString problemText() const { return problem_.value_or(QString()); }
    QDateTime anyoneSentAtValue() const { return anyoneSentAt_.value_or(QDateTime()); }
    QDateTime pausedUntilValue() const { return pausedUntil_.value_or(QDateTime()); }
    QVariantMap contactColorsValue() const;

    void wireStream();
    void loadPreferences();
    void setUpLoginItem();
    void expirePause();
    QCoro::Task<> syncThenReload();
    QCoro::Task<> runReload();
    QCoro::Task<> completeSignIn(QUrl url);

    // One PATCH of a contact for each entry, sent in order after the previous save.
    struct ContactChange {
        QString id;
        QJsonObject body;
    };
    void chainSave(QList<ContactChange> changes, QString failure);
    QCoro::Task<bool> saveAfter(std::optional<SharedTask<bool>> previous, QList<ContactChange> changes, QString failure);
    QCoro::Task<> signalContact(QString id);
    QCoro::Task<> signalAnyone();
    std::optional<int> minutesToWait(const QDateTime &at) const;
    bool effectCalm() const;

    Clock &clock_;
    LoginItem &loginItem_;
    Clipboard &clipboard_;
    UrlOpener &browser_;
    SoundPlayer &soundPlayer_;
    Presenting &presenting_;
    ReduceMotion &reduceMotion_;
    NetworkPathMonitor &networkPath_;
    const QUrl webBase_;

    std::unique_ptr<Auth> auth_;
    std::unique_ptr<API> api_;
    std::unique_ptr<Stream> stream_;
    std::unique_ptr<Overlay> overlay_;
    bool signedIn_ = false;
    std::optional<QString> email_;
    std::optional<QString> myUID_;
    std::optional<QString> inviteURL_;
    QList<Contact> contacts_;
    Route route_;
    std::optional<QString> sent_;
    std::optional<QString> problem_;
    bool waitingForBrowser_ = false;
    bool online_ = false;
    int myColor_ = 1;
    bool sound_ = false;
    bool calm_ = false;
    int emojiCount_ = 40;
    bool quietWhenPresenting_ = true;
    double minGap_ = 1.0;
    bool acceptAnyone_ = true;
    std::optional<QDateTime> anyoneSentAt_;
    bool anyoneSending_ = false;
    QMap<QString, qint64> contactColors_;
    QMap<QString, QDateTime> lastSent_;
    std::optional<QDateTime> pausedUntil_;
    bool launchAtLogin_ = false;
    PreferencesStore &defaults_;
    std::unique_ptr<Timer> sentReset_;
    std::optional<QDateTime> lastShown_;
    std::optional<QString> pendingAdd_;
    std::unique_ptr<Timer> goingOffline_;
    std::optional<SharedTask<bool>> saving_;
    std::unique_ptr<Timer> pauseExpiry_;
    // Moves on at every sign-out.
    quint64 session_ = 0;
};

} // namespace tender
