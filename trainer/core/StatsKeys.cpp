#include "StatsKeys.h"

#include <Qt>

namespace kx {

namespace {
const QString kSequence = QStringLiteral("ZANTEX");
constexpr qsizetype kBufferLength = 10;
} // namespace

qint16 VirtualKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) ||
        qtKey == Qt::Key_Space)
        return static_cast<qint16>(qtKey);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return kVkShift;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return kVkUp;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return kVkDown;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

bool TypeStatsKey(QString& keyBuffer, qint16 keyCode)
{
    if (keyCode != kVkShift) {
        keyBuffer += QChar(static_cast<char16_t>(keyCode));
        keyBuffer = keyBuffer.right(kBufferLength);
    }
    if (!keyBuffer.contains(kSequence))
        return false;
    keyBuffer.clear();
    return true;
}

} // namespace kx
