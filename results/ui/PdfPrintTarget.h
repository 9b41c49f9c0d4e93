#pragma once

// Prints into PDF files: A4 at 600 dpi without margins, named after the job
// and the moment it started ("Ispis grafa 2026-12-06 18-04-05.pdf", " (2)"
// added on a clash) in a folder, or always into one given file.

#include "results/ui/PrintTarget.h"

class Clock;

class PdfPrintTarget : public PrintTarget
{
public:
    PdfPrintTarget(const Clock &clock, const QString &folder);
    explicit PdfPrintTarget(const QString &file);

    std::unique_ptr<PrintJob> start(const QString &title, QPageLayout::Orientation orientation) override;

    // The first free "<title> yyyy-MM-dd HH-mm-ss[ (n)].pdf" in the folder.
    QString nextFile(const QString &title) const;

private:
    const Clock *m_clock = nullptr;
    QString m_folder;
    QString m_file;
};
