// The test window's side of the session journal: naming each new test,
// journalling it as it runs, and continuing one the journal rebuilt.

#include "session/JournalRecorder.h"
#include "session/ui/TForm1.h"

#include "common/ui/Prompts.h"
#include "common/ui/X11Connection.h"
#include "design/TestDesign.h"
#include "session/SessionState.h"
#include "session/ui/SubjectForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <QTimer>

void TForm1::setJournal(SessionJournal *journal)
{
    m_sequence.setRecorder(nullptr);
    m_recorder.reset();
    if (!journal)
        return;
    m_recorder = std::make_unique<JournalRecorder>(*journal, m_design, [this](const QString &text) {
        m_prompts.warning(text + QStringLiteral(" Testiranje se nastavlja, ali ga nakon prekida programa neće "
                                                "biti moguće nastaviti."));
    });
    m_sequence.setRecorder(m_recorder.get());
}

void TForm1::identifySession()
{
    SessionInfo &info = m_session.info;
    info = SessionInfo();
    info.uuid = QUuid::createUuid();
    info.station = QSysInfo::machineHostName();
    info.designPath = m_design.fileName;
    info.designSha256 = m_design.fileSha256;
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    info.screenSize = screen ? screen->size() : QSize();
    info.devicePixelRatio = devicePixelRatioF();
    info.refreshRate = screen ? screen->refreshRate() : 0;
    const std::optional<bool> compositor = m_compositorProbe ? m_compositorProbe() : x11CompositorRunning();
    if (compositor)
        info.compositor = *compositor ? SessionInfo::Compositor::Yes : SessionInfo::Compositor::No;
    if (m_recorder)
        m_recorder->setTest(info.uuid, subject());
}

void TForm1::Resume(const JournalTest &test)
{
    ResumePlan plan = ResumePlan::of(test);
    // The design it began with; the lock of the program stays as it is.
    const bool securityMode = m_design.securityMode;
    const QString password = m_design.password;
    m_design = test.design;
    m_design.securityMode = securityMode;
    m_design.password = password;

    m_subjectForm->setSubject(test.subject);
    if (m_recorder)
        m_recorder->setTest(test.info.uuid, test.subject);
    m_resumeLeadNs = test.leadNs;
    m_resume = std::move(plan);
}

void TForm1::continueResumed()
{
    m_subjectForm->hide();
    m_answerBar->show();
    // Once the window is on screen, so the first picture is drawn into it.
    QTimer::singleShot(0, this, [this] {
        if (!m_resume)
            return;
        const ResumePlan plan = std::move(*m_resume);
        m_resume.reset();
        runStep([&] { m_sequence.Continue(plan.state, m_resumeLeadNs); });
    });
}
