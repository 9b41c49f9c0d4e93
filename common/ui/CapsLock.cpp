#include "common/ui/CapsLock.h"

#include "common/ui/X11Connection.h"

#include <QApplication>

#include <optional>

// Xlib's macros (None, Bool, Status ...) would clash with Qt's names, so it comes last.
#ifdef KALVESTRIN_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {

std::optional<bool> systemCapsLock()
{
#ifdef KALVESTRIN_HAVE_X11
    Display *display = x11Connection();
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
