#include "database/ui/NormGroupsWindow.h"

#include "common/Clock.h"
#include "common/NumberText.h"
#include "common/SafeFile.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "database/NormFilter.h"
#include "database/NormStore.h"
#include "database/ResultsDatabase.h"
#include "results/NormCsv.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int HelpContext = 60;
const QString CsvFilter = QStringLiteral("CSV datoteke (*.csv)|*.csv|Sve datoteke (*.*)|*.*");

// Object name and caption of each filter box, in the order of the form.
const char *const Edits[][2] = {{"Naziv", "Naziv skupine:"},
                                {"DobOd", "Dob od:"},
                                {"DobDo", "Dob do:"},
                                {"Polje1", "Polje1 sadrži:"},
                                {"Polje2", "Polje2 sadrži:"},
                                {"Polje3", "Polje3 sadrži:"},
                                {"DatumOd", "Testirani od (GGGG-MM-DD):"},
                                {"DatumDo", "Testirani do (GGGG-MM-DD):"},
                                {"Nacrt", "Nacrt (SHA-256):"}};

} // namespace

NormGroupsWindow::NormGroupsWindow(ResultsDatabase &con, Prompts &prompts, const Clock &clock,
                                   const QString &dataFolder, QWidget *parent)
    : QDialog(parent)
    , m_con(con)
    , m_prompts(prompts)
    , m_clock(clock)
    , m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("NormGroups"));
    setWindowTitle(QStringLiteral("Kalvestrin. Normne skupine"));
    resize(760, 460);
    createForm();
    createButtons();
    ContextHelp::setHelpContext(this, HelpContext);
    ContextHelp::installRoute(this);
}

void NormGroupsWindow::createForm()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    layout->addLayout(top, 1);
    auto *left = new QVBoxLayout;
    top->addLayout(left, 1);
    left->addWidget(new QLabel(QStringLiteral("Spremljene normne skupine:"), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("Lista_normi"));
    left->addWidget(m_list, 1);
    m_details = new QLabel(this);
    m_details->setObjectName(QStringLiteral("Opis"));
    m_details->setWordWrap(true);
    left->addWidget(m_details);
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this] { GeneralErrorHandler::runCommand([this] { showDetails(); }); });

    auto *form = new QFormLayout;
    top->addLayout(form, 1);
    for (const auto &edit : Edits) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QLatin1String(edit[0]));
        form->addRow(QString::fromUtf8(edit[1]), box);
        m_edits << box;
        if (qstrcmp(edit[0], "DobDo") == 0) {
            m_gender = new QComboBox(this);
            m_gender->setObjectName(QStringLiteral("Spol"));
            m_gender->addItems({QStringLiteral("bilo koji"), QStringLiteral("Ženski"), QStringLiteral("Muški")});
            form->addRow(QStringLiteral("Spol:"), m_gender);
        }
    }
}

void NormGroupsWindow::createButtons()
{
    auto *row = new QHBoxLayout;
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    const char *const captions[] = {"Izračunaj i spremi", "Preimenuj", "Obriši", "Izvoz CSV", "Uvoz CSV", "Zatvori"};
    void (NormGroupsWindow::*handlers[])() = {&NormGroupsWindow::Btn1Click, &NormGroupsWindow::Btn2Click,
                                              &NormGroupsWindow::Btn3Click, &NormGroupsWindow::Btn4Click,
                                              &NormGroupsWindow::Btn5Click};
    for (int i = 0; i < 6; ++i) {
        auto *button = new QPushButton(QString::fromUtf8(captions[i]), this);
        button->setObjectName(QStringLiteral("Btn%1").arg(i + 1));
        button->setAutoDefault(false);
        row->addWidget(button);
        if (i < 5)
            connectCommand(button, &QPushButton::clicked, this, handlers[i]);
        else
            connect(button, &QPushButton::clicked, this, &QDialog::accept);
    }
}

QLineEdit *NormGroupsWindow::edit(const QString &objectName) const
{
    for (QLineEdit *e : m_edits) {
        if (e->objectName() == objectName)
            return e;
    }
    return nullptr;
}

void NormGroupsWindow::refresh(const QString &current)
{
    m_list->clear();
    if (m_con.isOpen())
        m_list->addItems(NormStore(m_con).names());
    const QList<QListWidgetItem *> found = m_list->findItems(current, Qt::MatchExactly);
    m_list->setCurrentRow(found.isEmpty() ? (m_list->count() > 0 ? 0 : -1) : m_list->row(found.first()));
    showDetails();
}

