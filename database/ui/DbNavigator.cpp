#include "database/ui/DbNavigator.h"

#include <QStyle>
#include <QToolButton>

DbNavigator::DbNavigator(QWidget *parent)
    : QWidget(parent)
{
    const QString hints[ButtonCount] = {QStringLiteral("Prvi zapis"),        QStringLiteral("Prethodni zapis"),
                                        QStringLiteral("Sljedeći zapis"),    QStringLiteral("Posljednji zapis"),
                                        QStringLiteral("Novi zapis"),        QStringLiteral("Brisanje zapisa"),
                                        QStringLiteral("Editiranje zapisa"), QStringLiteral("Snimanje zapisa"),
                                        QStringLiteral("Otkaži promjene"),   QStringLiteral("Osvježi podatke")};
    const QString glyphs[ButtonCount] = {
        QStringLiteral("|◀"), QStringLiteral("◀"), QStringLiteral("▶"), QStringLiteral("▶|"), QStringLiteral("+"),
        QStringLiteral("−"),  QStringLiteral("▲"), QStringLiteral("✓"), QStringLiteral("✕"),  QStringLiteral("↻")};
    for (int b = 0; b < ButtonCount; ++b) {
        auto *button = new QToolButton(this);
        button->setText(glyphs[b]);
        button->setToolTip(hints[b]);
        button->setObjectName(QStringLiteral("nav%1").arg(b + 1));
        // Clicking takes the focus, so a cell being typed is committed first.
        button->setFocusPolicy(Qt::StrongFocus);
        connect(button, &QToolButton::clicked, this, [this, b] { Q_EMIT clicked(b); });
        m_buttons[b] = button;
    }
}

void DbNavigator::setEditingShown(bool shown)
{
    for (int b : {Insert, Delete, Edit, Post, Cancel})
        m_buttons[b]->setVisible(shown);
    layoutButtons();
}

void DbNavigator::updateStates(bool open, bool editable, bool editing, bool atFirst, bool atLast)
{
    m_buttons[First]->setEnabled(open && !atFirst);
    m_buttons[Prior]->setEnabled(open && !atFirst);
    m_buttons[Next]->setEnabled(open && !atLast);
    m_buttons[Last]->setEnabled(open && !atLast);
    m_buttons[Insert]->setEnabled(editable);
    m_buttons[Delete]->setEnabled(editable);
    m_buttons[Edit]->setEnabled(editable && !editing);
    m_buttons[Post]->setEnabled(editable && editing);
    m_buttons[Cancel]->setEnabled(editable && editing);
    m_buttons[Refresh]->setEnabled(open);
}

void DbNavigator::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}

// The visible buttons share the width equally.
void DbNavigator::layoutButtons()
{
    QList<QToolButton *> shown;
    for (QToolButton *button : m_buttons) {
        if (!button->isHidden())
            shown << button;
    }
    if (shown.isEmpty())
        return;
    const int n = int(shown.size());
    for (int i = 0; i < n; ++i) {
        const int left = width() * i / n;
        shown[i]->setGeometry(left, 0, width() * (i + 1) / n - left, height());
    }
}
