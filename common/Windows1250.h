#pragma once

// The Windows-1250 (Central European) code page: every text file the program
// writes or reads is in it. Decoding never fails (the five bytes the code page
// leaves undefined map to the C1 controls of the same number, as Windows does);
// encoding refuses any character the code page cannot hold instead of writing
// a stand-in.

#include <QByteArray>
#include <QString>

namespace Windows1250 {

// True when every character of text can be written in the code page.
bool canEncode(QChar c);
bool canEncode(const QString &text);

// The code page's byte for a character, or -1 when it has none.
int byteOf(QChar c);

// The first character of text that cannot be written, or a null QChar.
QChar firstUnencodable(const QString &text);

// Throws Failure naming the first character that cannot be written.
QByteArray encode(const QString &text);

QString decode(const QByteArray &bytes);

// Upper case as the Croatian locale does it for this code page: č ć đ š ž
// become Č Ć Đ Š Ž; a character whose capital the code page cannot hold
// (ß, µ) stays as it is, so the result is always encodable when the input was.
QString toUpper(const QString &text);

} // namespace Windows1250
