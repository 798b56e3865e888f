#include "model/AppModel.h"
#include "records/Palette.h"
#include "platform/Clock.h"
#include "platform/Presenting.h"
#include "platform/SoundPlayer.h"
#include "presentation/Overlay.h"

namespace tender {

namespace {

const QString purr = QStringLiteral("Purr");
constexpr float purrVolume = 0.35f;

} // namespace

void AppModel::receive()
{
    if (isPaused())
        return;
    // The mirror check first: the window list is the costlier question.
    if (quietWhenPresenting_ && (presenting_.mirrored() || presenting_.frontAppFullScreen()))
        return;
    if (lastShown_) {
        const double elapsed = double(lastShown_->msecsTo(clock_.now())) / 1000.0;
        if (minGap_ > elapsed)
            return;
    }
    lastShown_ = clock_.now();
    playEffect();
}

void AppModel::playEffect()
{
    overlay_->play(signalColor(), Overlay::warm, emojiCount_, effectCalm());
    onReceive(signalColor());
    if (sound_)
        soundPlayer_.play(purr, purrVolume);
}

QColor AppModel::signalColor() const
{
    return Palette::at(myColor_).mainColor();
}

} // namespace tender
