#pragma once

#include "ScoreLines.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QChartView;
class QListWidget;

/*
 * The scores window: a chart of the suite's sessions over time above the list
 * of them, best first, one summary line of the session log each, in a
 * fixed-pitch font so the log's columns line up. The hidden list keeps the
 * lines behind their sort keys in key order; the visible one shows them
 * without the keys. The chart has the points of the ordinary sessions, those
 * of the reviews, and the share solved in each session on a second scale.
 */
class frmRecords : public QDialog
{
    Q_OBJECT

public:
    explicit frmRecords(QWidget* parent = nullptr);

    /// Lists the summary lines, each behind a sort key of keyWidth characters.
    void ShowRecords(const QStringList& keyedLines, qsizetype keyWidth);
    /// Draws the sessions of suite; says so when there are none.
    void ShowProgress(const std::vector<kx::ScorePoint>& sessions, const QString& suite);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QChartView* chtScores;
    QListWidget* lstRecords;
    QListWidget* lstVisRecords;
};
