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
    void numberToText_data();
    void numberToText();
    void formatNumber_data();
    void formatNumber();
};

void TestNumberText::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("number then letters") << "12abc" << 12.0;
    QTest::newRow("blanks, sign, exponent") << " -3.5e2x" << -350.0;
    QTest::newRow("exponent sign without digits") << "4E+" << 4.0;
    QTest::newRow("tab, leading point") << "\t.5" << 0.5;
    QTest::newRow("comma is not a point") << "1,5" << 1.0;
    QTest::newRow("blank after sign") << "- 3" << 0.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    // Too large or too small for a double, told by the number's real power of ten.
    const double max = std::numeric_limits<double>::max();
    QTest::newRow("overflow saturates") << "1e999" << max;
    QTest::newRow("underflow is zero") << "1e-999" << 0.0;
    QTest::newRow("underflow without exponent")
        << QStringLiteral("0.") + QString(323, u'0') + u'1' << 0.0;
    QTest::newRow("overflow with negative exponent")
        << QStringLiteral("-1") + QString(310, u'0') + QStringLiteral("e-1") << -max;
    QTest::newRow("exponent of 25 digits") << "0.5e1000000000000000000000" << max;
}

void TestNumberText::numericValue()
{
    QFETCH(QString, text);
    QTEST(NumericValue(text), "expected");
    // None of these is a number as NumberToText writes it: read the same way.
    QTEST(TextToNumber(text, QLocale::c()), "expected");
}

void TestNumberText::roundToInt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("int32");
    QTest::addColumn<qint16>("int16");
    using L32 = std::numeric_limits<qint32>;
    using L16 = std::numeric_limits<qint16>;
    QTest::newRow("half down to even") << 2.5 << 2 << qint16(2);
    QTest::newRow("half up to even") << 3.5 << 4 << qint16(4);
    QTest::newRow("negative half to even") << -2.5 << -2 << qint16(-2);
    QTest::newRow("beyond 16 bits") << 40000.0 << 40000 << L16::max();
    QTest::newRow("beyond 32 bits") << 1e12 << L32::max() << L16::max();
    QTest::newRow("below 32 bits") << -1e12 << L32::min() << L16::min();
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0 << qint16(0);
}

void TestNumberText::roundToInt()
{
    QFETCH(double, value);
    QTEST(RoundToInt32(value), "int32");
    QTEST(RoundToInt16(value), "int16");
}

// Each text reads back in its locale as the number written.
void TestNumberText::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    const QLocale c = QLocale::c();
    QTest::newRow("comma locale, no group separator")
        << -1234567.25 << QLocale(QLocale::German) << "-1234567,25";
    QTest::newRow("whole number") << 100.0 << c << "100";
    QTest::newRow("binary sum") << 0.1 + 0.2 << c << "0.3";
    QTest::newRow("negative zero") << -0.0 << c << "0";
    QTest::newRow("large, no exponent") << 1e15 << c << "1000000000000000";
    QTest::newRow("small, no exponent") << 1e-7 << c << "0.0000001";
    QTest::newRow("fifteen digits") << 1.0 / 3.0 << c << "0.333333333333333";
}

void TestNumberText::numberToText()
{
    QFETCH(double, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(NumberToText(value, locale), text);
    QCOMPARE(TextToNumber(text, locale), value);
}

// The attempt-line patterns are checked to the character with the report lines.
void TestNumberText::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    const QLocale c = QLocale::c();
    QTest::newRow("points rounded") << 96.875 << "###0.0" << c << "96.9";
    QTest::newRow("comma locale") << 96.875 << "###0.0" << QLocale(QLocale::German) << "96,9";
    QTest::newRow("half away from zero") << 2.5 << "00" << c << "03";
    QTest::newRow("negative half away") << -2.5 << "00" << c << "-03";
    QTest::newRow("decimal half below in binary") << 0.15 << "###0.0" << c << "0.2";
    QTest::newRow("rounds to negative zero") << -0.04 << "#####0.0" << c << "0.0";
    QTest::newRow("carry into new digit") << 99.95 << "###0.0" << c << "100.0";
    QTest::newRow("whole gets decimal") << 40.0 << "#####0.0" << c << "40.0";
}

void TestNumberText::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QLocale, locale);
    QTEST(FormatNumber(value, pattern, locale), "expected");
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
