#include "NumberText.h"

#include <QTest>

#include <limits>

using namespace kx;

// Text-number conversions of the trainer's boxes and report patterns.
class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void numericValue_data();
    void numericValue();
    void roundToInt_data();
    void roundToInt();
    void roundToInt16Saturates();
    void numberToText_data();
    void numberToText();
    void textToNumber_data();
    void textToNumber();
    void formatNumber_data();
    void formatNumber();
};

void TestNumberText::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("number then letters") << "12abc" << 12.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks, sign, exponent") << " -3.5e2x" << -350.0;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "4E+" << 4.0;
    QTest::newRow("negative exponent") << "25e-2" << 0.25;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("leading point") << "  .5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("tab before") << "\t42" << 42.0;
    QTest::newRow("comma is not a point") << "1,5" << 1.0;
    QTest::newRow("blank after sign") << "- 3" << 0.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("overflow saturates") << "1e999" << std::numeric_limits<double>::max();
    QTest::newRow("underflow is zero") << "1e-999" << 0.0;
}

void TestNumberText::numericValue()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(NumericValue(text), expected);
}

void TestNumberText::roundToInt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("half down to even") << 2.5 << 2;
    QTest::newRow("half up to even") << 3.5 << 4;
    QTest::newRow("negative half to even") << -2.5 << -2;
    QTest::newRow("negative half away to even") << -3.5 << -4;
    QTest::newRow("below half") << 0.4999 << 0;
    QTest::newRow("above half") << 150.5000001 << 151;
    QTest::newRow("too large") << 1e12 << std::numeric_limits<qint32>::max();
    QTest::newRow("too small") << -1e12 << std::numeric_limits<qint32>::min();
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestNumberText::roundToInt()
{
    QFETCH(double, value);
    QFETCH(qint32, expected);
    QCOMPARE(RoundToInt32(value), expected);
}

void TestNumberText::roundToInt16Saturates()
{
    QCOMPARE(RoundToInt16(299.5), qint16(300));
    QCOMPARE(RoundToInt16(40000.0), std::numeric_limits<qint16>::max());
    QCOMPARE(RoundToInt16(-40000.0), std::numeric_limits<qint16>::min());
}

void TestNumberText::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German);
    QTest::newRow("one decimal") << 96.9 << c << "96.9";
    QTest::newRow("comma locale") << 96.9 << german << "96,9";
    QTest::newRow("whole number") << 100.0 << c << "100";
    QTest::newRow("binary sum") << 0.1 + 0.2 << c << "0.3";
    QTest::newRow("negative") << -0.5 << c << "-0.5";
    QTest::newRow("zero") << 0.0 << c << "0";
    QTest::newRow("negative zero") << -0.0 << c << "0";
    QTest::newRow("no group separator") << 1234567.25 << german << "1234567,25";
    QTest::newRow("large, no exponent") << 1e15 << c << "1000000000000000";
    QTest::newRow("small, no exponent") << 1e-7 << c << "0.0000001";
    QTest::newRow("fifteen digits") << 1.0 / 3.0 << c << "0.333333333333333";
}

void TestNumberText::numberToText()
{
    QFETCH(double, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(NumberToText(value, locale), expected);
}

void TestNumberText::textToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("expected");
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German);
    QTest::newRow("point in C") << "96.9" << c << 96.9;
    QTest::newRow("comma in German") << "96,9" << german << 96.9;
    QTest::newRow("negative German") << "-1234,5" << german << -1234.5;
    QTest::newRow("comma in C falls back") << "96,9" << c << 96.0;
    QTest::newRow("not a number falls back") << "12abc" << german << 12.0;
}

void TestNumberText::textToNumber()
{
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(double, expected);
    QCOMPARE(TextToNumber(text, locale), expected);
    // What NumberToText writes in a locale reads back as the same number.
    QCOMPARE(TextToNumber(NumberToText(expected, locale), locale), expected);
}

void TestNumberText::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German);
    QTest::newRow("points rounded") << 96.875 << "###0.0" << c << "96.9";
    QTest::newRow("points, comma locale") << 96.875 << "###0.0" << german << "96,9";
    QTest::newRow("half away from zero") << 2.5 << "00" << c << "03";
    QTest::newRow("negative half away") << -2.5 << "00" << c << "-03";
    QTest::newRow("small half") << 0.05 << "###0.0" << c << "0.1";
    QTest::newRow("decimal half below in binary") << 0.15 << "###0.0" << c << "0.2";
    QTest::newRow("rounds to negative zero") << -0.0000001 << "00" << c << "00";
    QTest::newRow("negative to zero decimal") << -0.04 << "#####0.0" << c << "0.0";
    QTest::newRow("carry into new digit") << 99.95 << "###0.0" << c << "100.0";
    QTest::newRow("whole gets decimal") << 40.0 << "#####0.0" << c << "40.0";
    QTest::newRow("more integer digits") << 1234.56 << "###0.0" << c << "1234.6";
    QTest::newRow("attempt number") << 1.0 << "0#) " << c << "01) ";
    QTest::newRow("attempt hundred") << 100.0 << "0#) " << c << "100) ";
    QTest::newRow("solved count") << 7.0 << "0# " << c << "07 ";
    QTest::newRow("tenths") << 123.00000000001 << "00" << c << "123";
    QTest::newRow("seconds left") << 39.99999999999 << "00" << c << "40";
    QTest::newRow("position") << 57.0 << "000 " << c << "057 ";
    QTest::newRow("four digits") << 12.0 << "0000 " << c << "0012 ";
    QTest::newRow("zero") << 0.0 << "###0.0" << c << "0.0";
}

void TestNumberText::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(value, pattern, locale), expected);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
