#include "common/ui/ContextHelp.h"

#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QHelpEvent>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <QWhatsThis>
#include <QWidget>

namespace {

const char *const ContextProperty = "kalvestrinHelpContext";
const char *const ServiceProperty = "kalvestrinHelpService";

struct Route
{
    std::function<bool()> enabled;
};

// One application-wide filter answers the platform's "what's this" requests
// for every window that has a route, so the platform's own help never shows.
class WhatsThisFilter : public QObject
{
public:
    QHash<const QWidget *, Route> routes;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::WhatsThis && event->type() != QEvent::QueryWhatsThis)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget)
            return false;
        const auto it = routes.constFind(widget->window());
        if (it == routes.constEnd())
            return false;
        event->accept();
        if (event->type() == QEvent::WhatsThis) {
            // One control per Shift+F1, as the platform's own mode does.
            QWhatsThis::leaveWhatsThisMode();
            request(*it, widget);
        }
        return true;
    }

    static void request(const Route &route, const QWidget *widget)
    {
        if (route.enabled && !route.enabled())
            return;
        const int context = ContextHelp::resolveContext(widget);
        if (context != 0)
            ShowHelpTopic(widget, QString::number(context));
    }
};

WhatsThisFilter *filter()
{
    static QPointer<WhatsThisFilter> instance;
    if (!instance) {
        instance = new WhatsThisFilter;
        instance->setParent(qApp);
        qApp->installEventFilter(instance);
    }
    return instance;
}

} // namespace

namespace ContextHelp {

void setService(QWidget *root, HelpService *service)
{
    root->setProperty(ServiceProperty, QVariant::fromValue(static_cast<void *>(service)));
}

HelpService *service(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (void *service = w->property(ServiceProperty).value<void *>())
            return static_cast<HelpService *>(service);
    }
    return nullptr;
}

void setHelpContext(QWidget *widget, int context)
{
    widget->setProperty(ContextProperty, context);
}

int helpContext(const QWidget *widget)
{
    return widget ? widget->property(ContextProperty).toInt() : 0;
}

int resolveContext(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (const int context = helpContext(w))
            return context;
    }
    return 0;
}

void installRoute(QWidget *window, std::function<bool()> enabled, QString fixedTopic)
{
    WhatsThisFilter *f = filter();
    f->routes.insert(window, Route{enabled});
    QObject::connect(window, &QObject::destroyed, f, [f, window] { f->routes.remove(window); });

    // Shift+F1 turns the pointer into the "what's this" arrow: the next
    // control clicked opens its own topic.
    auto *pointAndClick = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), window);
    pointAndClick->setContext(Qt::WindowShortcut);
    QObject::connect(pointAndClick, &QShortcut::activated, window, [enabled] {
        if (!enabled || enabled())
            QWhatsThis::enterWhatsThisMode();
    });

    auto *shortcut = new QShortcut(QKeySequence(Qt::Key_F1), window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [window, enabled, fixedTopic] {
        if (enabled && !enabled())
            return;
        if (!fixedTopic.isEmpty()) {
            ShowHelpTopic(window, fixedTopic);
            return;
        }
        QWidget *focus = window->focusWidget();
        const int context = resolveContext(focus ? focus : window);
        if (context != 0)
            ShowHelpTopic(window, QString::number(context));
    });
}

} // namespace ContextHelp

void ShowHelpTopic(const QWidget *from, const QString &topic)
{
    if (HelpService *service = ContextHelp::service(from)) {
        service->showTopic(topic);
        return;
    }
    if (Prompts *prompts = GeneralErrorHandler::prompts())
        prompts->warning(ContextHelp::MissingHelpFileText);
}
