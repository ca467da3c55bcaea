#pragma once

#include "Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

/*
 * A settings file in the INI form the program has always used: section and
 * key names match without regard to case, values are kept exactly as the user
 * wrote them (only the blanks around them are trimmed on reading), and writing
 * one key leaves every other line of the file as it was.
 */
namespace kx {

/// The value of key in section of a settings file's text, trimmed;
/// defaultValue when the section or key is missing.
QString IniValue(const QByteArray& data, const QString& section, const QString& key,
                 const QString& defaultValue = QString());

/// The settings text with key in section set to value, every other line kept
/// byte for byte; nothing when the name or value cannot be written on one line.
std::optional<QByteArray> WithIniValue(const QByteArray& data, const QString& section,
                                       const QString& key, const QString& value);

/// The value of key in section, trimmed; defaultValue when file, section or key is missing.
QString ReadIniValue(const QString& filePath, const QString& section, const QString& key,
                     const QString& defaultValue = QString());

/// Sets key in section, creating the file, section or key when missing. A
/// failure, naming the file, when it cannot be written; the old file is then
/// untouched.
Result<> WriteIniValue(const QString& filePath, const QString& section, const QString& key,
                       const QString& value);

/// Sets several keys of section in one write: all of them or, when one cannot
/// be stored or the file cannot be written, none.
Result<> WriteIniValues(const QString& filePath, const QString& section,
                        const QList<std::pair<QString, QString>>& values);

} // namespace kx
