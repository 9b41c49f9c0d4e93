#include "database/ConnectionString.h"

#include "common/Failure.h"

#include <QDir>

const QString &ConnectionString::stored()
{
    static const QString text = QStringLiteral(
        "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=C:\\Temp\\Kalvestrin.mdb;"
        "Mode=Share Deny None;Extended Properties=\"\";Persist Security Info=True;"
        "Jet OLEDB:System database=\"\";Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=qlimvo;"
        "Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;"
        "Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";"
        "Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
        "Jet OLEDB:Don't Copy Locale on Compact=False;Jet OLEDB:Compact Without Replica Repair=False;"
        "Jet OLEDB:SFP=False");
    return text;
}

ConnectionString ConnectionString::parse(const QString &text)
{
    ConnectionString result;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto malformed = [&text] { return Failure(QStringLiteral("Neispravan opis veze s bazom podataka: %1").arg(text)); };
    while (i < n) {
        while (i < n && (text[i].isSpace() || text[i] == QLatin1Char(';')))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            throw malformed();
        const QString key = text.mid(i, eq - i).trimmed();
        if (key.isEmpty())
            throw malformed();
        i = eq + 1;
        while (i < n && text[i] == QLatin1Char(' '))
            ++i;
        QString value;
        if (i < n && (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('\''))) {
            const QChar quote = text[i++];
            for (;;) {
                if (i >= n)
                    throw malformed();
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i++];
            }
            while (i < n && text[i] == QLatin1Char(' '))
                ++i;
            if (i < n && text[i] != QLatin1Char(';'))
                throw malformed();
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, end < 0 ? -1 : end - i).trimmed();
            i = end < 0 ? n : end;
        }
        result.m_properties.append({key, value});
    }
    return result;
}

QString ConnectionString::text() const
{
    QStringList parts;
    for (const auto &[key, value] : m_properties) {
        const bool plain = !value.isEmpty() && !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) &&
                           !value.contains(QLatin1Char('\'')) && value == value.trimmed();
        if (plain) {
            parts << key + QLatin1Char('=') + value;
        } else {
            QString quoted = value;
            quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
            parts << key + QLatin1String("=\"") + quoted + QLatin1Char('"');
        }
    }
    return parts.join(QLatin1Char(';'));
}

QString ConnectionString::value(const QString &key) const
{
    for (const auto &[k, v] : m_properties) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return {};
}

void ConnectionString::setValue(const QString &key, const QString &value)
{
    for (auto &[k, v] : m_properties) {
        if (k.compare(key, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    }
    m_properties.append({key, value});
}

void ConnectionString::putDirectory(const QString &directory)
{
    static const QString placeholder = QStringLiteral("C:\\Temp");
    for (auto &property : m_properties) {
        const qsizetype at = property.second.indexOf(placeholder, 0, Qt::CaseSensitive);
        if (at >= 0) {
            // The directory stays as the system gave it ("\" is an ordinary
            // file-name character here); only the stored description's own
            // separators around it become this system's.
            auto ours = [](QString text) { return text.replace(QLatin1Char('\\'), QDir::separator()); };
            const QString &value = property.second;
            property.second = ours(value.left(at)) + directory + ours(value.mid(at + placeholder.size()));
            return;
        }
    }
}

QString ConnectionString::dataSourcePath() const
{
    return value(QStringLiteral("Data Source"));
}

QString ConnectionString::forFile(const QString &path)
{
    ConnectionString description = parse(stored());
    description.setValue(QStringLiteral("Data Source"), path);
    return description.text();
}
