#pragma once

// A help service for tests: records the topics asked for instead of showing them.

#include "common/ui/ContextHelp.h"

#include <QStringList>

class RecordingHelp : public HelpService
{
public:
    QStringList topics;
    void showTopic(const QString &topic) override { topics << topic; }
};
