#pragma once

#include "EngineDialogue.h"

#include <QCoreApplication>

/*
 * The xboard protocol's side of an analysis: "xboard" and "protover 2", the
 * engine's features (an engine that announces none is given the wait and then
 * taken as it is), the position by setboard or in edit mode, "analyze", and
 * one status request "." out at a time, each answer asking for the next.
 * Leaving analysis is one "exit"; the engine is closed without a word, since
 * the engine control ends it.
 */
class XboardDialogue : public EngineDialogue
{
    Q_DECLARE_TR_FUNCTIONS(XboardDialogue)

public:
    XboardDialogue(Send send, std::chrono::milliseconds featureWait);

    QString tried() const override;
    Opening open() override;
    Opening opening(const QString& line) override;
    Opening waitOver() override;
    void analyse(const QString& fen) override;
    Reading read(const QString& line) override;
    bool leaveAnalysis() override;
    void close() override {}

    /// True once the engine has announced a feature: it speaks xboard.
    bool heardFeatures() const { return m_heardFeatures; }

private:
    /// The engine's report of an error to the user, in plain words; "" for any other line.
    static QString userError(const QString& line);
    void answerWithStatusRequest(const QString& line);

    std::chrono::milliseconds m_featureWait;
    kx::EngineFeatures m_features;
    bool m_heardFeatures = false;
    bool m_statusPending = false;  // a "." is waiting for its answer
    bool m_statusRejected = false; // the engine refuses "."
    bool m_exitSent = false;
};
