#pragma once

// The group results window: browses, edits, queries and exports the stored tests.

#include <QDialog>

class Prompts;

class TForm9 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm9(Prompts &prompts, QWidget *parent = nullptr);

    // The read-only state, as its "Zaključaj" command leaves it. Unlocked at
    // creation; the main window locks it before every opening.
    void Lock();
    bool isLocked() const { return m_locked; }

private:
    Prompts &m_prompts;
    bool m_locked = false;
};
