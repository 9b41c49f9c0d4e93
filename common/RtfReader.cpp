#include "common/RtfReader.h"

#include "common/Failure.h"
#include "common/Windows1250.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>

namespace {

QString cannotRead()
{
    return QStringLiteral("Datoteka s uputom ne može se pročitati.");
}

enum class Destination { Text, FontTable, ColourTable, Skip };

struct GroupState
{
    Destination destination = Destination::Text;
    QTextCharFormat format;
    int unicodeSkip = 1; // \ucN: fallback characters after each \uN
};

class Parser
{
public:
    Parser(const QByteArray &rtf, QTextDocument &document)
        : m_in(rtf)
        , m_document(document)
        , m_cursor(&document)
    {}

    void run()
    {
        m_document.clear();
        m_cursor = QTextCursor(&m_document);
        m_cursor.beginEditBlock();
        m_defaultFormat = m_cursor.charFormat();
        m_stack.append(GroupState{Destination::Text, m_defaultFormat, 1});
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            switch (c) {
            case '{':
                flush();
                if (m_stack.size() >= RtfReader::MaxDepth)
                    throw Failure(cannotRead());
                m_stack.append(m_stack.last());
                m_groupStart = true;
                continue;
            case '}':
                flush();
                // An extra closing brace is tolerated: the outermost state stays.
                if (m_stack.size() > 1)
                    m_stack.removeLast();
                break;
            case '\\': control(); break;
            case '\r':
            case '\n': break;
            default: character(c); break;
            }
            m_groupStart = false;
        }
        flush();
        m_cursor.endEditBlock();
    }

private:
    GroupState &state() { return m_stack.last(); }

    void flush()
    {
        if (m_pending.isEmpty())
            return;
        m_cursor.insertText(m_pending, state().format);
        m_pending.clear();
    }

    // One character of text (or of a table entry), after the fallback
    // characters of a \uN have been skipped.
    void put(const QString &text)
    {
        if (m_skipFallback > 0) {
            --m_skipFallback;
            return;
        }
        switch (state().destination) {
        case Destination::Text: m_pending += text; break;
        case Destination::FontTable: m_fontName += text; break;
        case Destination::ColourTable:
        case Destination::Skip: break;
        }
    }

    void character(char byte)
    {
        if (state().destination == Destination::FontTable && byte == ';') {
            m_fonts.insert(m_fontNumber, m_fontName.trimmed());
            m_fontName.clear();
            return;
        }
        if (state().destination == Destination::ColourTable && byte == ';') {
            m_colours.append(m_colourSet ? QColor(m_red, m_green, m_blue) : QColor());
            m_red = m_green = m_blue = 0;
            m_colourSet = false;
            return;
        }
        put(Windows1250::decode(QByteArray(1, byte)));
    }

