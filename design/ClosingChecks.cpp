#include "design/ClosingChecks.h"

#include "design/TestDesign.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

#include <algorithm>

namespace ClosingChecks {

namespace {

bool hasNoIdentifier(const TestDesign::AnswerRow &row)
{
    return std::all_of(row.begin(), row.end(), [](const QString &slot) { return slot.isEmpty(); });
}

// The first task 1..N with an empty answer row gives the one warning.
std::optional<ClosingMessage> checkIdentifiers(const TestDesign &design)
{
    if (design.testingMode != TestingMode::Independent)
        return std::nullopt;
    const int rows = std::min(design.taskCount(), int(design.solutions.size()));
    for (int r = 0; r < rows; ++r) {
        if (hasNoIdentifier(design.solutions[std::size_t(r)]))
            return ClosingMessage{ClosingMessage::Kind::Warning, MissingIdentifiersText};
    }
    return std::nullopt;
}

std::optional<ClosingMessage> checkPicture(const QString &path, const QSize &area)
{
    if (!QFileInfo(path).isFile())
        return ClosingMessage{ClosingMessage::Kind::Warning, MissingFileText + path};
    // The header holds the size: decoding a thousand full pictures would make
    // closing the dialog take seconds.
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (!size.isValid()) {
        return ClosingMessage{ClosingMessage::Kind::Error,
                              QStringLiteral("Sliku \"%1\" nije moguće učitati: %2")
                                  .arg(QDir::toNativeSeparators(path), reader.errorString())};
    }
    if (size.width() > area.width() || size.height() > area.height())
        return ClosingMessage{ClosingMessage::Kind::Warning, TooLargeText + path};
    return std::nullopt;
}

} // namespace

QList<ClosingMessage> check(const TestDesign &design, const TestWindowMetrics &metrics)
{
    QList<ClosingMessage> messages;
    if (auto m = checkIdentifiers(design))
        messages << *m;
    const QSize area(metrics.outerSize.width(), metrics.outerSize.height() - metrics.answerBarHeight);
    // Designs repeat pictures; each file is looked at once per check.
    QSet<QString> passed;
    for (const QString &path : design.stimuli) {
        if (passed.contains(path))
            continue;
        if (auto m = checkPicture(path, area)) {
            messages << *m;
            break;
        }
        passed.insert(path);
    }
    return messages;
}

std::optional<ClosingMessage> stripPasswordSpaces(TestDesign &design)
{
    if (!design.password.contains(QLatin1Char(' ')))
        return std::nullopt;
    design.password.remove(QLatin1Char(' '));
    return ClosingMessage{ClosingMessage::Kind::Warning, PasswordSpacesText + design.password.trimmed()};
}

} // namespace ClosingChecks
