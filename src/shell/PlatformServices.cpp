#include "shell/PlatformServices.h"

#include "platform/DesktopPresenting.h"
#include "platform/DesktopReduceMotion.h"
#include "platform/DesktopUrlOpener.h"
#include "platform/JsonPreferencesStore.h"
#include "platform/QtClipboard.h"
#include "platform/QtNetworkPathMonitor.h"
#include "platform/QtSoundPlayer.h"
#include "platform/SystemClock.h"
#include "platform/SystemWakeMonitor.h"
#include "platform/WakeMonitor.h"
#include "platform/XdgLoginItem.h"
#include "presentation/QuickOverlay.h"
#include "presentation/SystemRandom.h"
#include "service/Config.h"
#include "service/SessionFile.h"

#include <QNetworkAccessManager>

namespace tender {

struct PlatformServices::Parts {
    SystemClock clock;
    QNetworkAccessManager network;
    JsonPreferencesStore defaults{JsonPreferencesStore::defaultFilePath()};
    XdgLoginItem loginItem = XdgLoginItem::forThisProgram(QStringLiteral("tender"));
    QtClipboard clipboard;
    DesktopUrlOpener browser;
    QtSoundPlayer sound;
    DesktopPresenting presenting;
    DesktopReduceMotion reduceMotion;
    QtNetworkPathMonitor networkPath{clock};
    SystemRandom random;
    std::unique_ptr<WakeMonitor> wake = makeSystemWakeMonitor(clock);
};

PlatformServices::PlatformServices() : parts_(std::make_unique<Parts>()) {}

PlatformServices::~PlatformServices() = default;

AppServices PlatformServices::appServices()
{
    Parts &p = *parts_;
    return AppServices{p.clock, p.network, Config::endpoints(), SessionFile::defaultPath(), p.defaults,
                       p.loginItem, p.clipboard, p.browser, p.sound, p.presenting, p.reduceMotion, p.networkPath,
                       std::make_unique<QuickOverlay>(p.clock, p.random)};
}

Clock &PlatformServices::clock()
{
    return parts_->clock;
}

Clipboard &PlatformServices::clipboard()
{
    return parts_->clipboard;
}

WakeMonitor &PlatformServices::wake()
{
    return *parts_->wake;
}

} // namespace tender
