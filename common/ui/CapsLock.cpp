#include "common/ui/CapsLock.h"

#include <QApplication>
#include <QGuiApplication>

#include <optional>

// Xlib's macros (None, Bool, Status ...) would clash with Qt's names, so it comes last.
#ifdef KALVESTRIN_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {

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

CapsLock::CapsLock(std::function<bool()> probe, std::function<void()> beeper)
    : m_probe(std::move(probe))
    , m_beeper(std::move(beeper))
{}

bool CapsLock::systemState()
{
    return systemCapsLock().value_or(true);
}

bool CapsLock::isOn() const
{
    return m_probe ? m_probe() : systemState();
}

void CapsLock::beep() const
{
    if (m_beeper)
        m_beeper();
    else
        QApplication::beep();
}
