#pragma once

// Page "Zadaci" of the design dialog: the stimulus list with its popup menu
// (mask colours, saving and loading designs) and the masking levels.

#include <QWidget>

class Prompts;
class QAction;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
class StimulusList;
class TestDesign;

class TasksPage : public QWidget
{
    Q_OBJECT
public:
    // The choosers of designs start in the data folder's "Paradigme".
    TasksPage(TestDesign &design, Prompts &prompts, QString dataFolder, QWidget *parent = nullptr);

    // Shows the design afresh.
    void refresh();
    QWidget *firstControl() const;

    void UbaciPodrazajClick();
    void IzbaciPodrazajClick();
    void SpeedButton1Click();
    void Lista_podrazajaClick();
    // Puts the entry dragged from `source` at the index of the entry under
    // `target` (viewport coordinates); empty space, the entry itself or another
    // source: nothing.
    void Lista_podrazajaDragDrop(QObject *source, const QPoint &target);
    void UbaciMaskuClick();
    void IzbaciMaskuClick();
    void SpeedButton2Click();
    void Lista_maskiClick();

    // Sets the popup's items for the current design and selection.
    void PopupPopup();
    void Item1Click();
    void Item2Click();
    void Item3Click();
    void Item4Click();

Q_SIGNALS:
    // A design file replaced the task description: every page shows it afresh.
    void designLoaded();

private:
    QVBoxLayout *createStimulusList();
    QHBoxLayout *createStimulusButtons();
    QVBoxLayout *createLevels();
    void createPopup();
    void showTaskCount();
    int selectedStimulus() const;
    void openPopup(const QPoint &position);

    TestDesign &m_design;
    Prompts &m_prompts;
    QString m_dataFolder;
    StimulusList *m_stimuli = nullptr;
    QPushButton *m_removeStimulus = nullptr;
    QLabel *m_taskCount = nullptr;
    QListWidget *m_levels = nullptr;
    QSpinBox *m_level = nullptr;
    QPushButton *m_removeLevels = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_maskColour = nullptr;
    QAction *m_saveDesign = nullptr;
    QAction *m_loadDesign = nullptr;
    QAction *m_cloneMask = nullptr;
};
