#include "model/AppModel.h"
#include "platform/Clock.h"
#include "platform/ReduceMotion.h"
#include "presentation/Overlay.h"
#include "service/API.h"
#include "service/APIError.h"
#include "service/AuthError.h"


#include <cmath>

namespace tender {

using namespace std::chrono_literals;

namespace {

const QString signInAgain = QStringLiteral("Нужно войти заново");
const QString notSent = QStringLiteral("Не улетело, проверь интернет");
constexpr auto sentMarkTime = 2s;
constexpr qint64 anyoneInterval = 3600;  // seconds
constexpr qint64 anyoneRefusalBack = 120; // seconds
constexpr int starCount = 40;

} // namespace

void AppModel::send(const Contact &contact)
{
    setSent(contact.id);
    QMap<QString, QDateTime> lastSent = lastSent_;
    lastSent.insert(contact.id, clock_.now());
    setLastSent(std::move(lastSent));
    sentReset_ = clock_.singleShot(sentMarkTime, [this] { setSent(std::nullopt); });
    overlay_->play(color(contact).mainColor(), Overlay::warm, emojiCount_, effectCalm());
    signalContact(contact.id);
}

QCoro::Task<> AppModel::signalContact(QString id)
{
    const SessionGuard guard(*this);
    std::optional<bool> sessionEnded;
    try {
        co_await api_->signal(id);
        co_return;
    } catch (const AuthError &error) {
        sessionEnded = error.endsSession();
    } catch (...) {
        sessionEnded = false;
    }
    if (!guard)
        co_return;
    // A newer send's mark is not this failure's to clear.
    if (sent_ == id)
        setSent(std::nullopt);
    if (*sessionEnded) {
        signOut();
        setProblem(signInAgain);
    } else {
        setProblem(notSent);
    }
}

std::optional<int> AppModel::minutesToWait(const QDateTime &at) const
{
    if (!anyoneSentAt_)
        return std::nullopt;
    const double remaining = double(at.msecsTo(anyoneSentAt_->addSecs(anyoneInterval))) / 1000.0;
    if (remaining <= 0)
        return std::nullopt;
    // A view's "now" may come from a tick older than the send.
    return std::min(int(std::ceil(remaining / 60.0)), int(anyoneInterval / 60));
}

QVariant AppModel::anyoneWait(const QDateTime &at) const
{
    const std::optional<int> minutes = minutesToWait(at);
    return minutes ? QVariant(*minutes) : QVariant();
}

void AppModel::sendToAnyone()
{
    if (minutesToWait(clock_.now()) || anyoneSending_)
        return;
    setAnyoneSending(true);
    signalAnyone();
}

QCoro::Task<> AppModel::signalAnyone()
{
    const SessionGuard guard(*this);
    enum class Outcome { Sent, SessionEnded, TooSoon, Failed, Stale } outcome = Outcome::Failed;
    try {
        co_await api_->signalAnyone();
        outcome = Outcome::Sent;
    } catch (const AuthError &error) {
        outcome = error.endsSession() ? Outcome::SessionEnded : Outcome::Failed;
    } catch (const APIError &error) {
        outcome = error.status() == 429 ? Outcome::TooSoon : Outcome::Failed;
    } catch (...) {
    }
    if (!guard.alive())
        co_return;
    if (!guard)
        outcome = Outcome::Stale;
    switch (outcome) {
    case Outcome::Sent:
        setAnyoneSentAt(clock_.now());
        setProblem(std::nullopt);
        overlay_->play(starColor(), Overlay::stars, starCount, effectCalm());
        break;
    case Outcome::SessionEnded:
        signOut();
        setProblem(signInAgain);
        break;
    case Outcome::TooSoon:
        // The service counts the hour itself; wait most of it here too.
        setAnyoneSentAt(clock_.now().addSecs(-anyoneRefusalBack));
        setProblem(std::nullopt);
        break;
    case Outcome::Failed:
        setProblem(notSent);
        break;
    case Outcome::Stale:
        break;
    }
    setAnyoneSending(false);
}

const QColor &AppModel::starColor()
{
    static const QColor star = QColor::fromRgbF(242.0f / 255.0f, 196.0f / 255.0f, 107.0f / 255.0f, 1.0f);
    return star;
}

bool AppModel::effectCalm() const
{
    // The desktop's wish is asked only when the user's own switch is off.
    return calm_ || reduceMotion_.enabled();
}

} // namespace tender
