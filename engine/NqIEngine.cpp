#include "NqIEngine.h"

#include "NqChildReaper.h"
#include "NqCommandLine.h"
#include "NqEngineLimits.h"
#include "NqEngineProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <climits>
#include <cmath>
#include <utility>

namespace Ostravin {

namespace {

const QString kTimePollingKey = QStringLiteral("TimePolling");
const QString kPathEngineKey = QStringLiteral("PathEngine");
const QString kTagKey = QStringLiteral("Tag");
constexpr qint32 kDefaultTimePolling = 10;

// 435 twips at 15 twips per pixel.
constexpr int kSizePixels = 29;

// Nearest whole millisecond, halves to even; values outside the timer's
// range are held to it (a negative interval means no polling).
qint32 toInterval(double milliseconds)
{
    if (!(milliseconds > 0))
        return 0;
    if (milliseconds >= double(INT_MAX))
        return INT_MAX;
    return qint32(std::nearbyint(milliseconds));
}

// Engine line ends are LF: every CR (or run of CRs) before an LF goes, and an
// LF is added when the text does not end with one.
QByteArray withLineEnds(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    QByteArray out;
    out.reserve(bytes.size() + 1);
    for (const char byte : bytes) {
        if (byte == '\n') {
            while (out.endsWith('\r'))
                out.chop(1);
        }
        out.append(byte);
    }
    while (out.endsWith('\r'))
        out.chop(1);
    if (!out.endsWith('\n'))
        out.append('\n');
    return out;
}

} // namespace

NqIEngine::NqIEngine(QWidget* parent)
    : QWidget(parent), m_timerForRead(new QTimer(this)), m_reaper(new NqChildReaper(this))
{
    setFixedSize(kSizePixels, kSizePixels);
    hide();
    m_timerForRead->setObjectName(QStringLiteral("TimerForRead"));
    m_timerForRead->setInterval(kDefaultTimePolling);
    connect(m_timerForRead, &QTimer::timeout, this, &NqIEngine::TimerForRead_Timer);
}

NqIEngine::~NqIEngine()
{
    ++m_generation;
    m_process.reset(); // kills and reaps the engine before the host goes on
}

bool NqIEngine::StartEngine()
{
    // A held engine would otherwise be lost, still running.
    CloseEngine();
    m_process = NqEngineProcess::spawn(SplitCommandLine(m_enginePathValue));
    ++m_generation;
    m_pieceEndsLine = false;
    m_partial.clear();
    m_ready.clear();
    m_endReported = false;
    updatePolling();
    return EngineStarted();
}

void NqIEngine::CloseEngine()
{
    releaseEngine(std::chrono::milliseconds::zero());
}

qint32 NqIEngine::WriteToEngine(const QString& strWrite)
{
    if (!m_process)
        return 0;
    const qint64 accepted = m_process->write(withLineEnds(strWrite));
    // The engine is expected to end by itself; the reaper sees to it if it does not.
    if (accepted > 0 && strWrite.toUpper().contains(u"QUIT"))
        releaseEngine(kQuitGrace);
    return qint32(qMin<qint64>(accepted, INT_MAX));
}

QString NqIEngine::PathEngine() const
{
    return m_enginePathValue;
}

void NqIEngine::setPathEngine(const QString& vNewPath)
{
    m_enginePathValue = vNewPath;
    emit PropertyChanged(kPathEngineKey);
}

qint32 NqIEngine::TimePolling() const
{
    return m_timerForRead->interval();
}

void NqIEngine::setTimePolling(double vNewTimePolling)
{
    m_timerForRead->setInterval(toInterval(vNewTimePolling));
    updatePolling();
    emit PropertyChanged(kTimePollingKey);
}

bool NqIEngine::EngineStarted() const
{
    return m_process != nullptr;
}

bool NqIEngine::AllLinesPerTick() const
{
    return m_allLinesPerTick;
}

void NqIEngine::setAllLinesPerTick(bool vNewAllLinesPerTick)
{
    m_allLinesPerTick = vNewAllLinesPerTick;
}

QString NqIEngine::Tag() const
{
    return m_tag;
}

void NqIEngine::setTag(const QString& vNewTag)
{
    m_tag = vNewTag;
    emit PropertyChanged(kTagKey);
}

void NqIEngine::InitProperties()
{
    m_enginePathValue.clear();
    m_tag.clear();
    m_timerForRead->setInterval(kDefaultTimePolling);
    updatePolling();
}

void NqIEngine::ReadProperties(const NqPropertyBag& PropBag)
{
    setTimePolling(PropBag.ReadProperty(kTimePollingKey, kDefaultTimePolling).toDouble());
    setPathEngine(PropBag.ReadProperty(kPathEngineKey, QString()).toString());
    setTag(PropBag.ReadProperty(kTagKey, QString()).toString());
}

void NqIEngine::WriteProperties(NqPropertyBag& PropBag) const
{
    PropBag.WriteProperty(kTimePollingKey, TimePolling());
    PropBag.WriteProperty(kPathEngineKey, m_enginePathValue, QString());
    PropBag.WriteProperty(kTagKey, m_tag, QString());
}

void NqIEngine::TimerForRead_Timer()
{
    // A host handler that restarts the timer while a read lets events run
    // could bring a second tick in; one reader at a time.
    if (!m_process || m_reading)
        return;
    if (m_allLinesPerTick) {
        deliverWaitingLines();
        return;
    }
    const QPointer<NqIEngine> self(this);
    m_reading = true;
    QByteArray line;
    const ReadOutcome outcome = ReadLine(line);
    if (!self)
        return;
    m_reading = false;
    if (outcome == ReadOutcome::Line)
        emit DataFromEngine(QString::fromLocal8Bit(line));
    else if (outcome == ReadOutcome::NoLine)
        reportEndOfOutput();
}

bool NqIEngine::frameByte(unsigned char byte, QByteArray& line)
{
    // LF ends a line, control characters go, and an overlong line comes in pieces.
    if (byte == '\n') {
        const bool ends = !m_pieceEndsLine;
        m_pieceEndsLine = false;
        return ends;
    }
    if (byte > 31) {
        m_pieceEndsLine = false;
        line.append(char(byte));
        if (line.size() >= kMaxLineBytes) {
            m_pieceEndsLine = true;
            return true;
        }
    }
    return false;
}

void NqIEngine::frameLines(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (frameByte(static_cast<unsigned char>(c), m_partial))
            m_ready.append(std::exchange(m_partial, {}));
    }
}

