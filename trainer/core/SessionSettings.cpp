#include "SessionSettings.h"

#include "NumberText.h"

#include <QLocale>

#include <cmath>

namespace kx {

namespace {

const QString kDefaultPositions = QStringLiteral("10");
const QString kDefaultSeconds = QStringLiteral("50");

// A setting holds a number when its whole text (blanks aside) is one.
bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    if (!ok)
        QLocale().toDouble(text.trimmed(), &ok);
    return ok;
}

} // namespace

QString CheckedPositions(const QString& text)
{
    const double value = NumericValue(text);
    if (value > 1000 || value < 10 || !isNumber(text))
        return kDefaultPositions;
    // A session ends when its count of positions is reached, so the count is whole.
    return value == std::floor(value) ? text : NumberToText(RoundToInt32(value));
}

QString CheckedSeconds(const QString& text)
{
    const double value = NumericValue(text);
    return value > 1000 || value == 0 || !isNumber(text) ? kDefaultSeconds : text;
}

} // namespace kx
