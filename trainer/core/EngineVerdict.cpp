#include "EngineVerdict.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdlib>

namespace kx {

namespace {

constexpr qint64 kMateScore = 100000; // the protocol's mate in N: 100000 + N
constexpr qint64 kMarginCentipawns = 50;
constexpr qint64 kWinningCentipawns = 300; // above: the margin is a pawn
constexpr qint64 kWinningMargin = 100;
constexpr qint64 kWonCentipawns = 500; // above: a pawn and a half
constexpr qint64 kWonMargin = 150;
constexpr qint32 kLongerMateAllowed = 2;

// Scores in one order: being mated sooner is worst, mating sooner is best.
qint64 rank(const EngineScore& score)
{
    if (score.mate > 0)
        return 2 * kMateScore - score.mate;
    if (score.mate < 0)
        return -2 * kMateScore - score.mate;
    return score.centipawns;
}

bool asGood(const EngineScore& user, const EngineScore& best)
{
    if (best.mate > 0)
        return user.mate > 0 && user.mate <= best.mate + kLongerMateAllowed;
    if (user.mate != 0 || best.mate != 0)
        return rank(user) >= rank(best) ||
               (user.mate < 0 && best.mate < 0 && user.mate <= best.mate + kLongerMateAllowed);
    const qint64 lead = std::llabs(best.centipawns);
    const qint64 margin = lead > kWonCentipawns       ? kWonMargin
                          : lead > kWinningCentipawns ? kWinningMargin
                                                      : kMarginCentipawns;
    return user.centipawns >= best.centipawns - margin;
}

} // namespace

EngineScore EngineScore::FromLine(qint64 score, bool mover)
{
    EngineScore s;
    s.known = true;
    if (score >= kMateScore)
        s.mate = qint32(qMin<qint64>(score - kMateScore, 1000));
    else if (score <= -kMateScore)
        s.mate = -qint32(qMin<qint64>(-score - kMateScore, 1000));
    else
        s.centipawns = score;
    // A mate in 0 does not arise from a search; read it as the next move's.
    if (s.mate == 0 && std::llabs(score) >= kMateScore)
        s.mate = score > 0 ? 1 : -1;
    if (!mover) {
        s.centipawns = -s.centipawns;
        s.mate = -s.mate;
    }
    return s;
}

EngineScore EngineScore::Draw()
{
    EngineScore s;
    s.known = true;
    return s;
}

QString ScoreText(const EngineScore& score)
{
    if (score.mate > 0)
        return u'#' + QString::number(score.mate);
    if (score.mate < 0)
        return QStringLiteral("-#") + QString::number(-score.mate);
    const QString pawns = QLocale().toString(double(std::llabs(score.centipawns)) / 100, 'f', 1);
    if (pawns == QLocale().toString(0.0, 'f', 1))
        return pawns;
    return (score.centipawns > 0 ? u'+' : u'-') + pawns;
}

EngineVerdict EngineVerdict::none()
{
    return {Kind::None, QCoreApplication::translate("kx", "no engine verdict")};
}

EngineVerdict EngineVerdict::pending()
{
    return {Kind::None, QCoreApplication::translate("kx", "the engine is checking...")};
}

EngineVerdict CompareScores(const EngineScore& user, const EngineScore& best,
                            const QString& refutation)
{
    if (!user.known || !best.known)
        return EngineVerdict::none();
    const QString scores = ScoreText(user) + QStringLiteral(" vs ") + ScoreText(best);
    if (asGood(user, best))
        return {EngineVerdict::Kind::Equal,
                QCoreApplication::translate("kx", "also good (%1)").arg(scores)};
    if (refutation.isEmpty())
        return {EngineVerdict::Kind::Worse,
                QCoreApplication::translate("kx", "worse (%1)").arg(scores)};
    return {EngineVerdict::Kind::Worse,
            QCoreApplication::translate("kx", "worse (%1), refuted by %2").arg(scores, refutation)};
}

} // namespace kx
