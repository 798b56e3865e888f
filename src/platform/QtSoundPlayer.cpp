#include "platform/QtSoundPlayer.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>

namespace tender {

QtSoundPlayer::QtSoundPlayer(QObject *parent)
    : QObject(parent)
{
}

QSoundEffect *QtSoundPlayer::effect(const QString &name)
{
    if (QSoundEffect *loaded = effects_.value(name))
        return loaded;
    const QString path = QStringLiteral(":/tender/sounds/%1.wav").arg(name);
    if (name.contains(u'/') || !QFile::exists(path))
        return nullptr;
    auto *sound = new QSoundEffect(this);
    sound->setSource(QUrl(QStringLiteral("qrc") + path));
    effects_.insert(name, sound);
    return sound;
}

void QtSoundPlayer::play(const QString &name, float volume)
{
    QSoundEffect *sound = effect(name);
    if (!sound)
        return;
    sound->setVolume(volume);
    // Before it has loaded, the effect starts as soon as it is ready.
    sound->play();
}

} // namespace tender
