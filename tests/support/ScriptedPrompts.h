#pragma once

// Prompts for tests: answers are queued before the action that asks for
// them; every prompt is recorded with its kind and text; a prompt nobody
// expected fails the running test.

#include "common/ui/Prompts.h"

#include <QList>
#include <QString>
#include <QVariant>

class ScriptedPrompts : public Prompts
{
public:
    enum class Kind { Warning, Error, Information, Question, OpenFile, SaveFile, Colour, Choice };

    struct Record
    {
        Kind kind;
        QString text;              // box text, or the dialog's title
        FileDialogRequest request; // file choosers only
    };

    ~ScriptedPrompts() override;

    // Expect a prompt of this kind whose text contains `text` (empty: any text).
    ScriptedPrompts &expect(Kind kind, const QString &text = {}, const QVariant &answer = {});
    ScriptedPrompts &expectWarning(const QString &text = {}) { return expect(Kind::Warning, text); }
    ScriptedPrompts &expectError(const QString &text = {}) { return expect(Kind::Error, text); }
    ScriptedPrompts &expectInformation(const QString &text = {}) { return expect(Kind::Information, text); }
    ScriptedPrompts &expectQuestion(bool yes, const QString &text = {}) { return expect(Kind::Question, text, yes); }
    // Answers with the button of index `answer` (-1: the box closed).
    ScriptedPrompts &expectChoice(int answer, const QString &text = {}) { return expect(Kind::Choice, text, answer); }
    // An empty path answers as a cancelled chooser.
    // `selectedFilter` >= 0 also answers with that filter entry selected.
    ScriptedPrompts &expectOpenFile(const QString &path, int selectedFilter = -1)
    {
        return expect(Kind::OpenFile, {}, QVariantList{path, selectedFilter});
    }
    ScriptedPrompts &expectSaveFile(const QString &path, int selectedFilter = -1)
    {
        return expect(Kind::SaveFile, {}, QVariantList{path, selectedFilter});
    }
    // An invalid QVariant answers as a cancelled chooser; otherwise a Colour (uint).
    ScriptedPrompts &expectColour(const QVariant &colour) { return expect(Kind::Colour, {}, colour); }

    const QList<Record> &records() const { return m_records; }
    int pending() const { return int(m_expected.size()); }
    void clear();

    void warning(const QString &text) override;
    void error(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    int choose(const QString &text, const QStringList &answers) override;
    QString openFile(FileDialogRequest &request) override;
    QString saveFile(FileDialogRequest &request) override;
    std::optional<::Colour> chooseColour(::Colour initial) override;

    static QString kindName(Kind kind);

private:
    struct Expectation
    {
        Kind kind;
        QString text;
        QVariant answer;
    };

    QVariant take(Kind kind, const QString &text, const FileDialogRequest &request = {});
    QString takeFile(Kind kind, FileDialogRequest &request);

    QList<Expectation> m_expected;
    QList<Record> m_records;
};
