#include "common/ui/X11Connection.h"

#include <QByteArray>
#include <QGuiApplication>

// Xlib's macros (None, Bool, Status ...) would clash with Qt's names, so it comes last.
#ifdef KALVESTRIN_HAVE_X11
#include <X11/Xlib.h>
#endif

_XDisplay *x11Connection()
{
#ifdef KALVESTRIN_HAVE_X11
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    static Display *const display = XOpenDisplay(nullptr);
    return display;
#else
    return nullptr;
#endif
}

std::optional<bool> x11CompositorRunning()
{
#ifdef KALVESTRIN_HAVE_X11
    Display *display = x11Connection();
    if (!display)
        return std::nullopt;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.constData(), False);
    return XGetSelectionOwner(display, selection) != 0;
#else
    return std::nullopt;
#endif
}
