#pragma once

// Prints on the system's default printer; where none is installed the pages
// go into a PDF file in the data folder instead (Qt would otherwise turn the
// printer into a PDF printer without a file, and every job would fail).

#include "results/ui/PdfPrintTarget.h"

class DefaultPrintTarget : public PrintTarget
{
public:
    DefaultPrintTarget(const Clock &clock, const QString &folder);

    std::unique_ptr<PrintJob> start(const QString &title, QPageLayout::Orientation orientation) override;

private:
    PdfPrintTarget m_pdf;
};
