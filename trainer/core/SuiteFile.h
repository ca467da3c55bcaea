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
/// in folder, by name.
QStringList SuiteList(const QString& folder);

} // namespace kx
