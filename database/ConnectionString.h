#pragma once

// The connection description of the results database: `key=value;` properties
// in the order they were written. Values may be quoted the OLE DB way ("..."
// or '...', the quote doubled inside); only `Data Source` means anything to
// our engine, the other properties are carried along unchanged.

#include <QList>
#include <QPair>
#include <QString>

class ConnectionString
{
public:
    // The description as the program stores it, with "C:\Temp" standing for
    // the working directory.
    static const QString &stored();

    // Throws Failure when the text is not a list of properties.
    static ConnectionString parse(const QString &text);
    // The stored description with `Data Source` naming `path`.
    static QString forFile(const QString &path);

    // Serialises the properties; a value is quoted only when it must be
    // (empty, or holding ";", a quote or blanks at its ends).
    QString text() const;

    QString value(const QString &key) const; // keys compare without case
    // Replaces the property's value, or adds the property at the end.
    void setValue(const QString &key, const QString &value);
    const QList<QPair<QString, QString>> &properties() const { return m_properties; }

    // Replaces the first "C:\Temp" (with case) among the values by `directory`,
    // taken as it is; the "\" separators the stored value has around it become
    // this system's. Working on values rather than on the raw text keeps a
    // directory that holds ";" or quotes inside its property.
    void putDirectory(const QString &directory);

    // The database file named by `Data Source`, as written there.
    QString dataSourcePath() const;

private:
    QList<QPair<QString, QString>> m_properties;
};
