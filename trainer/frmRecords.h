#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

/*
 * The scores window: past sessions of a suite, best first, one summary line
 * of the session log each, in a fixed-pitch font so the log's columns line
 * up. The hidden list keeps the lines behind their sort keys in key order;
 * the visible one shows them without the keys.
 */
class frmRecords : public QDialog
{
    Q_OBJECT

public:
    explicit frmRecords(QWidget* parent = nullptr);

    /// Lists the summary lines, each behind a sort key of keyWidth characters.
    void ShowRecords(const QStringList& keyedLines, qsizetype keyWidth);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QListWidget* lstRecords;
    QListWidget* lstVisRecords;
};
