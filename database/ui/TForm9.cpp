#include "database/ui/TForm9.h"

TForm9::TForm9(Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Kalvestrin. Forma grupnih rezultata"));
    resize(800, 578);
}

void TForm9::Lock()
{
    m_locked = true;
}
