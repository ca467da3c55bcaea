#include "ReadingProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QWidget>

namespace {
constexpr int kSteps = 1000; // the dialog's range: qint64 totals do not fit its int
} // namespace

ReadingProgress::ReadingProgress(QWidget* window, std::chrono::milliseconds showAfter)
    : m_window(window), m_showAfter(showAfter)
{
}

ReadingProgress::~ReadingProgress() = default;

bool ReadingProgress::operator()(const QString& what, qint64 done, qint64 total)
{
    if (done <= 0) {
        m_since.start();
        m_events.start();
        m_cancelled = false;
    }
    if (done >= total) {
        m_dialog.reset();
        return !m_cancelled;
    }
    if (!m_dialog && m_window && m_since.isValid() && m_since.elapsed() >= m_showAfter.count()) {
        m_dialog = std::make_unique<QProgressDialog>(
            what + QStringLiteral("..."), QCoreApplication::translate("frmKestrelux", "Cancel"), 0,
            kSteps, m_window);
        m_dialog->setObjectName(QStringLiteral("frmReading"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }
    if (m_dialog) {
        m_dialog->setLabelText(what + QStringLiteral("..."));
        m_dialog->setValue(
            int(qBound<qint64>(0, done * kSteps / qMax<qint64>(1, total), qint64(kSteps))));
    }
    if (!m_events.isValid() || m_events.elapsed() >= kEventsEvery.count()) {
        // Before the dialog blocks the window, its input waits for the end.
        QCoreApplication::processEvents(m_dialog ? QEventLoop::AllEvents
                                                 : QEventLoop::ExcludeUserInputEvents);
        m_events.start();
    }
    m_cancelled = m_cancelled || (m_dialog && m_dialog->wasCanceled());
    return !m_cancelled;
}