QString NormGroupsWindow::selected() const
{
    return m_list->currentItem() ? m_list->currentItem()->text() : QString();
}

void NormGroupsWindow::showDetails()
{
    const QString name = selected();
    if (name.isEmpty() || !m_con.isOpen()) {
        m_details->clear();
        return;
    }
    const NormGroup g = NormStore(m_con).load(name);
    QString text = QStringLiteral("n = %1; M = %2; sd = %3\n%4")
                       .arg(g.n)
                       .arg(G(g.mean, QLatin1Char('.')), G(g.sd, QLatin1Char('.')), g.definition);
    if (g.isSmall())
        text += QStringLiteral("\nOprez: manje od %1 testiranja.").arg(NormGroup::SmallGroup);
    m_details->setText(text);
}

bool NormGroupsWindow::readFilter(NormFilter &f)
{
    for (const char *name : {"DobOd", "DobDo"}) {
        const QString text = edit(QLatin1String(name))->text().trimmed();
        bool ok = true;
        const int age = text.toInt(&ok);
        if (!text.isEmpty() && !ok) {
            m_prompts.warning(QStringLiteral("Dob \"%1\" nije cijeli broj.").arg(text));
            return false;
        }
        if (!text.isEmpty())
            (qstrcmp(name, "DobOd") == 0 ? f.ageFrom : f.ageTo) = age;
    }
    for (const char *name : {"DatumOd", "DatumDo"}) {
        const QString text = edit(QLatin1String(name))->text().trimmed();
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!text.isEmpty() && !date.isValid()) {
            m_prompts.warning(QStringLiteral("Datum \"%1\" nije u obliku GGGG-MM-DD.").arg(text));
            return false;
        }
        (qstrcmp(name, "DatumOd") == 0 ? f.from : f.to) = date;
    }
    f.gender = m_gender->currentIndex() - 1;
    f.field1 = edit(QStringLiteral("Polje1"))->text();
    f.field2 = edit(QStringLiteral("Polje2"))->text();
    f.field3 = edit(QStringLiteral("Polje3"))->text();
    f.designSha256 = edit(QStringLiteral("Nacrt"))->text().trimmed();
    return true;
}

QString NormGroupsWindow::requireName()
{
    const QString name = edit(QStringLiteral("Naziv"))->text().trimmed();
    if (name.isEmpty())
        m_prompts.warning(QStringLiteral("Upišite naziv normne skupine."));
    return name;
}

void NormGroupsWindow::Btn1Click()
{
    NormFilter filter;
    const QString name = requireName();
    if (name.isEmpty() || !readFilter(filter))
        return;
    NormStore store(m_con);
    store.add(store.compute(name, filter), m_clock.now().toUTC());
    refresh(name);
}

void NormGroupsWindow::Btn2Click()
{
    const QString name = selected();
    const QString newName = name.isEmpty() ? QString() : requireName();
    if (newName.isEmpty())
        return;
    NormStore(m_con).rename(name, newName);
    refresh(newName);
}

void NormGroupsWindow::Btn3Click()
{
    const QString name = selected();
    if (name.isEmpty() || !m_prompts.question(QStringLiteral("Želite li obrisati normnu skupinu \"%1\"?").arg(name)))
        return;
    NormStore(m_con).remove(name);
    refresh();
}

FileDialogRequest NormGroupsWindow::csvRequest(const QString &title) const
{
    FileDialogRequest request;
    request.title = title;
    request.filters = FileDialogRequest::parseFilter(CsvFilter);
    request.defaultExtension = QStringLiteral("csv");
    request.directory = m_dataFolder;
    request.role = QStringLiteral("norms");
    return request;
}

void NormGroupsWindow::Btn4Click()
{
    const QString name = selected();
    if (name.isEmpty())
        return;
    FileDialogRequest request = csvRequest(QStringLiteral("Izvoz normne skupine"));
    request.fileName = name;
    const QString path = m_prompts.saveFile(request);
    if (!path.isEmpty())
        writeFileAtomically(path, NormCsv::write(NormStore(m_con).load(name)));
}

void NormGroupsWindow::Btn5Click()
{
    FileDialogRequest request = csvRequest(QStringLiteral("Uvoz normne skupine"));
    request.confirmOverwrite = false;
    const QString path = m_prompts.openFile(request);
    if (path.isEmpty())
        return;
    QString name = edit(QStringLiteral("Naziv"))->text().trimmed();
    if (name.isEmpty())
        name = QFileInfo(path).completeBaseName();
    NormStore(m_con).add(NormCsv::read(readWholeFile(path), name), m_clock.now().toUTC());
    refresh(name);
}
