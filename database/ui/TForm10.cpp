#include "database/ui/TForm10.h"

TForm10::TForm10(Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Kalvestrin. SQL forma"));
    resize(640, 400);
}
