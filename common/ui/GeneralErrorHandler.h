#pragma once

// The general error handler: a failure that a command does not catch itself
// ends that command and is shown in an error box holding its text; the
// program goes on. KalvestrinApplication routes exceptions that escape an
// event handler here; command handlers are connected with connectCommand (or
// wrap their body in runCommand) so the failure never unwinds through Qt's
// own frames.

#include <QObject>

#include <exception>
#include <functional>
#include <type_traits>

class Prompts;

namespace GeneralErrorHandler {

// The prompts the handler shows its boxes through: the application's
// (KalvestrinApplication::prompts). Null without them or without a
// KalvestrinApplication; the text then goes to stderr.
Prompts *prompts();

// Shows the text of the exception in an error box.
void report(const std::exception &e);
void reportUnknown();

// Runs one command; a failure escaping it is reported and swallowed.
// Returns false when the command failed.
bool runCommand(const std::function<void()> &command);

} // namespace GeneralErrorHandler

// Connects a signal to a command handler, `receiver->*handler`, run through
// runCommand: a failure it does not catch is shown, never unwound through
// Qt. The handler takes the signal's arguments or none of them.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection connectCommand(Sender *sender, Signal signal, Receiver *receiver, Handler handler)
{
    return QObject::connect(sender, signal, receiver, [receiver, handler](const auto &...args) {
        GeneralErrorHandler::runCommand([&] {
            if constexpr (std::is_invocable_v<Handler, Receiver *, decltype(args)...>)
                std::invoke(handler, receiver, args...);
            else
                std::invoke(handler, receiver);
        });
    });
}
