#include "common/ui/CapsLock.h"

#include <QApplication>
#include <QGuiApplication>

#include <optional>

// Xlib's macros (None, Bool, Status ...) would clash with Qt's names, so it comes last.
#ifdef KALVESTRIN_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {

std::function<bool()> &probe()
{
    static std::function<bool()> p;
    return p;
}

std::function<void()> &beeper()
{
    static std::function<void()> b;
    return b;
}

std::optional<bool> systemCapsLock()
{
#ifdef KALVESTRIN_HAVE_X11
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    // One connection of our own for the whole run, opened on first use.
    static Display *const display = XOpenDisplay(nullptr);
    if (!display)
        return std::nullopt;
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) != 0)
        return std::nullopt;
    return (state.locked_mods & LockMask) != 0;
#else
    return std::nullopt;
#endif
}

} // namespace

namespace CapsLock {

bool isOn()
{
    if (probe())
        return probe()();
    return systemCapsLock().value_or(true);
}

void beep()
{
    if (beeper())
        beeper()();
    else
        QApplication::beep();
}

void setProbe(std::function<bool()> p)
{
    probe() = std::move(p);
}

void setBeeper(std::function<void()> b)
{
    beeper() = std::move(b);
}

} // namespace CapsLock
