#pragma once

// Our reader of rich text (RTF) for instruction files: paragraphs, line
// breaks, tabs, bold, italic, underline, font sizes, fonts and colours from
// their tables, alignment, table cells, typographic quotes and dashes, the
// code page the file or a font declares (Windows-1250 when none) and Unicode
// characters. Groups it does not show (pictures, objects, field instructions,
// document information, style sheets, "{\*...}" destinations) are skipped. Unbalanced
// braces are tolerated; an input too large or nested too deeply is refused:
// instructions are a page or two, and laying out megabytes of formatting runs
// would freeze the test window.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace RtfReader {

constexpr qint64 MaxBytes = 256 * 1024;
constexpr int MaxDepth = 256;

// True when the bytes are rich text: they start with "{\rtf", whatever the
// file is called.
bool isRtf(const QByteArray &bytes);

// Replaces the document's content with the rich text; throws Failure when it
// cannot be read.
void read(const QByteArray &rtf, QTextDocument &document);

// An instruction file: rich text when it starts with "{\rtf", otherwise
// Windows-1250 plain text. Throws Failure when the file cannot be read.
void loadFile(const QString &path, QTextDocument &document);

} // namespace RtfReader
