#include "common/RtfReader.h"

#include "common/Failure.h"
#include "common/Windows1250.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QMap>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>
#include <map>

namespace {

QString cannotRead()
{
    return QStringLiteral("Datoteka s uputom ne može se pročitati.");
}

// The code page a file or font declares; ours is the default.
constexpr int DefaultCodePage = 1250;

// Windows code page of a font's character set (\fcharsetN); 0 for the
// character sets that mean "the document's code page".
int codePageOfCharset(int charset)
{
    static const QHash<int, int> pages = {
        {128, 932},  {129, 949},  {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258},
        {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250},
    };
    return pages.value(charset, 0);
}

enum class Destination { Text, FontTable, ColourTable, Skip };

// Where a keyword means something: in every destination or in one.
enum class Scope { Anywhere, Text, FontTable, ColourTable };

bool applies(Scope scope, Destination destination)
{
    switch (scope) {
    case Scope::Anywhere: return true;
    case Scope::Text: return destination == Destination::Text;
    case Scope::FontTable: return destination == Destination::FontTable;
    case Scope::ColourTable: return destination == Destination::ColourTable;
    }
    return false;
}

struct GroupState
{
    Destination destination = Destination::Text;
    QTextCharFormat format;
    int unicodeSkip = 1; // \ucN: fallback characters after each \uN
    int codePage = 0;    // of the current font; 0 is the document's
};

struct Font
{
    QString name;
    int codePage = 0;
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
        m_stack.append(GroupState{Destination::Text, m_defaultFormat, 1, 0});
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            switch (c) {
            case '{': openGroup(); continue;
            case '}': closeGroup(); break;
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

    // What a keyword does, by its name: one table for every keyword the
    // reader knows; any other keyword is ignored.
    using Action = void (Parser::*)(int param, bool hasParam);
    struct Keyword
    {
        Action action;
        Scope where;
    };

private:
    GroupState &state() { return m_stack.last(); }

    void openGroup()
    {
        flush();
        if (m_stack.size() >= RtfReader::MaxDepth)
            throw Failure(cannotRead());
        m_stack.append(m_stack.last());
        m_groupStart = true;
    }

    void closeGroup()
    {
        flush();
        // An extra closing brace is tolerated: the outermost state stays.
        if (m_stack.size() > 1)
            m_stack.removeLast();
    }

    void flush()
    {
        flushBytes();
        if (m_pending.isEmpty())
            return;
        m_cursor.insertText(m_pending, state().format);
        m_pending.clear();
    }

    int codePage() const
    {
        const int font = m_stack.last().codePage;
        return font != 0 ? font : m_documentCodePage;
    }

    QString decode(const QByteArray &bytes)
    {
        const int page = codePage();
        if (page != DefaultCodePage) {
            auto found = m_decoders.find(page);
            if (found == m_decoders.end()) {
                const QByteArray name = "windows-" + QByteArray::number(page);
                found =
                    m_decoders.emplace(page, QStringDecoder(name.constData(), QStringDecoder::Flag::Stateless)).first;
            }
            if (found->second.isValid())
                return found->second.decode(bytes);
        }
        return Windows1250::decode(bytes);
    }

    // Bytes of text wait here so that a character of a double-byte code page
    // is decoded whole; they are decoded before anything else happens.
    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        const QString text = decode(m_bytes);
        m_bytes.clear();
        append(text);
    }

    void append(const QString &text)
    {
        switch (state().destination) {
        case Destination::Text:
            if (m_cellsPending > 0) {
                m_pending += QString(m_cellsPending, QLatin1Char('\t'));
                m_cellsPending = 0;
            }
            m_pending += text;
            break;
        case Destination::FontTable: m_fontName += text; break;
        case Destination::ColourTable:
        case Destination::Skip: break;
        }
    }

    // After a \uN its fallback characters are skipped.
    bool skipsFallback()
    {
        if (m_skipFallback <= 0)
            return false;
        --m_skipFallback;
        return true;
    }

    // One character of text (or of a table entry).
    void put(const QString &text)
    {
        if (skipsFallback())
            return;
        flushBytes();
        append(text);
    }

    void byte(char b)
    {
        if (skipsFallback())
            return;
        if (state().destination == Destination::Text || state().destination == Destination::FontTable)
            m_bytes += b;
    }

