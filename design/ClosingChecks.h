#pragma once

// The checks the design dialog runs when it closes: they only warn, in a
// fixed order, and never keep the dialog open. No windows here; the dialog
// shows the messages.

#include "design/TestWindowMetrics.h"

#include <QList>
#include <QString>

#include <optional>

class TestDesign;

struct ClosingMessage
{
    enum class Kind { Warning, Error };
    Kind kind = Kind::Warning;
    QString text;

    bool operator==(const ClosingMessage &other) const = default;
};

namespace ClosingChecks {

inline const QString MissingIdentifiersText = QStringLiteral(
    "Nemate upisane znakovne identifikatore za barem jedan od podražaja! Za samostalno testiranje morate upisati "
    "znakovne identifikatore!");
inline const QString MissingFileText = QStringLiteral(
    "U listi podražaja pronađena je batem jedna datoteka koja ne postoji! Stoga se testiranje ne može provesti! "
    "Provjerite datoteku: ");
inline const QString TooLargeText = QStringLiteral(
    "U listi podražaja pronađena je barem jedna slika koja izlazi izvan prostora za crtanje na Test formi! Barem "
    "jedna slika u nacrtu neće u cijelosti stati na Test formu! Smanjite ovu sliku u nekom od .bmp editora (npr. "
    "Paint): ");
inline const QString PasswordSpacesText =
    QStringLiteral("Šifra ne smije imati prazine u sebi. Prazine su izbrisane. Vaša prepravljena šifra: ");

// The identifier and picture checks over a design whose answers are already
// normalised. At most one identifier warning (independent testing only) and
// at most one picture message: the first stimulus that is missing (a folder
// counts as missing), unreadable (an error naming the file) or larger than
// the test window's drawing area. Only picture headers are read.
QList<ClosingMessage> check(const TestDesign &design, const TestWindowMetrics &metrics);

// Removes every space from the password; the warning when there were any.
std::optional<ClosingMessage> stripPasswordSpaces(TestDesign &design);

} // namespace ClosingChecks
