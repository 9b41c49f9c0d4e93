#pragma once

// The main window: the start-up sequence, the four buttons that open the
// program's areas as modal windows, and the security lock with its password
// box. It runs the database start-up step.

#include <QSize>
#include <QWidget>

class PasswordBox;
class PictureArea;
class Prompts;
class QDialog;
class QLabel;
class QPushButton;
class QTimer;
class SessionState;
struct Services;
class TestDesign;
class TForm1;
class TForm9;
class TPagesDlg;
class TRezultati;

class TMain_Form : public QWidget
{
    Q_OBJECT
public:
    // The windows the four buttons open; created after the main window.
    struct Areas
    {
        TPagesDlg *design = nullptr;
        TForm1 *test = nullptr;
        TRezultati *results = nullptr;
        TForm9 *groupResults = nullptr;
    };

    static constexpr int PictureSize = 550;
    static constexpr int LastStartupStep = 6;

    inline static const QString ScreenTooSmallText =
        QStringLiteral("Radna rezolucija ekrana za ovaj program mora biti minimalno 800 x 600 pixela! Podesite ju na "
                       "minimalno ove vrijednosti! (Desktop --> Properties --> Settings --> Screen Resolution)");
    inline static const QString NoDatabaseText =
        QStringLiteral("Program se ne može spojiti s Kalvestrin.mdb bazom podataka jer ona nije u prisutna u radnom "
                       "direktoriju programa! Nećete moći snimati rezultate testiranja u bazu podataka niti pristupati "
                       "bazi podataka tijekom rada programa!");

    // Runs the creation step: may show the screen and database messages.
    // The services (prompts, screen size, help, database, data folder) must
    // outlive the window.
    TMain_Form(TestDesign &design, SessionState &session, const Services &services, QWidget *parent = nullptr);
    ~TMain_Form() override;

    void setAreas(const Areas &areas);

    // Hides and empties the password box; offers only "Testiranje" while
    // the design's security mode is on, all four buttons otherwise.
    void ApplySecurityMode();

    // One tick of the start-up sequence (the timer calls it every second).
    void TimerTimer();

    bool databaseOpen() const { return m_databaseOpen; }

    void Speed1Click();
    void Speed2Click();
    void Speed3Click();
    void Speed4Click();

Q_SIGNALS:
    // The start-up sequence has ended; the buttons are there.
    void startupFinished();
    // "Podaci" is about to open the group results window.
    void groupResultsOpening();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createLabelAndPicture();
    void createButtons();
    void createPasswordBox();
    void createTimer();
    void FormCreate();
    void FormResize();
    void EditEntered(const QString &text);
    void showPasswordBox();
    void centreLabel();
    void paintStartupPicture();
    bool securityOff() const;
    QSize screenSize() const;
    static void openModal(QDialog *window);

    TestDesign &m_design;
    SessionState &m_session;
    const Services &m_services;
    Prompts &m_prompts;
    Areas m_areas;

    bool m_databaseOpen = false;
    qint8 m_step = 0;

    QLabel *m_label = nullptr;
    PictureArea *m_image = nullptr;
    QPushButton *m_speed[4] = {};
    PasswordBox *m_edit = nullptr;
    QTimer *m_timer = nullptr;
    bool m_watchingScreen = false;
};
