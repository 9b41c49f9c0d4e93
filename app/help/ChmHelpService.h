#pragma once

// The program's help viewer service: opens topic N ("N.htm") of the compiled
// help file at the application's help file path in our own help window.

#include "ContextHelp.h"

class Prompts;

class ChmHelpService : public HelpService
{
public:
    explicit ChmHelpService(Prompts &prompts);
    ~ChmHelpService() override;

    void showTopic(const QString &topic) override;

private:
    Prompts &m_prompts;
};
