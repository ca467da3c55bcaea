#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <chrono>
#include <memory>

class QProgressDialog;
class QWidget;

/*
 * How a long reading of a suite shows on its window, as the suite's progress
 * (kx::SuiteProgress). Events keep running every few milliseconds, so the
 * window repaints and its timers tick, while what the user types or clicks
 * waits until the reading is over; once the reading has taken half a second
 * a progress dialog with its Cancel button comes up, modal to the window,
 * so nothing else can start meanwhile.
 */
class ReadingProgress
{
public:
    static constexpr std::chrono::milliseconds kShowAfter{500};
    static constexpr std::chrono::milliseconds kEventsEvery{15};

    explicit ReadingProgress(QWidget* window, std::chrono::milliseconds showAfter = kShowAfter);
    ~ReadingProgress();
    ReadingProgress(const ReadingProgress&) = delete;
    ReadingProgress& operator=(const ReadingProgress&) = delete;

    /// The reading's report; false once the user has pressed Cancel.
    bool operator()(const QString& what, qint64 done, qint64 total);
    /// The dialog, while it shows; null otherwise.
    QProgressDialog* dialog() const { return m_dialog.get(); }

private:
    QPointer<QWidget> m_window;
    std::chrono::milliseconds m_showAfter;
    QElapsedTimer m_since;
    QElapsedTimer m_events;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};
