#pragma once

// The SQL query window: runs the examiner's select statements over the stored tests.

#include <QDialog>

class Prompts;

class TForm10 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm10(Prompts &prompts, QWidget *parent = nullptr);

private:
    Prompts &m_prompts;
};
