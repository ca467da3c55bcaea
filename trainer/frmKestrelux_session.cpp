// Session flow: Start, Next with the level filter, choosing a suite, the
// position panel's handlers and the checks on the two session settings.

#include "frmKestrelux.h"

#include "FlexGrid.h"
#include "LastChoices.h"
#include "NumberText.h"
#include "PositionTable.h"
#include "RandomSource.h"
#include "SuiteFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int kKeyDown = 40;
const QString kDefaultPositions = QStringLiteral("10");
const QString kDefaultSeconds = QStringLiteral("50");

// A setting box holds a number when its whole text (blanks aside) is one.
bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    if (!ok)
        QLocale().toDouble(text.trimmed(), &ok);
    return ok;
}

// Which of the first count lines (indexed by number) hold a record: blank and
// whitespace-only lines keep their numbers but are never drawn. None when the
// file cannot be read.
std::optional<QList<bool>> linesWithRecords(const QString& path, qint32 count)
{
    const std::optional<QStringList> lines = kx::ReadSuiteLines(path);
    if (!lines)
        return std::nullopt;
    QList<bool> holds(qMax(0, count) + 1, false);
    for (qint32 n = 1; n <= count && n <= lines->size(); ++n)
        holds[n] = !lines->at(n - 1).trimmed().isEmpty();
    return holds;
}

} // namespace

bool frmKestrelux::suiteReady(QString* why, QList<bool>* holdsRecord) const
{
    const QString path = suitePath();
    const std::optional<QList<bool>> holds = linesWithRecords(path, suiteSize);
    if (!holds) {
        *why = tr("The suite file %1 cannot be read.\nChoose another suite, or put the file in %2.")
                   .arg(QFileInfo(path).fileName(), QFileInfo(path).absolutePath());
        return false;
    }
    if (suiteSize < 1 || !holds->contains(true)) {
        *why = tr("The suite %1 holds no positions to draw from.").arg(cmbEPDFile->currentText());
        return false;
    }
    if (holdsRecord)
        *holdsRecord = *holds;
    return true;
}

void frmKestrelux::cmdNew_Click()
{
    // Settings typed but not yet left are checked before the session locks them.
    txtPositionsForSession_Validate();
    txtTimeForPosition_Validate();
    QString why;
    if (!suiteReady(&why)) {
        showMessage(why);
        return;
    }

    keepChoices();

    m_random.SeedFromClock();
    if (!NextPosition())
        return; // nothing could be shown; the message has been given

    tmrTime->start();
    positionAnalysed = false;
    txtCommento->hide();
    Grid->hide();
    chkTimer->setChecked(true);

    grdReport->setRows(1);
    grdReport->AddItem(QString());
    grdReport->setFixedRows(1);

    lblPunti->setText(QStringLiteral("0"));
    lblTotTime->setText(QStringLiteral("0"));
    totalSaved = 0;
    solvedCount = 0;
    attemptCount = 0;
    userMove.clear();
    txtReport->clear();
    // The whole session can be played from the keyboard: moves are typed on the board.
    CBoard->setFocus();
}

void frmKestrelux::keepChoices()
{
    // A convenience: when the file cannot be written the next start has the defaults.
    kx::WriteLastChoices(m_dataFolder, {cmbEPDFile->currentText(), txtPositionsForSession->text(),
                                        txtTimeForPosition->text()});
}

void frmKestrelux::cmdNext_Click()
{
    NextPosition();
}

bool frmKestrelux::NextPosition()
{
    QString why;
    QList<bool> holdsRecord;
    if (!suiteReady(&why, &holdsRecord)) {
        showMessage(why);
        return false;
    }
    const qint16 size = suiteSize;
    qint16 p = kx::DrawPositionNumber(m_random.Next(), size);

    if (statsMode) {
        levelTag = QStringLiteral("[Liv<=") + txtLivello->text() + QStringLiteral("]");
        auto level = [this](int position) {
            return kx::NumericValue(Grid->TextMatrix(position, kx::TableCol::Difficulty));
        };
        // Refuse at once when no position of the suite is within the limit;
        // drawing on would never end.
        const double limit = kx::NumericValue(txtLivello->text());
        bool any = false;
        for (int position = 1; position <= size && !any; ++position)
            any = holdsRecord[position] && level(position) <= limit;
        if (!any) {
            showMessage(tr("No position of %1 has a level of %2 or less.")
                            .arg(cmbEPDFile->currentText(), txtLivello->text()));
            return false;
        }
        const QPointer<frmKestrelux> self(this);
        while (!holdsRecord[p] || kx::NumericValue(txtLivello->text()) < level(p)) {
            p = kx::DrawPositionNumber(m_random.Next(), size);
            QCoreApplication::processEvents();
            if (!self || m_closing)
                return false;
        }
    }
    while (!holdsRecord[p])
        p = kx::DrawPositionNumber(m_random.Next(), size);
    return ShowPosition(p);
}

void frmKestrelux::cmbEPDFile_Click()
{
    if (sessionRunning())
        return;
    if (statsMode && !SwitchStatsSuite())
        return;
    currentPosition = 0;
    txtPos->clear();
    txtCommento->clear();
    if (statsMode)
        LoadStats();
    else
        SetSuiteSize();
}

void frmKestrelux::txtPos_DblClick()
{
    if (sessionRunning())
        return;
    ShowPosition(kx::RoundToInt16(kx::NumericValue(txtPos->text())));
}

void frmKestrelux::txtFen_Click()
{
    if (sessionRunning())
        return;
    showMessage(txtFen->text());
}

void frmKestrelux::txtDifficolta_KeyDown(int keyCode)
{
    if (keyCode == kKeyDown)
        cmdNext_Click();
}

void frmKestrelux::txtPositionsForSession_Validate()
{
    const QString text = txtPositionsForSession->text();
    const double value = kx::NumericValue(text);
    if (value > 1000 || value < 10 || !isNumber(text)) {
        txtPositionsForSession->setText(kDefaultPositions);
        return;
    }
    // A session ends when its count of positions is reached, so the count is whole.
    if (value != std::floor(value))
        txtPositionsForSession->setText(kx::NumberToText(kx::RoundToInt32(value)));
}

void frmKestrelux::txtTimeForPosition_Validate()
{
    const QString text = txtTimeForPosition->text();
    const double value = kx::NumericValue(text);
    if (value > 1000 || value == 0 || !isNumber(text))
        txtTimeForPosition->setText(kDefaultSeconds);
}
