#include "MoveTyping.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

constexpr int kMaxTyped = 12; // "Nb1xd2+" and the like fit with room to spare
const QString kMoveCharacters = QStringLiteral("abcdefghABCDEFGH12345678xX=+#-Oo0:!?PNBRQKpnrqk");
const QColor kNoteColor(160, 0, 0);

// Keys in these widgets belong to them; Enter and Escape that they pass on too.
bool ownsTheKeys(const QWidget* focus)
{
    return qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QPlainTextEdit*>(focus) ||
           qobject_cast<const QTextEdit*>(focus) || qobject_cast<const QComboBox*>(focus) ||
           qobject_cast<const QAbstractSpinBox*>(focus) ||
           qobject_cast<const QAbstractItemView*>(focus);
}

} // namespace

MoveTyping::MoveTyping(QWidget* window, Submit submit)
    : QObject(window), m_window(window), m_display(new QLabel(window)), m_submit(std::move(submit))
{
    m_display->setObjectName(QStringLiteral("lblTypedMove"));
    m_display->setTextFormat(Qt::PlainText);
    window->installEventFilter(this);
    showText();
}

void MoveTyping::clear()
{
    m_text.clear();
    showText();
}

void MoveTyping::Tell(const QString& note)
{
    m_text.clear();
    showText(note);
}

bool MoveTyping::eventFilter(QObject* watched, QEvent* event)
{
    // Keys come here when the widget with the keyboard left them unused.
    if (watched != m_window || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((m_accepting && !m_accepting()) || ownsTheKeys(m_window->focusWidget()) ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    return typeKey(key->key(), key->text());
}

bool MoveTyping::typeKey(int key, const QString& text)
{
    switch (key) {
    case Qt::Key_Escape:
        if (m_text.isEmpty())
            return false;
        clear();
        return true;
    case Qt::Key_Backspace:
        if (m_text.isEmpty())
            return false;
        m_text.chop(1);
        showText();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_text.isEmpty())
            return false;
        enter();
        return true;
    default:
        break;
    }
    if (text.size() != 1 || !kMoveCharacters.contains(text.at(0)))
        return false;
    if (m_refused)
        m_text.clear();
    if (m_text.size() < kMaxTyped)
        m_text += text;
    showText();
    return true;
}

void MoveTyping::enter()
{
    const QString typed = m_text;
    const kx::Result<> made = m_submit(typed);
    // The move may have brought up a new position, which cleared the line.
    if (m_text != typed)
        return;
    if (made)
        clear();
    else
        showText(made.error());
}

void MoveTyping::showText(const QString& note)
{
    m_refused = !note.isEmpty();
    QPalette palette = m_display->palette();
    palette.setColor(QPalette::WindowText,
                     note.isEmpty() ? m_window->palette().color(QPalette::WindowText) : kNoteColor);
    if (m_text.isEmpty() && !note.isEmpty()) {
        m_display->setText(note);
    } else if (m_text.isEmpty()) {
        palette.setColor(QPalette::WindowText,
                         m_window->palette().color(QPalette::Disabled, QPalette::WindowText));
        m_display->setText(tr("Type a move and press Enter"));
    } else if (note.isEmpty()) {
        m_display->setText(tr("Move: %1").arg(m_text));
    } else {
        m_display->setText(tr("Move: %1 - %2").arg(m_text, note));
    }
    m_display->setPalette(palette);
}
