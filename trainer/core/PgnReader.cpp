// PGN puzzle files: a record a game, a position when its start can be set up
// and its first move played. A game begins at its first tag after the last
// game's moves (or, without tags, at its first move).

#include "PgnGame.h"
#include "SuiteReader.h"

namespace kx {

namespace {

// The longest game (and line) read; longer ones are no puzzles anyone plays.
constexpr qsizetype kMaxGame = 256 * 1024;

// Tells, line by line, where a game begins; multi-line {} comments are
// followed so that a "[" inside one starts nothing.
class GameSplitter
{
public:
    bool StartsGame(const SuiteLine& line)
    {
        if (!line.whole)
            return movetext();
        const QByteArrayView text = line.text.trimmed();
        if (text.isEmpty() || (!m_inComment && text.front() == '%'))
            return false;
        if (!m_inComment && text.front() == '[') {
            const bool starts = !m_inGame || m_movetext;
            m_inGame = true;
            m_movetext = false;
            return starts;
        }
        const bool starts = movetext();
        for (const char c : text) {
            if (m_inComment ? c == '}' : c == '{')
                m_inComment = !m_inComment;
            else if (!m_inComment && c == ';')
                break; // the rest of the line is a comment
        }
        return starts;
    }

private:
    bool movetext()
    {
        const bool starts = !m_inGame;
        m_inGame = m_movetext = true;
        return starts;
    }

    bool m_inGame = false;
    bool m_movetext = false;
    bool m_inComment = false;
};

class PgnReader final : public SuiteReader
{
public:
    Format format() const override { return Format::Pgn; }
    QString recordWord() const override { return QStringLiteral("Game"); }

    QString SkippedNotice(const QString& fileName) const override
    {
        return QStringLiteral("%1 has %2 games that pose no position (no moves, or a FEN or "
                              "first move that cannot be played); they are never drawn (the "
                              "first is game %3).")
            .arg(fileName)
            .arg(skipped())
            .arg(firstSkipped());
    }

protected:
    qsizetype lineLimit() const override { return kMaxGame; }

    Result<> take(const SuiteLine& line) override
    {
        if (m_splitter.StartsGame(line)) {
            closeGame();
            m_gameStart = line.start;
            m_game.clear();
            m_tooLong = false;
        }
        if (m_gameStart >= 0 && !m_tooLong) {
            m_tooLong = !line.whole || m_game.size() + line.text.size() >= kMaxGame;
            if (!m_tooLong)
                m_game.append(line.text).append('\n');
        }
        return {};
    }

    Result<> finish() override
    {
        closeGame();
        return {};
    }

    Result<QString> read(LineReader& lines, int pass) const override
    {
        GameSplitter splitter;
        QByteArray game;
        SuiteLine line;
        int games = -1;
        while (lines.Next(line)) {
            if (splitter.StartsGame(line) && ++games > pass)
                break;
            if (games == pass && line.whole && game.size() < kMaxGame)
                game.append(line.text).append('\n');
        }
        if (games < pass)
            return Fail(QStringLiteral("the file ends before it"));
        return PgnGameToEpd(game);
    }

private:
    void closeGame()
    {
        if (m_gameStart >= 0)
            addRecord(m_gameStart, !m_tooLong && IsPgnPosition(m_game), false);
        m_gameStart = -1;
    }

    GameSplitter m_splitter;
    QByteArray m_game;
    qint64 m_gameStart = -1;
    bool m_tooLong = false;
};

} // namespace

std::unique_ptr<SuiteReader> NewPgnReader()
{
    return std::make_unique<PgnReader>();
}

} // namespace kx
