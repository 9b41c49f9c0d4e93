#include "tests/support/ScriptedPrompts.h"

#include <QTest>

ScriptedPrompts::~ScriptedPrompts()
{
    if (!m_expected.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("%1 expected prompt(s) never came, first: %2 \"%3\"")
                                    .arg(m_expected.size())
                                    .arg(kindName(m_expected.first().kind), m_expected.first().text)),
                     __FILE__, __LINE__);
    }
}

ScriptedPrompts &ScriptedPrompts::expect(Kind kind, const QString &text, const QVariant &answer)
{
    m_expected.append({kind, text, answer});
    return *this;
}

void ScriptedPrompts::clear()
{
    m_expected.clear();
    m_records.clear();
}

QString ScriptedPrompts::kindName(Kind kind)
{
    static const char *const names[] = {"warning",   "error",     "information", "question",
                                        "open file", "save file", "colour",      "choice"};
    return QLatin1String(names[int(kind)]);
}

QVariant ScriptedPrompts::take(Kind kind, const QString &text, const FileDialogRequest &request)
{
    m_records.append({kind, text, request});
    if (m_expected.isEmpty() || m_expected.first().kind != kind || !text.contains(m_expected.first().text)) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected %1 prompt: \"%2\"%3")
                                    .arg(kindName(kind), text,
                                         m_expected.isEmpty()
                                             ? QString()
                                             : QStringLiteral(" (expected %1 \"%2\")")
                                                   .arg(kindName(m_expected.first().kind), m_expected.first().text))),
                     __FILE__, __LINE__);
        if (!m_expected.isEmpty() && m_expected.first().kind == kind)
            return m_expected.takeFirst().answer;
        return {};
    }
    return m_expected.takeFirst().answer;
}

void ScriptedPrompts::warning(const QString &text)
{
    take(Kind::Warning, text);
}
void ScriptedPrompts::error(const QString &text)
{
    take(Kind::Error, text);
}
void ScriptedPrompts::information(const QString &text)
{
    take(Kind::Information, text);
}
bool ScriptedPrompts::question(const QString &text)
{
    return take(Kind::Question, text).toBool();
}

int ScriptedPrompts::choose(const QString &text, const QStringList &)
{
    const QVariant answer = take(Kind::Choice, text);
    return answer.isValid() ? answer.toInt() : -1;
}

QString ScriptedPrompts::takeFile(Kind kind, FileDialogRequest &request)
{
    const QVariantList answer = take(kind, request.title, request).toList();
    if (answer.size() != 2)
        return {};
    if (answer[1].toInt() >= 0)
        request.selectedFilter = answer[1].toInt();
    return answer[0].toString();
}

QString ScriptedPrompts::openFile(FileDialogRequest &request)
{
    return takeFile(Kind::OpenFile, request);
}

QString ScriptedPrompts::saveFile(FileDialogRequest &request)
{
    return takeFile(Kind::SaveFile, request);
}

std::optional<::Colour> ScriptedPrompts::chooseColour(::Colour initial)
{
    const QVariant answer = take(Kind::Colour, QString::number(initial));
    if (!answer.isValid())
        return std::nullopt;
    return ::Colour(answer.toUInt());
}
