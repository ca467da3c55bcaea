#pragma once

#include <QWidget>

class QPlainTextEdit;

/*
 * The engine output window: the engine's thinking lines collected in one
 * text box that fills it, its latest status line as the caption. Opened by
 * an analysis, closed (and deleted) by its stop or by the user; a
 * double-click copies the whole text.
 */
class frmOutput : public QWidget
{
    Q_OBJECT

public:
    explicit frmOutput(QWidget* owner);

    /// Adds a line on a line of its own; a text past the limit is emptied first,
    /// and a line too long for any engine is cut short with an ellipsis.
    void AddLine(const QString& line);
    QString Text() const;

    QPlainTextEdit* txtOutput = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void txtOutput_DblClick();
};
