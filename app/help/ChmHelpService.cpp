#include "ChmHelpService.h"

#include "Prompts.h"

ChmHelpService::ChmHelpService(Prompts &prompts)
    : m_prompts(prompts)
{
}

ChmHelpService::~ChmHelpService() = default;

void ChmHelpService::showTopic(const QString &)
{
    m_prompts.warning(ContextHelp::MissingHelpFileText);
}