    void control()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            symbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && isLetter(m_in[m_pos]))
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (m_pos < m_in.size() && m_in[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        int digits = 0;
        while (m_pos < m_in.size() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
            if (digits++ < 10)
                param = param * 10 + (m_in[m_pos] - '0');
            hasParam = true;
            ++m_pos;
        }
        if (negative)
            param = -param;
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        keyword(word, hasParam, int(qBound(-2147483647LL, param, 2147483647LL)));
    }

    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    void symbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}': put(QString(QLatin1Char(c))); break;
        case '~': put(QString(QChar(0x00A0))); break;
        case '-': put(QString(QChar(0x00AD))); break;
        case '_': put(QString(QChar(0x2011))); break;
        case '*':
            if (m_groupStart)
                state().destination = Destination::Skip;
            break;
        case '\'': {
            bool ok = false;
            const int byte = m_in.mid(m_pos, 2).toInt(&ok, 16);
            m_pos = qMin(m_pos + 2, m_in.size());
            if (ok)
                put(Windows1250::decode(QByteArray(1, char(byte))));
            break;
        }
        case '\r':
        case '\n': put(QStringLiteral("\n")); break;
        default: break;
        }
    }

    void setFormat(const std::function<void(QTextCharFormat &)> &change)
    {
        flush();
        change(state().format);
    }

    void setAlignment(Qt::Alignment a)
    {
        flush();
        m_block.setAlignment(a);
        if (state().destination == Destination::Text)
            m_cursor.setBlockFormat(m_block);
    }

    void keyword(const QByteArray &w, bool hasParam, int param)
    {
        const bool on = !hasParam || param != 0;
        if (w == "bin") {
            // Raw bytes follow; never read them as text.
            flush();
            m_pos = qMin(m_pos + qMax(0, param), m_in.size());
            return;
        }
        if (w == "fonttbl") {
            state().destination = Destination::FontTable;
            return;
        }
        if (w == "colortbl") {
            state().destination = Destination::ColourTable;
            m_colourSet = false;
            return;
        }
        if (w == "info" || w == "stylesheet" || w == "pict" || w == "object" || w == "fldinst" || w == "header" ||
            w == "footer" || w == "footnote" || w == "themedata" || w == "colorschememapping") {
            state().destination = Destination::Skip;
            return;
        }
        if (w == "u") {
            put(QString(QChar(ushort(param < 0 ? param + 65536 : param))));
            m_skipFallback = state().unicodeSkip;
            return;
        }
        if (w == "uc") {
            state().unicodeSkip = qMax(0, param);
            return;
        }
        if (state().destination == Destination::FontTable) {
            if (w == "f")
                m_fontNumber = param;
            return;
        }
        if (state().destination == Destination::ColourTable) {
            m_colourSet = true;
            if (w == "red")
                m_red = qBound(0, param, 255);
            else if (w == "green")
                m_green = qBound(0, param, 255);
            else if (w == "blue")
                m_blue = qBound(0, param, 255);
            return;
        }
        if (state().destination == Destination::Skip)
            return;

        if (w == "par") {
            flush();
            m_cursor.insertBlock(m_block, state().format);
        } else if (w == "line") {
            put(QString(QChar::LineSeparator));
        } else if (w == "tab") {
            put(QStringLiteral("\t"));
        } else if (w == "b") {
            setFormat([on](QTextCharFormat &f) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
        } else if (w == "i") {
            setFormat([on](QTextCharFormat &f) { f.setFontItalic(on); });
        } else if (w == "ul") {
            setFormat([on](QTextCharFormat &f) { f.setFontUnderline(on); });
        } else if (w == "ulnone") {
            setFormat([](QTextCharFormat &f) { f.setFontUnderline(false); });
        } else if (w == "plain") {
            setFormat([this](QTextCharFormat &f) { f = m_defaultFormat; });
        } else if (w == "pard") {
            setAlignment(Qt::AlignLeft);
        } else if (w == "fs") {
            if (param > 0)
                setFormat([param](QTextCharFormat &f) { f.setFontPointSize(param / 2.0); });
        } else if (w == "f") {
            const QString family = m_fonts.value(param);
            if (!family.isEmpty())
                setFormat([family](QTextCharFormat &f) { f.setFontFamilies({family}); });
        } else if (w == "cf") {
            const QColor colour = param > 0 ? m_colours.value(param) : QColor();
            setFormat([colour](QTextCharFormat &f) {
                if (colour.isValid())
                    f.setForeground(colour);
                else
                    f.clearForeground();
            });
        } else if (w == "ql") {
            setAlignment(Qt::AlignLeft);
        } else if (w == "qc") {
            setAlignment(Qt::AlignHCenter);
        } else if (w == "qr") {
            setAlignment(Qt::AlignRight);
        } else if (w == "qj") {
            setAlignment(Qt::AlignJustify);
        }
    }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    QTextDocument &m_document;
    QTextCursor m_cursor;
    QTextCharFormat m_defaultFormat;
    QTextBlockFormat m_block;
    QList<GroupState> m_stack;
    QString m_pending;
    bool m_groupStart = false;
    int m_skipFallback = 0;

    QMap<int, QString> m_fonts;
    int m_fontNumber = 0;
    QString m_fontName;
    QList<QColor> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;
};

} // namespace

namespace RtfReader {

bool isRtf(const QByteArray &bytes)
{
    return bytes.startsWith("{\\rtf");
}

void read(const QByteArray &rtf, QTextDocument &document)
{
    if (rtf.size() > MaxBytes)
        throw Failure(cannotRead());
    Parser(rtf, document).run();
}

void loadFile(const QString &path, QTextDocument &document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(cannotRead());
    if (file.size() > MaxBytes)
        throw Failure(cannotRead());
    const QByteArray bytes = file.read(MaxBytes + 1);
    if (bytes.size() > MaxBytes)
        throw Failure(cannotRead());
    if (isRtf(bytes))
        read(bytes, document);
    else
        document.setPlainText(Windows1250::decode(bytes));
}

} // namespace RtfReader
