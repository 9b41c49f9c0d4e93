#include "session/StartChecks.h"

#include "design/TestDesign.h"

#include <QFileInfo>

#include <cmath>

namespace {

const QString NoLevels =
    QStringLiteral("Niste definirali maskirne razine u listi maskirnih razina, stoga se testiranje ne može izvršiti!");
const QString BadLevel = QStringLiteral(
    "Maskirne razine nisu ispravno zadane! U listi maskirnih razina pronađeni su nedopušteni identifikatori!");
const QString NoTasks =
    QStringLiteral("Niste definirali zadatke u Kalvestrin nacrtu, stoga se testiranje ne može izvršiti!");
const QString TaskCount = QStringLiteral(
    "Broj zadataka u Kalvestrin nacrtu smije biti unutar intervala 2..1000. Testiranje se ne može provesti!");
const QString MissingPicture =
    QStringLiteral("U listi podražaja pronađena je batem jedna datoteka koja ne postoji! Stoga se testiranje ne "
                   "može provesti! Provjerite datoteku: ");
const QString LevelOrder = QStringLiteral(
    "Lista maskirnih razina mora biti ići od većih numeričkih vrijednosti ka nižim te mora završavati s maskirnom "
    "razinom 1 (slika bez maske)! Popravite argumente unutar liste maskirnih razina da bi se moglo izvršiti "
    "testiranje!");

void add(QList<StartMessage> *messages, StartMessage::Kind kind, const QString &text)
{
    if (messages)
        messages->append({kind, text});
}

} // namespace

bool ValidateMaskLevels(const QStringList &levels, QList<StartMessage> *messages)
{
    if (levels.isEmpty()) {
        add(messages, StartMessage::Kind::Error, NoLevels);
        return false;
    }
    // Entries are converted only as the comparison reaches them, so a bad
    // entry after the first out-of-order one is never reported.
    auto value = [&](int k, int *v) {
        bool ok = false;
        *v = levels[k].trimmed().toInt(&ok);
        if (!ok)
            add(messages, StartMessage::Kind::Error, BadLevel);
        return ok;
    };
    int prev = 0;
    if (!value(0, &prev))
        return false;
    for (int k = 1; k < levels.size(); ++k) {
        int cur = 0;
        if (!value(k, &cur))
            return false;
        if (cur >= prev || cur < 1)
            return false;
        prev = cur;
    }
    return prev == 1;
}

QList<StartMessage> StartChecks(const TestDesign &design)
{
    QList<StartMessage> messages;
    const int n = design.taskCount();
    if (n < 1) {
        add(&messages, StartMessage::Kind::Warning, NoTasks);
        return messages;
    }
    if (n < 2 || n > TestDesign::MaxTasks) {
        add(&messages, StartMessage::Kind::Error, TaskCount);
        return messages;
    }
    for (const QString &path : design.stimuli) {
        if (!QFileInfo(path).isFile()) {
            add(&messages, StartMessage::Kind::Warning, MissingPicture + path);
            return messages;
        }
    }
    if (!ValidateMaskLevels(design.maskLevels, &messages))
        add(&messages, StartMessage::Kind::Error, LevelOrder);
    return messages;
}

QString DisplayScaleWarning(double devicePixelRatio)
{
    if (qFuzzyCompare(devicePixelRatio, 1.0))
        return {};
    // Pictures are drawn one picture pixel per device pixel, so a scaled
    // desktop shows them smaller than its other windows, and a fractional
    // scale leaves the window to be resampled on its way to the screen.
    QString text = QStringLiteral("Zaslon je skaliran (omjer piksela %1): slike će izgledati manje nego na "
                                  "neskaliranom zaslonu.")
                       .arg(QString::number(devicePixelRatio, 'g', 4).replace(QLatin1Char('.'), QLatin1Char(',')));
    if (!qFuzzyCompare(devicePixelRatio, std::round(devicePixelRatio)))
        text += QStringLiteral(" Uz necijeli omjer slike možda neće biti prikazane točno piksel za piksel.");
    return text + QStringLiteral(" Za usporedive rezultate postavite skaliranje zaslona na 100 %. "
                                 "Testiranje se ipak može nastaviti.");
}
