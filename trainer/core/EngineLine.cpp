#include "EngineLine.h"

#include "Epd.h"
#include "Fen.h"
#include "MoveMatch.h"
#include "Notation.h"
#include "NumberText.h"

#include <QRegularExpression>

namespace kx {

namespace {

const QString kNotFound = QStringLiteral(" ??? Sol move not found ???");
const QString kHardest = QStringLiteral("7");

QStringList words(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

bool isMoveText(const QString& text)
{
    static const QRegularExpression move(QStringLiteral(
        "^(?:O-O(?:-O)?|0-0(?:-0)?|[KQRBNP]?[a-h]?[1-8]?[x:-]?[a-h][1-8](?:=?[QRBNqrbn])?)$"));
    return move.match(text).hasMatch();
}

QString withoutMarks(QString text)
{
    static const QRegularExpression marks(QStringLiteral("[+#!?]"));
    return text.remove(marks);
}

// SAN reduced to what names the move: no capture, check or promotion signs,
// castling with letters.
QString sanKey(const QString& move)
{
    static const QRegularExpression signs(QStringLiteral("[x:+#!?=]"));
    QString key = move;
    key.remove(signs);
    key.replace(u'0', u'O');
    return key;
}

// The number after "opcode " in the record's operations, or fallback.
QString operationNumber(const QString& operations, const QString& opcode, const QString& fallback)
{
    for (const QString& operation : operations.split(u';')) {
        const QStringList parts = words(operation);
        if (parts.size() == 2 && parts.at(0) == opcode) {
            bool ok = false;
            const int value = parts.at(1).toInt(&ok);
            if (ok && value >= 0)
                return QString::number(value);
        }
    }
    return fallback;
}

} // namespace

ThinkingLine ReadThinkingLine(const QString& line)
{
    // Matched on the trimmed line: a lazy variation followed by trailing blanks would
    // backtrack over every blank of a long run, and give up on a long one.
    static const QRegularExpression head(
        QStringLiteral("^(\\d+)\\s+([-+]?\\d+)\\s+(\\d+)\\s+(\\d+)\\s+(\\S.*)$"));
    const QRegularExpressionMatch m = head.match(line.trimmed());
    ThinkingLine thinking;
    if (!m.hasMatch())
        return thinking;
    bool depthOk = false, scoreOk = false, timeOk = false, nodesOk = false;
    thinking.depth = m.captured(1).toInt(&depthOk);
    thinking.score = m.captured(2).toLongLong(&scoreOk);
    thinking.time = m.captured(3).toLongLong(&timeOk);
    thinking.nodes = m.captured(4).toLongLong(&nodesOk);
    thinking.variation = m.captured(5);
    thinking.firstMove = FirstMove(thinking.variation);
    thinking.ok = depthOk && scoreOk && timeOk && nodesOk && !thinking.firstMove.isEmpty();
    return thinking;
}

QString FirstMove(const QString& variation)
{
    static const QRegularExpression moveNumber(QStringLiteral("^\\d+\\.+"));
    for (QString word : words(variation)) {
        word.remove(moveNumber);
        if (word.isEmpty() || word.count(u'.') == word.size())
            continue; // "1." or "..."
        if (word.startsWith(u'(') || word.startsWith(u'{') || word.startsWith(u'['))
            continue; // a note such as "(+)"
        if (word.startsWith(u'<') && word.endsWith(u'>'))
            word = word.mid(1, word.size() - 2); // a move marked as taken from the hash
        word = withoutMarks(word);
        return isMoveText(word) ? word : QString();
    }
    return {};
}

bool IsBestMove(const QString& move, const QString& bestMoves, const QString& fen)
{
    static const QRegularExpression coordinates(
        QStringLiteral("^([KQRBNP])?([a-h])([1-8])[-x:]?([a-h][1-8])(?:=?([QRBNqrbn]))?$"));
    const QString plain = withoutMarks(move);
    const QRegularExpressionMatch m = coordinates.match(plain);
    if (m.hasMatch()) {
        QString piece = m.captured(1);
        if (piece.isEmpty()) {
            const size_t file = m.captured(2).at(0).unicode() - u'a';
            const size_t rank = m.captured(3).at(0).unicode() - u'1';
            piece = num2pie(ReadPlacement(fen).squares[rank * 8 + file]);
        }
        if (piece.isEmpty())
            return false; // no piece on the square the move starts from
        QString asBoardMove = piece + m.captured(2) + m.captured(3) + m.captured(4);
        if (m.hasCaptured(5))
            asBoardMove += u'=' + m.captured(5).toUpper();
        return MatchMove(asBoardMove, bestMoves);
    }
    const QString key = sanKey(plain);
    if (key.isEmpty())
        return false;
    for (const QString& best : words(bestMoves)) {
        if (sanKey(best) == key)
            return true;
    }
    return false;
}

QString EngineFen(const QString& record)
{
    const QStringList all = words(record);
    QStringList fields = all.mid(0, 4);
    static const QStringList defaults = {QString(), QStringLiteral("w"), QStringLiteral("-"),
                                         QStringLiteral("-")};
    while (fields.size() < 4)
        fields.append(defaults.at(fields.size()));
    const QString operations = all.mid(4).join(u' ');
    fields.append(operationNumber(operations, QStringLiteral("hmvc"), QStringLiteral("0")));
    fields.append(operationNumber(operations, QStringLiteral("fmvn"), QStringLiteral("1")));
    return fields.join(u' ');
}

QStringList EditModeCommands(const QString& fen)
{
    const FenReading reading = ReadPlacement(fen);
    QStringList commands;
    // Edit mode keeps the side to move, so a move out of the start position
    // hands it to Black first.
    if (reading.blackToMove)
        commands << QStringLiteral("a2a3");
    commands << QStringLiteral("edit") << QStringLiteral("#");
    for (const bool white : {true, false}) {
        if (!white)
            commands << QStringLiteral("c");
        for (int index = 0; index < 64; ++index) {
            const QString letter = dart(reading.squares[size_t(index)]);
            if (letter.isEmpty() || letter.at(0).isUpper() != white)
                continue;
            commands << letter.toUpper() + QChar(u'a' + index % 8) + QChar(u'1' + index / 8);
        }
    }
    commands << QStringLiteral(".");
    return commands;
}

bool ReadFeatures(const QString& line, EngineFeatures& features)
{
    if (!line.startsWith(QLatin1String("feature ")))
        return false;
    static const QRegularExpression pair(QStringLiteral("(\\w+)=(\"[^\"]*\"|\\S*)"));
    for (auto it = pair.globalMatch(line, 8); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString value = m.captured(2);
        if (value.startsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        const QString name = m.captured(1);
        if (name == u"done") {
            features.done = features.done || value == u"1";
            features.moreTime = value == u"0";
        } else if (name == u"setboard") {
            features.setboard = value != u"0";
        } else if (name == u"myname") {
            features.myname = value;
        }
    }
    return true;
}

bool RejectsStatusRequest(const QString& line)
{
    const QString text = line.trimmed();
    return text.endsWith(QLatin1String(": .")) &&
           (text.contains(QLatin1String("Error")) || text.contains(QLatin1String("Illegal")) ||
            text.contains(QLatin1String("Invalid")));
}

QString DifficultyForDepth(double depth)
{
    double level = depth + 2;
    if (level == 7)
        level = 6;
    if (level > 7)
        level = 7;
    return NumberToText(level);
}

void GradeBySolution(PositionGrade& grade, const QString& line)
{
    QString rest = line;
    const QString depth = PopToken(rest);
    const QString evaluation = PopToken(rest);
    if (grade.comment.isEmpty())
        grade.comment = line;
    if (grade.depth.isEmpty())
        grade.depth = depth;
    if (grade.difficulty.isEmpty())
        grade.difficulty = DifficultyForDepth(NumericValue(grade.depth));
    if (grade.evaluation.isEmpty())
        grade.evaluation = evaluation;
}

void GradeByTimeOut(PositionGrade& grade)
{
    if (grade.comment.isEmpty())
        grade.comment = kNotFound;
    if (grade.difficulty.isEmpty())
        grade.difficulty = kHardest;
}

} // namespace kx
