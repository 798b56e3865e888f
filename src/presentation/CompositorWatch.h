#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <memory>

namespace tender {

// Whether the desktop composites windows, so that transparent pixels show what
// lies below, and when that changes. On X11 that is whether a compositor owns
// the _NET_WM_CM_S0 selection; elsewhere windows are always composited.
class CompositorWatch final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit CompositorWatch(QObject *parent = nullptr);
    ~CompositorWatch() override;

    bool composited() const { return composited_; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void changed();

private:
    bool readOwner() const;

    struct X11;
    std::unique_ptr<X11> x11_;
    bool composited_ = true;
};

} // namespace tender