void NqIEngine::deliverWaitingLines()
{
    // A handler may let events run, close, restart or delete the control:
    // what is left then belongs to an engine no longer held.
    const QPointer<NqIEngine> self(this);
    const quint64 generation = m_generation;
    QElapsedTimer spent;
    spent.start();
    qint64 taken = 0;
    bool delivered = false;
    bool dry = false;
    m_reading = true;
    // Lines are handed over until the time budget is spent; what was read and
    // not handed over waits for the next tick (never more than one read's worth),
    // and the engine waits on the full pipe meanwhile.
    while (!spent.hasExpired(kDeliveryBudget.count())) {
        if (m_ready.isEmpty()) {
            if (dry || taken >= kMaxReadPerTick)
                break;
            const QByteArray bytes = m_process->readAvailable(kMaxLineBytes);
            taken += bytes.size();
            frameLines(bytes);
            dry = bytes.isEmpty();
            // A line the engine has not ended is handed over once a whole tick
            // has brought nothing more, as the one-line reader does when the pipe runs dry.
            if (dry && taken == 0 && !m_partial.isEmpty())
                m_ready.append(std::exchange(m_partial, {}));
            continue;
        }
        delivered = true;
        emit DataFromEngine(QString::fromLocal8Bit(m_ready.takeFirst()));
        if (!self)
            return;
        if (m_generation != generation) {
            m_reading = false;
            return;
        }
    }
    m_reading = false;
    if (dry && taken == 0 && !delivered)
        reportEndOfOutput();
}

void NqIEngine::reportEndOfOutput()
{
    if (m_endReported || !m_process->outputEnded())
        return;
    m_endReported = true;
    emit EngineOutputEnded();
}

NqIEngine::ReadOutcome NqIEngine::ReadLine(QByteArray& line)
{
    const QPointer<NqIEngine> self(this);
    const quint64 generation = m_generation;
    // After events have run, nothing of this object may be touched unless it
    // still exists and still holds the engine this read began on.
    const auto stillReading = [&] {
        return self && m_generation == generation;
    };

    line.clear();
    for (;;) {
        if (m_process->bytesAvailable() <= 0) {
            QCoreApplication::processEvents();
            if (!stillReading())
                return ReadOutcome::Abandoned;
            return line.isEmpty() ? ReadOutcome::NoLine : ReadOutcome::Line;
        }
        const int byte = m_process->readByte();
        if (byte < 0)
            return ReadOutcome::NoLine;
        if (frameByte(static_cast<unsigned char>(byte), line))
            return ReadOutcome::Line;
        QCoreApplication::processEvents();
        if (!stillReading())
            return ReadOutcome::Abandoned;
    }
}

void NqIEngine::releaseEngine(std::chrono::milliseconds grace)
{
    if (!m_process)
        return;
    ++m_generation;
    m_pieceEndsLine = false;
    m_partial.clear();
    m_ready.clear();
    m_reaper->adopt(std::move(m_process), grace);
    updatePolling();
}

void NqIEngine::updatePolling()
{
    if (m_process && m_timerForRead->interval() > 0)
        m_timerForRead->start();
    else
        m_timerForRead->stop();
}

} // namespace Ostravin
