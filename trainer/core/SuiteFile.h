#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/*
 * Suite files: one EPD record per line, position n being line n. Line ends may
 * be LF, CR LF or CR alone and are never part of a record. Lines that are not
 * UTF-8 are read as Latin-1.
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

/// Every line of the file, line n at index n - 1, each as ReadSuiteRecord
/// reads it; nothing (and a message naming the file in error) when it cannot be read.
std::optional<QStringList> ReadSuiteLines(const QString& path, QString* error = nullptr);

/// "WAC.EPD", "BWTC.EPD", "WCSAC.EPD", then every other .epd file (any case)
/// in the folders, by name; each name once.
QStringList SuiteList(const QStringList& folders);

/// The path of the suite file name in the first of folders that holds it; empty when none does.
QString FindSuite(const QStringList& folders, const QString& name);

} // namespace kx
