#pragma once

// The design file ("nacrt"): the task description of a TestDesign as a
// Windows-1250 text of four sections separated by "^" lines, CR LF line ends:
//   the N picture paths; "^"; the first N mask colours as decimal integers;
//   "^"; the masking levels; "^"; N answer rows, each slot followed by "_".
// No header, no escaping, no test conditions.
//
// Both operations are all or nothing: a failed save leaves the chosen file as
// it was, a failed load leaves the design exactly as it was. Failures throw
// Failure with a text for the user.

#include <QByteArray>
#include <QString>

class TestDesign;

void SaveDesignFile(const TestDesign &design, const QString &path);
// Also remembers the file and the SHA-256 of its bytes in the design.
void LoadDesignFile(TestDesign &design, const QString &path);

// Removes every blank (code 32; other white space stays) from every answer
// cell and upper-cases the rest as Croatian does (č -> Č ...).
void NormaliseSolutions(TestDesign &design);

namespace DesignFile {

// The file's bytes for a design; throws Failure, naming the entry, for text
// the format cannot carry back (a "^" or line break in a path or level, a "_"
// or line break in an identifier of tasks 1..N), text the code page cannot
// hold or a task without a mask colour.
QByteArray compose(const TestDesign &design);

// Applies a file's bytes to a copy of `design` and returns it; throws Failure
// and leaves `design` untouched when the text is not a valid design file or
// names more than MaxTasks stimuli.
TestDesign parse(const TestDesign &design, const QByteArray &bytes);

} // namespace DesignFile
