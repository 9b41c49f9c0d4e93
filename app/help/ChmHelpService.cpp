#include "app/help/ChmHelpService.h"

#include "app/help/HelpViewer.h"
#include "common/ui/Prompts.h"

#include <QApplication>
#include <QFileInfo>

ChmHelpService::ChmHelpService(Prompts &prompts)
    : m_prompts(prompts)
{}

ChmHelpService::~ChmHelpService() = default;

void ChmHelpService::showTopic(const QString &topic)
{
    const QString path = helpFilePath();
    // Without a widget application there is nothing to show a window in.
    const bool canShowWindows = qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
    if (!canShowWindows || path.isEmpty() || !QFileInfo(path).isFile()) {
        m_prompts.warning(ContextHelp::MissingHelpFileText);
        return;
    }
    if (!m_viewer)
        m_viewer = std::make_unique<HelpViewer>();
    if (!m_viewer->openFile(path)) {
        // The pages on screen belonged to a file that is no longer usable.
        m_viewer->hide();
        m_prompts.warning(ContextHelp::MissingHelpFileText);
        return;
    }
    m_viewer->showTopic(topic);
    m_viewer->present();
}