    void character(char c)
    {
        if (state().destination == Destination::FontTable && c == ';') {
            flushBytes();
            m_fonts.insert(m_fontNumber, Font{m_fontName.trimmed(), m_fontCodePage});
            m_fontName.clear();
            m_fontCodePage = 0;
            return;
        }
        if (state().destination == Destination::ColourTable && c == ';') {
            m_colours.append(m_colourSet ? QColor(m_red, m_green, m_blue) : QColor());
            m_red = m_green = m_blue = 0;
            m_colourSet = false;
            return;
        }
        byte(c);
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
        case '_': put(QString(QChar(0x2011))); break;
        case '-': break; // a soft hyphen: only where the writer's lines broke
        case '*':
            if (m_groupStart)
                state().destination = Destination::Skip;
            break;
        case '\'': {
            bool ok = false;
            const int value = m_in.mid(m_pos, 2).toInt(&ok, 16);
            m_pos = qMin(m_pos + 2, m_in.size());
            if (ok)
                byte(char(value));
            break;
        }
        case '\r':
        case '\n': put(QStringLiteral("\n")); break;
        default: break;
        }
    }

    static const QHash<QByteArray, QChar> &characters()
    {
        static const QHash<QByteArray, QChar> table = {
            {"tab", QLatin1Char('\t')},   {"line", QChar::LineSeparator}, {"ldblquote", QChar(0x201C)},
            {"rdblquote", QChar(0x201D)}, {"lquote", QChar(0x2018)},      {"rquote", QChar(0x2019)},
            {"endash", QChar(0x2013)},    {"emdash", QChar(0x2014)},      {"bullet", QChar(0x2022)},
            {"enspace", QChar(0x2002)},   {"emspace", QChar(0x2003)},
        };
        return table;
    }

    static const QHash<QByteArray, Keyword> &keywords();

    void keyword(const QByteArray &word, bool hasParam, int param)
    {
        const auto found = keywords().constFind(word);
        if (found != keywords().constEnd()) {
            if (applies(found->where, state().destination))
                (this->*(found->action))(param, hasParam);
            return;
        }
        if (state().destination != Destination::Text)
            return;
        const auto character = characters().constFind(word);
        if (character != characters().constEnd())
            put(QString(*character));
    }

    // Keywords of every destination.
    void binary(int param, bool)
    {
        // Raw bytes follow; never read them as text.
        flush();
        m_pos = qMin(m_pos + qMax(0, param), m_in.size());
    }
    void fontTable(int, bool) { state().destination = Destination::FontTable; }
    void colourTable(int, bool)
    {
        state().destination = Destination::ColourTable;
        m_colourSet = false;
    }
    void skipGroup(int, bool) { state().destination = Destination::Skip; }
    void unicode(int param, bool)
    {
        put(QString(QChar(ushort(param < 0 ? param + 65536 : param))));
        m_skipFallback = state().unicodeSkip;
    }
    void unicodeSkip(int param, bool) { state().unicodeSkip = qMax(0, param); }
    void documentCodePage(int param, bool)
    {
        flushBytes();
        m_documentCodePage = param > 0 ? param : DefaultCodePage;
    }

    // The font and colour tables.
    void fontCharset(int param, bool) { m_fontCodePage = codePageOfCharset(param); }
    void red(int param, bool) { colourPart(m_red, param); }
    void green(int param, bool) { colourPart(m_green, param); }
    void blue(int param, bool) { colourPart(m_blue, param); }
    void colourPart(int &part, int param)
    {
        m_colourSet = true;
        part = qBound(0, param, 255);
    }

