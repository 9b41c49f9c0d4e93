#pragma once

// Where the results window prints: a print job is a painter on the pages of
// a printer or of a PDF file. Failures are thrown as Failure; a job dropped
// without finish() leaves no file behind.

#include <QPageLayout>
#include <QString>

#include <memory>

class QPainter;

class PrintJob
{
public:
    virtual ~PrintJob() = default;
    virtual QPainter &painter() = 0;
    virtual void newPage() = 0;
    // Ends the job. Returns the file the pages went to, empty for a printer.
    virtual QString finish() = 0;
};

class PrintTarget
{
public:
    virtual ~PrintTarget() = default;
    // `title` names the job, and the file when the pages go to one ("Ispis tablice").
    virtual std::unique_ptr<PrintJob> start(const QString &title, QPageLayout::Orientation orientation) = 0;
};
