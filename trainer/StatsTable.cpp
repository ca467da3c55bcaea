#include "StatsTable.h"

#include "BestMoveScan.h"
#include "FlexGrid.h"
#include "StatsFile.h"
#include "SuiteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {
constexpr qint32 kMaxPositions = std::numeric_limits<qint16>::max();
constexpr qint32 kLinesPerCheck = 256;
const QString kStatsSuffix = QStringLiteral("_KXI.txt");
} // namespace

StatsTable::StatsTable(FlexGrid* grid, QObject* parent) : QObject(parent), m_grid(grid) {}

QString StatsTable::FilePath(const QString& dataFolder, const QString& suite)
{
    // The file lies in the data folder whatever folder the suite came from.
    return QDir(dataFolder).filePath(QFileInfo(suite).fileName() + kStatsSuffix);
}

bool StatsTable::BelongsTo(const QString& suite) const
{
    return !m_suite.isEmpty() && m_suite == suite;
}

StatsTable::Outcome StatsTable::Load(const QString& dataFolder, const QString& suite,
                                     const kx::KeepGoing& keepGoing)
{
    // While the file is read the old rows are no suite's: a close meanwhile
    // must not save them anywhere (they were saved before the choice).
    m_suite.clear();
    m_panelRow = 0;
    Outcome outcome;
    const kx::StatsReading reading = kx::ReadStatsFile(FilePath(dataFolder, suite), keepGoing);
    if (!reading.complete) {
        outcome.finished = false;
        return outcome;
    }
    m_grid->setTable(reading.rows, 1);
    outcome.replaced = true;
    if (reading.error.isEmpty())
        m_suite = suite;
    else
        outcome.error = reading.error + QStringLiteral("\nThe table stays empty, and the file "
                                                       "will not be written over.");
    outcome.positions = m_grid->Rows() - 1;
    return outcome;
}

bool StatsTable::Save(const QString& dataFolder, QString* error) const
{
    if (m_suite.isEmpty())
        return true;
    // A table without positions for a suite without a file keeps nothing: a
    // suite name typed by mistake leaves no file behind.
    const QString path = FilePath(dataFolder, m_suite);
    if (m_grid->Rows() <= 1 && !QFile::exists(path))
        return true;
    return kx::WriteStatsFile(path, m_grid->Table(), error);
}

StatsTable::Outcome StatsTable::Scan(const QString& suitePath, const QString& suite,
                                     const kx::KeepGoing& keepGoing)
{
    Outcome outcome;
    // Read as positions are shown, so row n is always the position n on the board.
    const std::optional<QStringList> lines = kx::ReadSuiteLines(suitePath, &outcome.error);
    if (!lines)
        return outcome;
    const qint32 count = qMin<qint32>(qint32(lines->size()), kMaxPositions);
    if (lines->size() > kMaxPositions) {
        outcome.error = QStringLiteral("%1 has %2 lines; the table takes its first %3 positions.")
                            .arg(QFileInfo(suitePath).fileName())
                            .arg(lines->size())
                            .arg(kMaxPositions);
    }
    kx::TableRows rows;
    rows.reserve(count + 1);
    rows.append(m_grid->Rows() > 0 ? m_grid->Table().first() : QStringList());
    for (qint32 n = 1; n <= count; ++n) {
        rows.append(kx::ScanRow(n, lines->at(n - 1)));
        if (n % kLinesPerCheck == 0 && keepGoing && !keepGoing()) {
            outcome.finished = false;
            return outcome;
        }
    }
    m_grid->setTable(rows, 1);
    m_suite = suite;
    m_panelRow = 0;
    outcome.replaced = true;
    outcome.positions = count;
    return outcome;
}
