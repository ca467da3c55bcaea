#pragma once

#include <QString>
#include <QStringList>

/*
 * Suite files: one EPD record per line, position n being line n. Line ends may
 * be LF or CR LF; the CR is never part of a record.
 */
namespace kx {

struct SuiteRecord
{
    bool ok = false;
    QString record; // the line, without its line end
    QString error;  // a message naming the file and the number when !ok
};

/// Line n (1-based) of the suite file.
SuiteRecord ReadSuiteRecord(const QString& path, qint32 n);

/// Number of lines in the file; -1 when it cannot be read.
qint32 CountSuiteLines(const QString& path);

/// "WAC.EPD", "BWTC.EPD", "WCSAC.EPD", then every other .epd file (any case)
/// in the folders, by name; each name once.
QStringList SuiteList(const QStringList& folders);

/// The path of the suite file name in the first of folders that holds it; empty when none does.
QString FindSuite(const QStringList& folders, const QString& name);

} // namespace kx
