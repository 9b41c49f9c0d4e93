#pragma once

// The small dialog that chooses the norm group a report is scored against:
// the stored groups in a drop-down list, the last choice preselected.

#include <QDialog>

class QComboBox;

class NormGroupChooser : public QDialog
{
    Q_OBJECT
public:
    NormGroupChooser(const QStringList &names, const QString &last, QWidget *parent = nullptr);

    QString chosen() const;
    QComboBox *list() const { return m_list; }

private:
    QComboBox *m_list = nullptr;
};
