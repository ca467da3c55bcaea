#pragma once

#include "NqPropertyBag.h"
#include "ostravin_export.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QWidget>

#include <chrono>
#include <memory>

class QTimer;

namespace Ostravin {

class NqChildReaper;
class NqEngineProcess;

/*
 * Runs a text-mode engine program as a child process and turns its output
 * into one DataFromEngine event per line, read by a polling timer on the
 * window thread. It knows nothing of chess; the only command it looks at is
 * one containing "QUIT". Invisible at run time; it keeps itself 29 x 29 pixels.
 * The reader lets window events run between bytes, so a host handler may
 * close, restart or even delete the control in the middle of a read; the
 * reader notices and stops without touching what has gone.
 */
class OSTRAVIN_EXPORT NqIEngine : public QWidget
{
    Q_OBJECT

public:
    explicit NqIEngine(QWidget* parent = nullptr);
    ~NqIEngine() override;

    /// Starts PathEngine; true when the process runs.
    bool StartEngine();
    /// Terminates the engine (if any) and releases its pipes.
    void CloseEngine();
    /// Sends one command (LF added when missing); the number of bytes written.
    qint32 WriteToEngine(const QString& strWrite);

    QString PathEngine() const;
    void setPathEngine(const QString& vNewPath);

    qint32 TimePolling() const;
    void setTimePolling(double vNewTimePolling);

    bool EngineStarted() const;

    /// Off (the default): one line per polling tick. On: every complete line
    /// waiting at a tick, so a fast engine is shown as quickly as it prints (as
    /// many as fit in kDeliveryBudget; the others come at the next tick).
    /// A host choice, not saved with the other properties.
    bool AllLinesPerTick() const;
    void setAllLinesPerTick(bool vNewAllLinesPerTick);

    QString Tag() const;
    void setTag(const QString& vNewTag);

    // Persistence hooks called by the host.
    void InitProperties();
    void ReadProperties(const NqPropertyBag& PropBag);
    void WriteProperties(NqPropertyBag& PropBag) const;

signals:
    void DataFromEngine(QString strRead);
    /// The engine's output has ended (it exited or closed it) and every line
    /// of it has been delivered. Raised once per started engine.
    void EngineOutputEnded();
    /// The saved state is out of date: property PropertyName changed.
    void PropertyChanged(const QString& PropertyName);

private:
    enum class ReadOutcome { NoLine, Line, Abandoned };

    void TimerForRead_Timer();
    /// One line, a piece of at most kMaxLineBytes, or the text gathered when
    /// the pipe ran dry; Abandoned when the engine or the control went away
    /// while events ran.
    ReadOutcome ReadLine(QByteArray& line);
    /// Stops using the engine; the reaper kills it after grace and reaps it.
    void releaseEngine(std::chrono::milliseconds grace);
    /// The opt-in reader: every complete line waiting, without letting events
    /// run, for as long as its time budget lasts.
    void deliverWaitingLines();
    /// Adds one output byte to line; true when that completes the line.
    bool frameByte(unsigned char byte, QByteArray& line);
    /// Cuts output bytes into lines for the opt-in reader.
    void frameLines(const QByteArray& bytes);
    void reportEndOfOutput();
    void updatePolling();

    QString m_enginePathValue;
    // The process with its pipe ends; EngineStarted is true exactly while it is held.
    std::unique_ptr<NqEngineProcess> m_process;
    QTimer* m_timerForRead;
    QString m_tag;

    NqChildReaper* m_reaper;
    // Changes whenever the held engine changes, so a reader that let events
    // run can tell that its engine is no longer the one held.
    quint64 m_generation = 0;
    bool m_reading = false;
    // The last delivery was a full piece: a line end right after it ends that
    // line instead of making an empty one.
    bool m_pieceEndsLine = false;
    bool m_allLinesPerTick = false;
    // The opt-in reader's line not yet ended by the engine, and the lines it
    // has read but not yet delivered.
    QByteArray m_partial;
    QList<QByteArray> m_ready;
    bool m_endReported = false;
};

} // namespace Ostravin
