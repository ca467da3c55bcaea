#pragma once

#include <QLocale>
#include <QString>

/*
 * Numbers as the trainer keeps them in text boxes and labels: the lenient
 * leading-number parse used for every numeric setting, rounding to integers
 * with halves to even, shortest plain-decimal text in the user's locale, and
 * the few fixed format patterns of the session report. The locale is the
 * program's default one, QLocale(): the system's unless the program sets another.
 */
namespace kx {

/// The number at the start of text: leading blanks skipped, "." as the
/// decimal point, optional sign and exponent; 0 when there is none.
double NumericValue(const QString& text);

/// Nearest integer, halves to the even neighbour, saturated to the type's range.
qint32 RoundToInt32(double value);
qint16 RoundToInt16(double value);

/// Plain decimal, at most 15 significant digits, no trailing zeros, no group
/// separators, with the locale's decimal separator.
QString NumberToText(double value, const QLocale& locale = QLocale());

/// Reads a number written by NumberToText in the same locale; texts that are
/// not such a number fall back to NumericValue.
double TextToNumber(const QString& text, const QLocale& locale = QLocale());

/// One of the report patterns "0#) ", "0# ", "00", "000 ", "0000 ", "###0.0",
/// "#####0.0": every digit place from the first '0' on is always written ("0#"
/// gives at least two digits), '#' places before it only when needed; text
/// around the digits is copied. Rounds halves away from zero, judged on the
/// value's 15-significant-digit decimal form (so 0.15 counts as a half); a
/// negative result gets a leading "-" unless it rounds to zero.
QString FormatNumber(double value, const QString& pattern, const QLocale& locale = QLocale());

} // namespace kx
