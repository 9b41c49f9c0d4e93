// "design-shots DESIGN.txt DIR": the design dialog over a design file, each
// of its three pages and the stimulus list's popup written as PNG pictures,
// for the manual and for checking the layout on a real display.

#include "common/DataFolder.h"
#include "common/Failure.h"
#include "common/ui/QtPrompts.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "design/ui/TPagesDlg.h"
#include "tools/kalvestrin-tool/ToolCommand.h"
#include "tools/kalvestrin-tool/WaitExposed.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>

#include <stdexcept>

namespace {

void save(QWidget *widget, const QString &path)
{
    if (!widget->grab().save(path, "PNG"))
        throw Failure(QStringLiteral("cannot write %1").arg(path));
    out(path);
}

} // namespace

int designShots(QStringList args)
{
    if (args.size() != 2)
        throw std::invalid_argument("design-shots needs DESIGN.txt and DIR");
    TestDesign design;
    LoadDesignFile(design, args[0]);
    const QDir dir(args[1]);
    if (!dir.mkpath(QStringLiteral(".")))
        throw Failure(QStringLiteral("cannot create %1").arg(args[1]));

    QtPrompts prompts;
    TPagesDlg dlg(design, prompts, CapsLock(), DataFolder::current());
    dlg.show();
    if (!waitExposed(&dlg))
        throw Failure(QStringLiteral("the dialog never showed"));
    auto *pages = dlg.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    const QStringList names{QStringLiteral("zadaci"), QStringLiteral("rjesenja"), QStringLiteral("parametri")};
    for (int i = 0; i < names.size(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        save(&dlg, dir.filePath(QStringLiteral("design-%1.png").arg(names[i])));
    }

    pages->setCurrentIndex(0);
    auto *list = dlg.findChild<QListWidget *>(QStringLiteral("Lista_podrazaja"));
    if (list->count() > 0)
        list->setCurrentRow(0);
    Q_EMIT list->customContextMenuRequested(QPoint(20, 20));
    auto *popup = dlg.findChild<QMenu *>(QStringLiteral("Popup"));
    if (!waitExposed(popup))
        throw Failure(QStringLiteral("the popup never showed"));
    save(popup, dir.filePath(QStringLiteral("design-popup.png")));
    popup->close();
    // The pictures are all this command is for: no closing checks.
    dlg.hide();
    return 0;
}
