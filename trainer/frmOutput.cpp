#include "frmOutput.h"

#include "Twips.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace {

constexpr int kClientWidth = 4620;  // twips
constexpr int kClientHeight = 3150; // twips
// A long analysis never makes the text grow without end.
constexpr int kMaxTextLength = 30000;
// No engine's thinking line comes near this; laying out one of tens of
// thousands of characters would hold the window up for tens of milliseconds.
constexpr qsizetype kMaxLineShown = 2000;

} // namespace

frmOutput::frmOutput(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmOutput"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Engine output"));
    txtOutput = new QPlainTextEdit(this);
    txtOutput->setObjectName(QStringLiteral("txtOutput"));
    txtOutput->setReadOnly(true);
    txtOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtOutput->viewport()->installEventFilter(this);
    resize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
    Form_Load();
}

void frmOutput::Form_Load()
{
    txtOutput->clear();
}

void frmOutput::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmOutput::Form_Resize()
{
    txtOutput->setGeometry(0, 0, width(), height());
}

bool frmOutput::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtOutput->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        txtOutput_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmOutput::txtOutput_DblClick()
{
    QApplication::clipboard()->setText(Text());
}

QString frmOutput::Text() const
{
    return txtOutput->toPlainText();
}

void frmOutput::AddLine(const QString& line)
{
    if (txtOutput->document()->characterCount() > kMaxTextLength)
        txtOutput->clear();
    QTextCursor cursor(txtOutput->document());
    cursor.movePosition(QTextCursor::End);
    if (line.size() > kMaxLineShown)
        cursor.insertText(u'\n' + line.left(kMaxLineShown) + u'\u2026');
    else
        cursor.insertText(u'\n' + line);
    txtOutput->setTextCursor(cursor);
    txtOutput->ensureCursorVisible();
    // The start of a line (depth, score, first moves) matters most: keep it in view.
    txtOutput->horizontalScrollBar()->setValue(0);
}
