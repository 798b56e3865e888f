#include "presentation/WindowSystem.h"

#include <QWindow>

#if defined(Q_OS_WIN)
#include <windows.h>
#ifndef WDA_EXCLUDEFROMCAPTURE
#define WDA_EXCLUDEFROMCAPTURE 0x00000011
#endif
#elif defined(Q_OS_MACOS)
#include <objc/message.h>
#include <objc/runtime.h>
#endif

namespace tender {

void excludeFromCapture(QWindow &window)
{
#if defined(Q_OS_WIN)
    SetWindowDisplayAffinity(reinterpret_cast<HWND>(window.winId()), WDA_EXCLUDEFROMCAPTURE);
#elif defined(Q_OS_MACOS)
    auto view = reinterpret_cast<id>(window.winId());
    id nsWindow = reinterpret_cast<id (*)(id, SEL)>(objc_msgSend)(view, sel_registerName("window"));
    if (nsWindow)
        reinterpret_cast<void (*)(id, SEL, unsigned long)>(objc_msgSend)(nsWindow, sel_registerName("setSharingType:"), 0);
#else
    Q_UNUSED(window);
#endif
}

} // namespace tender
