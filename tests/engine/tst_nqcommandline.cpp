#include "NqCommandLine.h"

#include <QTest>

using Ostravin::SplitCommandLine;

/*
 * The split of an engine command line into program and arguments: quoting,
 * blanks, backslashes, and the absence of any shell-like interpretation.
 */
class tst_NqCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
};

void tst_NqCommandLine::split_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("blanks and tabs only") << " \t  " << QStringList{};
    QTest::newRow("runs of blanks and tabs separate once")
        << "  prog \t a   b\t" << QStringList{"prog", "a", "b"};
    QTest::newRow("quoted program with blanks")
        << "\"/opt/my engines/crafty 25\" xboard"
        << QStringList{"/opt/my engines/crafty 25", "xboard"};
    QTest::newRow("quotes inside the program group only")
        << "/opt/\"my engines\"/e" << QStringList{"/opt/my engines/e"};
    QTest::newRow("backslashes in the program stay")
        << "\"c:\\engines\\\" x" << QStringList{"c:\\engines\\", "x"};
    QTest::newRow("quoted arguments join neighbouring text")
        << "e \"a b\" c\"d e\"f" << QStringList{"e", "a b", "cd ef"};
    QTest::newRow("empty quoted argument") << "e \"\" x" << QStringList{"e", "", "x"};
    QTest::newRow("unterminated quote runs to the end") << "e \"a b  " << QStringList{"e", "a b  "};
    QTest::newRow("shell characters and single quotes are literal")
        << "e $HOME ; | > `id` * 'a b'"
        << QStringList{"e", "$HOME", ";", "|", ">", "`id`", "*", "'a", "b'"};
    QTest::newRow("odd backslashes before a quote escape it")
        << "e a\\\"b c\\\\\\\"d" << QStringList{"e", "a\"b", "c\\\"d"};
    QTest::newRow("even backslashes before a quote leave it grouping")
        << "e a\\\\\"b c\"" << QStringList{"e", "a\\b c"};
    QTest::newRow("backslashes elsewhere are ordinary")
        << "e a\\b\\\\c\\" << QStringList{"e", "a\\b\\\\c\\"};
    QTest::newRow("doubled quote inside quotes")
        << "e \"say \"\"hi\"\" now\"" << QStringList{"e", "say \"hi\" now"};
}

void tst_NqCommandLine::split()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, words);
    QCOMPARE(SplitCommandLine(commandLine), words);
}

QTEST_GUILESS_MAIN(tst_NqCommandLine)
#include "tst_nqcommandline.moc"
