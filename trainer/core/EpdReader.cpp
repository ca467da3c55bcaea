// EPD suites: one record a line, a position when the line starts with a
// chess board and its side to move.

#include "Fen.h"
#include "SuiteReader.h"

namespace kx {

namespace {

class EpdReader final : public SuiteReader
{
public:
    Format format() const override { return Format::Epd; }
    QString recordWord() const override { return QStringLiteral("Line"); }

    QString SkippedNotice(const QString& fileName) const override
    {
        return QStringLiteral("%1 has %2 lines that are not chess positions; they are never "
                              "drawn (the first is line %3).")
            .arg(fileName)
            .arg(skipped())
            .arg(firstSkipped());
    }

protected:
    qsizetype lineLimit() const override { return kMaxPositionLine; }

    Result<> take(const SuiteLine& line) override
    {
        addRecord(line.start, line.whole && IsPositionLine(line.text), line.blank());
        return {};
    }

    Result<QString> read(LineReader& lines, int pass) const override
    {
        SuiteLine line;
        for (int i = 0; i <= pass; ++i) {
            if (!lines.Next(line))
                return Fail(QStringLiteral("the file ends before it"));
        }
        return DecodeLine(line.text);
    }
};

} // namespace

std::unique_ptr<SuiteReader> NewEpdReader()
{
    return std::make_unique<EpdReader>();
}

} // namespace kx
