#pragma once

#include <QtQuick>

#include <chrono>

namespace tender::test {

// Qt Quick's animations move only when told while this lives, so a test sees an effect at a chosen moment
// however late a loaded machine draws it.
class ManualAnimations final : public QAnimationDriver {
public:
    ManualAnimations()
    {
        connect(this, &QAnimationDriver::started, this, [this] { elapsed_ = 0; });
        install();
    }
    ~ManualAnimations() override { uninstall(); }

    qint64 elapsed() const override { return elapsed_; }

    // Frame by frame, each shown window drawn after each frame: animators start only when a window draws.
    void advance(std::chrono::milliseconds by)
    {
        for (qint64 left = by.count(); left > 0; left -= 16) {
            elapsed_ += std::min<qint64>(left, 16);
            QAnimationDriver::advance();
            QCoreApplication::processEvents();
            for (QWindow *window : QGuiApplication::topLevelWindows())
                if (window->isVisible() && qobject_cast<QQuickWindow *>(window)) {
                    QEvent draw(QEvent::UpdateRequest);
                    QCoreApplication::sendEvent(window, &draw);
                }
        }
    }

private:
    qint64 elapsed_ = 0;
};

} // namespace tender::test
