#include "NumberText.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kx {

namespace {

// Significant digits kept when a double is written as text: enough for every
// value a user types or the scoring produces, few enough that sums such as
// 0.1 + 0.2 come out as the decimal the user expects.
constexpr int kSignificantDigits = 15;
// Exponents beyond any a double can use are all read as this one: no
// overflow however many digits the text has.
constexpr qint64 kExponentCap = 1'000'000'000'000;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A value as decimal digits: value = 0.d1d2d3... * 10^pointPos, so pointPos is
// the number of digits before the decimal point (it may be negative or larger
// than the digit count). No leading or trailing zeros are kept; zero has no
// digits.
struct Decimal
{
    bool negative = false;
    std::string digits;
    int pointPos = 0;
};

Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    char buf[64];
    // d.dddddddddddddde+XX: exactly kSignificantDigits digits, correctly rounded.
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, kSignificantDigits - 1);
    const std::string text(buf, res.ptr);
    const auto ePos = text.find('e');
    for (std::size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.')
            d.digits += text[i];
    }
    d.pointPos = std::stoi(text.substr(ePos + 1)) + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) {
        d.negative = false;
        d.pointPos = 0;
    }
    return d;
}

// Rounds to the given number of decimals, halves away from zero (the decimal
// digits are already the shortest reading of the double, so a value written
// 0.15 counts as a half even though its binary value lies just below).
void roundHalfAway(Decimal& d, int decimals)
{
    const int keep = d.pointPos + decimals;
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
    } else {
        const bool up = d.digits[keep] >= '5';
        d.digits.resize(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && d.digits[i] == '9')
                d.digits[i--] = '0';
            if (i >= 0) {
                ++d.digits[i];
            } else {
                d.digits.insert(d.digits.begin(), '1');
                ++d.pointPos;
            }
        }
        while (!d.digits.empty() && d.digits.back() == '0')
            d.digits.pop_back();
    }
    if (d.digits.empty()) {
        d.negative = false;
        d.pointPos = 0;
    }
}

std::string integerPart(const Decimal& d)
{
    if (d.pointPos <= 0)
        return {};
    std::string s = d.digits.substr(0, d.pointPos);
    s.append(d.pointPos - s.size(), '0');
    return s;
}

std::string fractionPart(const Decimal& d)
{
    if (d.pointPos >= static_cast<int>(d.digits.size()))
        return {};
    if (d.pointPos >= 0)
        return d.digits.substr(d.pointPos);
    return std::string(-d.pointPos, '0') + d.digits;
}

template<typename Int> Int roundToInt(double value)
{
    if (std::isnan(value))
        return 0;
    const double low = std::floor(value);
    const double diff = value - low;
    double r = low;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(low, 2.0) != 0.0))
        r = low + 1.0;
    if (r <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (r >= static_cast<double>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(r);
}

} // namespace

double NumericValue(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    std::string number;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            number += '-';
        ++i;
    }
    // The power of ten of the first non-zero digit, and of the exponent, tell
    // a number too large for a double from one too small for it.
    qint64 order = 0;
    bool significant = false;
    bool anyDigit = false;
    while (i < n && isDigit(text[i])) {
        if (significant)
            ++order;
        significant = significant || text[i] != u'0';
        number += char(text[i++].unicode());
        anyDigit = true;
    }
    if (i < n && text[i] == u'.') {
        number += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            if (!significant)
                --order;
            significant = significant || text[i] != u'0';
            number += char(text[i++].unicode());
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    // The exponent counts only when at least one digit follows it: "1e" is 1.
    qint64 exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponentText = "e";
        bool negativeExponent = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            negativeExponent = text[j] == u'-';
            exponentText += char(text[j++].unicode());
        }
        bool expDigit = false;
        while (j < n && isDigit(text[j])) {
            exponent = std::min<qint64>(exponent * 10 + (text[j].unicode() - u'0'), kExponentCap);
            exponentText += char(text[j++].unicode());
            expDigit = true;
        }
        if (expDigit)
            number += exponentText;
        exponent = !expDigit ? 0 : negativeExponent ? -exponent : exponent;
    }
    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto res = std::from_chars(first, last, value);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large saturates, too small is zero.
        const bool negative = number.front() == '-';
        if (order + exponent < 0)
            return negative ? -0.0 : 0.0;
        const double big = std::numeric_limits<double>::max();
        return negative ? -big : big;
    }
    return value;
}

qint32 RoundToInt32(double value)
{
    return roundToInt<qint32>(value);
}

qint16 RoundToInt16(double value)
{
    return roundToInt<qint16>(value);
}

QString NumberToText(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return locale.toString(value);
    const Decimal d = toDecimal(value);
    if (d.digits.empty())
        return QStringLiteral("0");
    std::string intPart = integerPart(d);
    if (intPart.empty())
        intPart.push_back('0');
    QString text;
    if (d.negative)
        text += u'-';
    text += QString::fromLatin1(intPart);
    const std::string frac = fractionPart(d);
    if (!frac.empty())
        text += locale.decimalPoint() + QString::fromLatin1(frac);
    return text;
}

double TextToNumber(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    const QString point = QRegularExpression::escape(locale.decimalPoint());
    const QRegularExpression written(QStringLiteral("^-?[0-9]+(%1[0-9]+)?$").arg(point));
    if (written.match(trimmed).hasMatch()) {
        QString plain = trimmed;
        plain.replace(locale.decimalPoint(), QStringLiteral("."));
        return NumericValue(plain);
    }
    return NumericValue(text);
}

QString FormatNumber(double value, const QString& pattern, const QLocale& locale)
{
    auto isPlaceholder = [](QChar c) {
        return c == u'0' || c == u'#' || c == u'.';
    };
    qsizetype first = 0;
    while (first < pattern.size() && !isPlaceholder(pattern[first]))
        ++first;
    qsizetype last = first;
    while (last < pattern.size() && isPlaceholder(pattern[last]))
        ++last;
    const QString numberPart = pattern.mid(first, last - first);
    const qsizetype point = numberPart.indexOf(u'.');
    const QString intPattern = point < 0 ? numberPart : numberPart.left(point);
    const QString fracPattern = point < 0 ? QString() : numberPart.mid(point + 1);

    // As in the classic format patterns, every digit place from the first '0'
    // on is shown, so "0#" writes at least two digits and "###0" at least one.
    const qsizetype firstZero = intPattern.indexOf(u'0');
    const int minIntDigits = firstZero < 0 ? 0 : int(intPattern.size() - firstZero);
    const int decimals = int(fracPattern.size());
    const int minDecimals = int(fracPattern.lastIndexOf(u'0') + 1);

    Decimal d = std::isfinite(value) ? toDecimal(value) : Decimal{};
    roundHalfAway(d, decimals);

    std::string intPart = integerPart(d);
    if (static_cast<int>(intPart.size()) < minIntDigits)
        intPart.insert(0, minIntDigits - intPart.size(), '0');
    std::string frac = fractionPart(d);
    if (static_cast<int>(frac.size()) < minDecimals)
        frac.append(minDecimals - frac.size(), '0');

    QString text = pattern.left(first);
    if (d.negative)
        text += u'-';
    text += QString::fromLatin1(intPart);
    if (!frac.empty())
        text += locale.decimalPoint() + QString::fromLatin1(frac);
    text += pattern.mid(last);
    return text;
}

} // namespace kx
