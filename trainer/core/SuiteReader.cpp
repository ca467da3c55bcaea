#include "SuiteReader.h"

#include <QFileInfo>

namespace kx {

SuiteReader::~SuiteReader() = default;

SuiteReader::Format SuiteReader::FormatOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return Format::PuzzleCsv;
    if (suffix.compare(QLatin1String("pgn"), Qt::CaseInsensitive) == 0)
        return Format::Pgn;
    return Format::Epd;
}

std::unique_ptr<SuiteReader> SuiteReader::For(Format format)
{
    switch (format) {
    case Format::PuzzleCsv:
        return NewPuzzleCsvReader();
    case Format::Pgn:
        return NewPgnReader();
    case Format::Epd:
        break;
    }
    return NewEpdReader();
}

Result<> SuiteReader::Index(const SuiteSource& source, qint64 size, const ReadProgress& progress)
{
    m_index.clear();
    m_skipped = m_firstSkipped = 0;
    LineReader lines(source, 0, lineLimit());
    SuiteLine line;
    qint64 reported = 0;
    while (lines.Next(line)) {
        if (Result<> taken = take(line); !taken)
            return taken;
        if (lines.offset() - reported >= kProgressStep) {
            reported = lines.offset();
            if (progress && !progress(reported, size))
                return Fail(QStringLiteral("its reading was stopped"));
        }
    }
    Result<> finished = finish();
    m_index.Squeeze();
    return finished;
}

Result<> SuiteReader::Resume(const SuiteSource&, const RecordIndex& index, qint32 skipped,
                             qint32 firstSkipped)
{
    m_index = index;
    m_skipped = skipped;
    m_firstSkipped = firstSkipped;
    return {};
}

void SuiteReader::addRecord(qint64 start, bool position, bool blank)
{
    m_index.Add(start, position);
    if (!position && !blank && ++m_skipped == 1)
        m_firstSkipped = m_index.count();
}

Result<QString> SuiteReader::record(const SuiteSource& source, qint32 n) const
{
    const RecordIndex::Seek seek = m_index.seekFor(n);
    LineReader lines(source, seek.from, lineLimit(), LineReader::kRecordRead);
    Result<QString> record = read(lines, seek.pass);
    if (lines.failed())
        return Fail(QStringLiteral("the file cannot be read there"));
    return record;
}

Result<PositionSet> SuiteReader::Select(const SuiteSource&, qint64, const PuzzleFilter&,
                                        const ReadProgress&) const
{
    PositionSet all(count());
    for (qint32 n = 1; n <= count(); ++n) {
        if (holdsPosition(n))
            all.insert(n);
    }
    return all;
}

} // namespace kx
