#pragma once

// The individual results window: shows one finished or reloaded test, saves,
// reloads and prints it.

#include <QDialog>

class Prompts;

class TRezultati : public QDialog
{
    Q_OBJECT
public:
    explicit TRezultati(Prompts &prompts, QWidget *parent = nullptr);

private:
    Prompts &m_prompts;
};
