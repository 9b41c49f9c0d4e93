#include "common/ui/QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

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

int QtPrompts::choose(const QString &text, const QStringList &answers)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Potvrda"), text, QMessageBox::NoButton, owner());
    QList<QAbstractButton *> buttons;
    for (const QString &answer : answers)
        buttons << box.addButton(answer, QMessageBox::AcceptRole);
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
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

QFileDialog *QtPrompts::makeDialog(const FileDialogRequest &request, QFileDialog::AcceptMode mode) const
{
    const QString directory = m_lastFolders.value(request.role, request.directory);
    auto *dialog = new QFileDialog(owner(), request.title, directory, QtPrompts::qtFilter(request));
    dialog->setAcceptMode(mode);
    dialog->setDefaultSuffix(request.defaultExtension);
    // A name typed without an extension gets the one of the entry chosen in
    // the dialog, so "Podaci" under "dBase IV (*.dbf)" becomes Podaci.dbf.
    const auto filterList = request.filters;
    const auto followFilter = [dialog, filterList](const QString &filter) {
        const int index = int(dialog->nameFilters().indexOf(filter));
        if (index < 0 || index >= filterList.size())
            return;
        const QString pattern = filterList[index].second.section(QLatin1Char(';'), 0, 0);
        const QString extension = pattern.section(QLatin1Char('.'), -1);
        if (pattern.startsWith(QLatin1String("*.")) && !extension.contains(QLatin1Char('*')))
            dialog->setDefaultSuffix(extension);
    };
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, followFilter);
    const QStringList filters = dialog->nameFilters();
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size()) {
        dialog->selectNameFilter(filters[request.selectedFilter]);
        followFilter(filters[request.selectedFilter]);
    }
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    return dialog;
}

QString QtPrompts::runDialog(QFileDialog &dialog, FileDialogRequest &request)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    request.selectedFilter = int(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    const QString path = dialog.selectedFiles().constFirst();
    if (!request.role.isEmpty())
        m_lastFolders.insert(request.role, QFileInfo(path).absolutePath());
    return path;
}

QString QtPrompts::openFile(FileDialogRequest &request)
{
    std::unique_ptr<QFileDialog> dialog(makeDialog(request, QFileDialog::AcceptOpen));
    // A typed name of a file that is not there is taken too: the load that
    // follows refuses it with the program's own message.
    dialog->setFileMode(QFileDialog::AnyFile);
    return runDialog(*dialog, request);
}

QString QtPrompts::saveFile(FileDialogRequest &request)
{
    std::unique_ptr<QFileDialog> dialog(makeDialog(request, QFileDialog::AcceptSave));
    dialog->setFileMode(QFileDialog::AnyFile);
    return runDialog(*dialog, request);
}

std::optional<Colour> QtPrompts::chooseColour(Colour initial)
{
    const QColor chosen = QColorDialog::getColor(toQColor(initial), owner());
    if (!chosen.isValid())
        return std::nullopt;
    return fromQColor(chosen);
}