    // The text.
    void setFormat(const std::function<void(QTextCharFormat &)> &change)
    {
        flush();
        change(state().format);
    }
    void setAlignment(Qt::Alignment a)
    {
        flush();
        m_block.setAlignment(a);
        m_cursor.setBlockFormat(m_block);
    }
    void paragraph(int, bool)
    {
        flush();
        m_cellsPending = 0;
        m_cursor.insertBlock(m_block, state().format);
    }
    // Cells are separated by a tab when the next cell has text; the row's
    // last separator is never written.
    void cell(int, bool)
    {
        flush();
        ++m_cellsPending;
    }
    void bold(int param, bool hasParam)
    {
        const bool on = !hasParam || param != 0;
        setFormat([on](QTextCharFormat &f) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    }
    void italic(int param, bool hasParam)
    {
        const bool on = !hasParam || param != 0;
        setFormat([on](QTextCharFormat &f) { f.setFontItalic(on); });
    }
    void underline(int param, bool hasParam)
    {
        const bool on = !hasParam || param != 0;
        setFormat([on](QTextCharFormat &f) { f.setFontUnderline(on); });
    }
    void noUnderline(int, bool) { underline(0, true); }
    void plain(int, bool)
    {
        setFormat([this](QTextCharFormat &f) { f = m_defaultFormat; });
    }
    void fontSize(int param, bool)
    {
        if (param > 0)
            setFormat([param](QTextCharFormat &f) { f.setFontPointSize(param / 2.0); });
    }
    // \fN names a font in the font table and chooses one in the text.
    void font(int param, bool)
    {
        if (state().destination == Destination::FontTable)
            m_fontNumber = param;
        else if (state().destination == Destination::Text)
            chooseFont(param);
    }
    void chooseFont(int param)
    {
        const Font font = m_fonts.value(param);
        flush();
        state().codePage = font.codePage;
        if (!font.name.isEmpty())
            setFormat([&font](QTextCharFormat &f) { f.setFontFamilies({font.name}); });
    }
    void colour(int param, bool)
    {
        const QColor colour = param > 0 ? m_colours.value(param) : QColor();
        setFormat([colour](QTextCharFormat &f) {
            if (colour.isValid())
                f.setForeground(colour);
            else
                f.clearForeground();
        });
    }
    void alignLeft(int, bool) { setAlignment(Qt::AlignLeft); }
    void alignCentre(int, bool) { setAlignment(Qt::AlignHCenter); }
    void alignRight(int, bool) { setAlignment(Qt::AlignRight); }
    void justify(int, bool) { setAlignment(Qt::AlignJustify); }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    QTextDocument &m_document;
    QTextCursor m_cursor;
    QTextCharFormat m_defaultFormat;
    QTextBlockFormat m_block;
    QList<GroupState> m_stack;
    QString m_pending;
    QByteArray m_bytes;
    bool m_groupStart = false;
    int m_skipFallback = 0;
    int m_cellsPending = 0;
    int m_documentCodePage = DefaultCodePage;
    std::map<int, QStringDecoder> m_decoders;

    QMap<int, Font> m_fonts;
    int m_fontNumber = 0;
    int m_fontCodePage = 0;
    QString m_fontName;
    QList<QColor> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;
};

const QHash<QByteArray, Parser::Keyword> &Parser::keywords()
{
    using S = Scope;
    static const QHash<QByteArray, Keyword> table = {
        {"bin", {&Parser::binary, S::Anywhere}},
        {"fonttbl", {&Parser::fontTable, S::Anywhere}},
        {"colortbl", {&Parser::colourTable, S::Anywhere}},
        {"info", {&Parser::skipGroup, S::Anywhere}},
        {"stylesheet", {&Parser::skipGroup, S::Anywhere}},
        {"pict", {&Parser::skipGroup, S::Anywhere}},
        {"object", {&Parser::skipGroup, S::Anywhere}},
        {"fldinst", {&Parser::skipGroup, S::Anywhere}},
        {"header", {&Parser::skipGroup, S::Anywhere}},
        {"footer", {&Parser::skipGroup, S::Anywhere}},
        {"footnote", {&Parser::skipGroup, S::Anywhere}},
        {"themedata", {&Parser::skipGroup, S::Anywhere}},
        {"colorschememapping", {&Parser::skipGroup, S::Anywhere}},
        {"u", {&Parser::unicode, S::Anywhere}},
        {"uc", {&Parser::unicodeSkip, S::Anywhere}},
        {"ansicpg", {&Parser::documentCodePage, S::Anywhere}},
        {"f", {&Parser::font, S::Anywhere}},
        {"fcharset", {&Parser::fontCharset, S::FontTable}},
        {"red", {&Parser::red, S::ColourTable}},
        {"green", {&Parser::green, S::ColourTable}},
        {"blue", {&Parser::blue, S::ColourTable}},
        {"par", {&Parser::paragraph, S::Text}},
        {"row", {&Parser::paragraph, S::Text}},
        {"cell", {&Parser::cell, S::Text}},
        {"nestcell", {&Parser::cell, S::Text}},
        {"b", {&Parser::bold, S::Text}},
        {"i", {&Parser::italic, S::Text}},
        {"ul", {&Parser::underline, S::Text}},
        {"ulnone", {&Parser::noUnderline, S::Text}},
        {"plain", {&Parser::plain, S::Text}},
        {"pard", {&Parser::alignLeft, S::Text}},
        {"ql", {&Parser::alignLeft, S::Text}},
        {"qc", {&Parser::alignCentre, S::Text}},
        {"qr", {&Parser::alignRight, S::Text}},
        {"qj", {&Parser::justify, S::Text}},
        {"fs", {&Parser::fontSize, S::Text}},
        {"cf", {&Parser::colour, S::Text}},
    };
    return table;
}

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
