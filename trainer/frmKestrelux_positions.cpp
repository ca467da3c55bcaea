// Positions: showing a suite's position on the board with its side to move,
// and writing the board back as FEN.

#include "frmKestrelux.h"

#include "Fen.h"
#include "FlexGrid.h"
#include "MoveTyping.h"
#include "NumberText.h"
#include "PositionTable.h"
#include "StatsTable.h"
#include "SuiteFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

namespace {
const QColor kVisitedRowColor(224, 255, 255); // light cyan marks positions seen
const QString kBlack = QStringLiteral("black");
const QString kWhite = QStringLiteral("WHITE");

QString panelText(QWidget* w)
{
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return line->text();
    return static_cast<QPlainTextEdit*>(w)->toPlainText();
}

void setPanelText(QWidget* w, const QString& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->setText(text);
    else
        static_cast<QPlainTextEdit*>(w)->setPlainText(text);
}

} // namespace

QList<std::pair<QWidget*, int>> frmKestrelux::panelColumns() const
{
    return {{txtDifficolta, kx::TableCol::Difficulty}, {txtValutazione, kx::TableCol::Evaluation},
            {txtDepth, kx::TableCol::Depth},           {txtUscito, kx::TableCol::Attempts},
            {txtRisolto, kx::TableCol::Solved},        {txtCommento, kx::TableCol::Comment}};
}

void frmKestrelux::StorePanelStats()
{
    // Only a panel filled from a row of this table goes back into it.
    const qint32 row = m_stats->PanelRow();
    if (!statsMode || row <= 0 || row >= Grid->Rows())
        return;
    for (const auto& [box, column] : panelColumns())
        Grid->setTextMatrix(row, column, panelText(box));
}

bool frmKestrelux::ShowPosition(qint16 iShowP)
{
    // Read first: a number outside the suite, or a suite that cannot be
    // read, changes nothing but says why.
    const kx::SuiteRecord record = kx::ReadSuiteRecord(suitePath(), iShowP);
    if (!record.ok) {
        showMessage(record.error);
        return false;
    }

    // The panel's statistics belong to the position being left.
    StorePanelStats();

    currentPosition = iShowP;
    ++m_positionSerial;
    const bool inTable = statsMode && tableIsForSuite() && iShowP < Grid->Rows();
    m_stats->setPanelRow(inTable ? iShowP : 0);
    if (inTable) {
        Grid->setRow(iShowP);
        Grid->setTopRow(iShowP);
        for (int c = kx::TableCol::BestText; c <= kx::TableCol::BestRest; ++c)
            Grid->setCellBackColor(iShowP, c, kVisitedRowColor);
        Grid->setCol(kx::TableCol::BestText);
    }
    txtPos->setText(QString::number(iShowP));
    if (statsMode) {
        for (const auto& [box, column] : panelColumns())
            setPanelText(box, inTable ? Grid->TextMatrix(iShowP, column) : QString());
    }

    txtFen->setText(record.record);
    txtFen->setCursorPosition(0);
    CalcFen();

    timePerPosition = kx::NumericValue(txtTimeForPosition->text());
    elapsedTime = 0;
    tmrTime->start();
    userMove.clear();
    // A square picked or a move typed on the previous position means nothing on this one.
    selRow = 0;
    m_typing->clear();
    return true;
}

void frmKestrelux::CalcFen()
{
    const kx::FenReading reading = kx::ReadPlacement(txtFen->text());
    CBoard->Clear();
    for (short rank = 1; rank <= 8; ++rank) {
        for (int file = 1; file <= 8; ++file) {
            CBoard->setPiece(
                static_cast<Pellomar::Column>(file), rank,
                static_cast<Pellomar::Material>(reading.squares[(rank - 1) * 8 + file - 1]));
        }
    }
    setSideToMove(reading.blackToMove);
    CBoard->setReverseBoard(reading.blackToMove);
}

QString frmKestrelux::BoardToFen() const
{
    kx::Placement squares{};
    for (short rank = 1; rank <= 8; ++rank) {
        for (int file = 1; file <= 8; ++file) {
            squares[(rank - 1) * 8 + file - 1] =
                static_cast<qint16>(CBoard->Piece(static_cast<Pellomar::Column>(file), rank));
        }
    }
    return kx::PlacementToFen(squares, lblSideToMove->text() == kBlack);
}

void frmKestrelux::setSideToMove(bool black)
{
    lblSideToMove->setText(black ? kBlack : kWhite);
    QPalette palette = lblSideToMove->palette();
    palette.setColor(QPalette::Window, black ? Qt::black : Qt::white);
    palette.setColor(QPalette::WindowText, black ? Qt::white : Qt::black);
    lblSideToMove->setPalette(palette);
}

void frmKestrelux::flipSideToMove()
{
    setSideToMove(lblSideToMove->text() != kBlack);
}
