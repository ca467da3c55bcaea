#pragma once

#include "Result.h"

#include <QString>

namespace kx {

/// Appends a session's report and a line end to the log, creating the file
/// (and its folder) when missing. All or nothing: the log afterwards holds
/// either all of the report or, should the write fail or the program be
/// killed, exactly what it held before. A failure, naming the file, when it
/// cannot be written.
Result<> AppendSessionLog(const QString& logPath, const QString& reportText);

} // namespace kx
