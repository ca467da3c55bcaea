#pragma once

#include "Result.h"

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QWidget;

/*
 * Moves typed on the keyboard. Watches the keys that reach the window while
 * no text box, list or grid has the keyboard, collects what could be a move
 * and shows it in a line of its own beside the board. Enter hands the text to
 * the window, which makes the move as two clicks would; Escape clears it and
 * Backspace takes back a character. After a text that named no move, the next
 * character starts a new one (Backspace edits the old one instead).
 */
class MoveTyping : public QObject
{
    Q_OBJECT

public:
    /// Makes the typed move; a failure says why it was not made.
    using Submit = std::function<kx::Result<>(const QString& text)>;

    MoveTyping(QWidget* window, Submit submit);

    /// The line showing what is typed; a child of the window, laid out by it.
    QLabel* display() const { return m_display; }
    QString text() const { return m_text; }
    /// Forgets what was typed (a new position came up).
    void clear();
    /// Shows why a move made on the board was refused, in place of what was typed.
    void Tell(const QString& note);
    /// Keys are taken only while accepting says so.
    void setAccepting(std::function<bool()> accepting) { m_accepting = std::move(accepting); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Handles a key; false when it is not one for typing moves.
    bool typeKey(int key, const QString& text);
    void enter();
    void showText(const QString& note = QString());

    QWidget* m_window;
    QLabel* m_display;
    Submit m_submit;
    std::function<bool()> m_accepting;
    QString m_text;
    bool m_refused = false; // m_text named no move; the next character starts afresh
};
