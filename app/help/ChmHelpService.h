#pragma once

// The program's help service: opens topic N ("N.htm") of the compiled help
// file at its help file path in the one help window, created
// on first use and reused afterwards. When the file is missing, cannot be
// read as a help file, or no window can be shown, the user gets the warning
// "Program nije u stanju pronaći HELP datoteku!", each time help is asked for.

#include "common/ui/ContextHelp.h"

#include <memory>

class HelpViewer;
class Prompts;

class ChmHelpService : public HelpService
{
public:
    explicit ChmHelpService(Prompts &prompts);
    ~ChmHelpService() override;

    void showTopic(const QString &topic) override;

    // The help window, once help has been shown; null before.
    HelpViewer *viewer() const { return m_viewer.get(); }

private:
    Prompts &m_prompts;
    std::unique_ptr<HelpViewer> m_viewer;
};
