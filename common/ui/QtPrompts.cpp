#include "QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QWidget *owner()
{
    if (QWidget *w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

void showBox(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

} // namespace

QList<QPair<QString, QString>> FileDialogRequest::parseFilter(const QString &barSeparated)
{
    QList<QPair<QString, QString>> out;
    const QStringList parts = barSeparated.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out.append({parts[i], parts[i + 1]});
    return out;
}

void QtPrompts::warning(const QString &text)
{
    showBox(QMessageBox::Warning, QStringLiteral("Upozorenje"), text);
}

void QtPrompts::error(const QString &text)
{
    showBox(QMessageBox::Critical, QStringLiteral("Pogreška"), text);
}

void QtPrompts::information(const QString &text)
{
    showBox(QMessageBox::Information, QStringLiteral("Obavijest"), text);
}

bool QtPrompts::question(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Potvrda"), text, QMessageBox::Yes | QMessageBox::No,
                    owner());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Da"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Ne"));
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompts::qtFilter(const FileDialogRequest &request)
{
    QStringList filters;
    for (const auto &[description, patterns] : request.filters) {
        const QString spaced = QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last parentheses of a filter.
        filters << (description.endsWith(QLatin1Char(')')) && description.contains(patterns)
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, spaced));
    }
    return filters.join(QStringLiteral(";;"));
}

static QFileDialog *makeDialog(const FileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    auto *dialog = new QFileDialog(owner(), request.title, request.directory, QtPrompts::qtFilter(request));
    dialog->setAcceptMode(mode);
    dialog->setDefaultSuffix(request.defaultExtension);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    return dialog;
}

QString QtPrompts::openFile(const FileDialogRequest &request)
{
    std::unique_ptr<QFileDialog> dialog(makeDialog(request, QFileDialog::AcceptOpen));
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

QString QtPrompts::saveFile(const FileDialogRequest &request)
{
    std::unique_ptr<QFileDialog> dialog(makeDialog(request, QFileDialog::AcceptSave));
    dialog->setFileMode(QFileDialog::AnyFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

std::optional<Colour> QtPrompts::chooseColour(Colour initial)
{
    const QColor chosen = QColorDialog::getColor(toQColor(initial), owner());
    if (!chosen.isValid())
        return std::nullopt;
    return fromQColor(chosen);
}
