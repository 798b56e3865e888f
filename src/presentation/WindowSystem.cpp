#include "presentation/WindowSystem.h"

#include <QGuiApplication>
#include <QWindow>

#if defined(Q_OS_WIN)
#include <windows.h>
#ifndef WDA_EXCLUDEFROMCAPTURE
#define WDA_EXCLUDEFROMCAPTURE 0x00000011
#endif
#elif defined(Q_OS_MACOS)
#include <objc/message.h>
#include <objc/runtime.h>
#elif defined(TENDER_HAVE_XCB)
#include <xcb/xcb.h>
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

bool transparentWindowsShow()
{
#if defined(TENDER_HAVE_XCB)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return true;
    // A compositor owns this selection; without one, transparent pixels come out black.
    static const char name[] = "_NET_WM_CM_S0";
    auto atomCookie = xcb_intern_atom(connection, 0, sizeof name - 1, name);
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(connection, atomCookie, nullptr);
    if (!atom)
        return true;
    auto ownerCookie = xcb_get_selection_owner(connection, atom->atom);
    free(atom);
    xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(connection, ownerCookie, nullptr);
    const bool composited = owner && owner->owner != XCB_NONE;
    free(owner);
    return composited;
#else
    return true;
#endif
}

} // namespace tender
