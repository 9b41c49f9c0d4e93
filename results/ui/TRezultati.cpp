#include "results/ui/TRezultati.h"

TRezultati::TRezultati(Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Kalvestrin. Forma individualnih rezultata"));
    resize(800, 578);
}
