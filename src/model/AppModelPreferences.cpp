#include "model/AppModel.h"
#include "model/Gaps.h"
#include "platform/Clock.h"
#include "platform/LoginItem.h"
#include "platform/PreferencesStore.h"
#include "service/Stream.h"

#include <algorithm>

namespace tender {

using namespace std::chrono_literals;

namespace Key {
const QString myColor = QStringLiteral("myColor");
const QString sound = QStringLiteral("sound");
const QString calm = QStringLiteral("calm");
const QString emojiCount = QStringLiteral("emojiCount");
const QString quietWhenPresenting = QStringLiteral("quietWhenPresenting");
const QString minGap = QStringLiteral("minGap");
const QString acceptAnyone = QStringLiteral("acceptAnyone");
const QString anyoneSentAt = QStringLiteral("anyoneSentAt");
const QString contactColors = QStringLiteral("contactColors");
const QString lastSent = QStringLiteral("lastSent");
const QString pausedUntil = QStringLiteral("pausedUntil");
const QString loginItemSetUp = QStringLiteral("loginItemSetUp");
} // namespace Key

namespace {

// Whole numbers beyond int are not any index or count we wrote.
std::optional<int> smallInteger(const std::optional<qint64> &value)
{
    if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*value);
}

#ifdef Q_OS_MACOS
const QString launchAtLoginRefused = QStringLiteral("macOS не дал поменять автозапуск");
#else
const QString launchAtLoginRefused = QStringLiteral("Система не дала поменять автозапуск");
#endif

} // namespace

void AppModel::loadPreferences()
{
    myColor_ = smallInteger(defaults_.integer(Key::myColor)).value_or(1);
    sound_ = defaults_.boolean(Key::sound).value_or(false);
    calm_ = defaults_.boolean(Key::calm).value_or(false);
    // A damaged file must not ask for more emoji than the slider offers.
    emojiCount_ = std::clamp(smallInteger(defaults_.integer(Key::emojiCount)).value_or(40), 0, mostEmoji);
    quietWhenPresenting_ = defaults_.boolean(Key::quietWhenPresenting).value_or(true);
    // A stored value between the choices shows as the nearest; the store keeps it until the next change.
    minGap_ = Gaps::seconds[size_t(Gaps::gapIndex(defaults_.number(Key::minGap).value_or(1.0)))];
    acceptAnyone_ = defaults_.boolean(Key::acceptAnyone).value_or(true);
    anyoneSentAt_ = defaults_.date(Key::anyoneSentAt);
    contactColors_ = defaults_.integerDictionary(Key::contactColors).value_or(QMap<QString, qint64>());
    lastSent_ = defaults_.dateDictionary(Key::lastSent).value_or(QMap<QString, QDateTime>());
    setPausedUntil(defaults_.date(Key::pausedUntil));
}

void AppModel::setMyColor(int value)
{
    publish(myColor_, value, &AppModel::myColorChanged);
    defaults_.setInteger(Key::myColor, value);
}

void AppModel::setSound(bool value)
{
    publish(sound_, value, &AppModel::soundChanged);
    defaults_.setBoolean(Key::sound, value);
}

void AppModel::setCalm(bool value)
{
    publish(calm_, value, &AppModel::calmChanged);
    defaults_.setBoolean(Key::calm, value);
}

void AppModel::setEmojiCount(int value)
{
    publish(emojiCount_, std::clamp(value, 0, mostEmoji), &AppModel::emojiCountChanged);
    defaults_.setInteger(Key::emojiCount, value);
}

void AppModel::setQuietWhenPresenting(bool value)
{
    publish(quietWhenPresenting_, value, &AppModel::quietWhenPresentingChanged);
    defaults_.setBoolean(Key::quietWhenPresenting, value);
}

void AppModel::setMinGap(double value)
{
    publish(minGap_, value, &AppModel::minGapChanged);
    defaults_.setNumber(Key::minGap, value);
}

void AppModel::setAcceptAnyone(bool value)
{
    publish(acceptAnyone_, value, &AppModel::acceptAnyoneChanged);
    defaults_.setBoolean(Key::acceptAnyone, value);
    stream_->anyone = value;
    stream_->restart();
}

void AppModel::setAnyoneSentAt(std::optional<QDateTime> value)
{
    publish(anyoneSentAt_, std::move(value), &AppModel::anyoneSentAtChanged);
    if (anyoneSentAt_)
        defaults_.setDate(Key::anyoneSentAt, *anyoneSentAt_);
    else
        defaults_.remove(Key::anyoneSentAt);
}

void AppModel::setContactColors(QMap<QString, qint64> value)
{
    publish(contactColors_, std::move(value), &AppModel::contactColorsChanged);
    defaults_.setIntegerDictionary(Key::contactColors, contactColors_);
}

void AppModel::setLastSent(QMap<QString, QDateTime> value)
{
    lastSent_ = std::move(value);
    defaults_.setDateDictionary(Key::lastSent, lastSent_);
    emit contactListsChanged();
}

void AppModel::setPausedUntil(std::optional<QDateTime> value)
{
    publish(pausedUntil_, std::move(value), &AppModel::pausedUntilChanged);
    if (pausedUntil_)
        defaults_.setDate(Key::pausedUntil, *pausedUntil_);
    else
        defaults_.remove(Key::pausedUntil);
    // The 30-second check runs only while there is a pause to end: at rest nothing ticks.
    if (!pausedUntil_)
        pauseExpiry_.reset();
    else if (!pauseExpiry_)
        pauseExpiry_ = clock_.repeating(30s, [this] { expirePause(); });
    onIconChange();
}

void AppModel::pause(PauseLength length)
{
    setPausedUntil(Pause::end(length, clock_.now()));
}

bool AppModel::isPaused() const
{
    return Pause::isPaused(pausedUntil_, clock_.now());
}

QString AppModel::pauseText() const
{
    return Pause::text(pausedUntil_, clock_.now());
}

void AppModel::expirePause()
{
    if (pausedUntil_ && *pausedUntil_ <= clock_.now())
        setPausedUntil(std::nullopt);
}

void AppModel::setUpLoginItem()
{
    if (!defaults_.boolean(Key::loginItemSetUp).value_or(false)) {
        // Marked first: a refusal is not asked again at every start.
        defaults_.setBoolean(Key::loginItemSetUp, true);
        loginItem_.setEnabled(true);
    }
    setLaunchAtLoginField(loginItem_.isEnabled());
}

void AppModel::setLaunchAtLogin(bool on)
{
    if (!loginItem_.setEnabled(on))
        setProblem(launchAtLoginRefused);
    setLaunchAtLoginField(loginItem_.isEnabled());
}

} // namespace tender
