#pragma once

#include <QString>

namespace kx {

/// Appends a session's report and a line end to the log, creating the file
/// (and its folder) when missing. False, with a message naming the file, when
/// it cannot be written; what the log held before is never lost.
bool AppendSessionLog(const QString& logPath, const QString& reportText, QString* error = nullptr);

} // namespace kx
