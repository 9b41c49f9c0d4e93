#pragma once

// The rule every typed query passes before it runs (the SQL window and the
// tool): the text is trimmed of control characters and blanks at both ends
// and must begin with "select"; prepareReadOnly then holds it to one
// read-only statement.

#include <QString>

namespace SelectRule {

inline const QString NotSelectText =
    QStringLiteral("Pogrešno upisana komanda! Unutar ovog programa možete koristiti samo \"select\" naredbu!");

// Without every leading and trailing character of code 32 or less.
QString trimmed(const QString &text);

// The first six characters, lower-cased by the system's locale, are "select".
bool beginsWithSelect(const QString &text);

} // namespace SelectRule
