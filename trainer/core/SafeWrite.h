#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>

namespace kx {

/// Replaces the file at path with data as a whole: the data goes to a new
/// file in the same folder, which takes the old one's place only once all of
/// it is written. A failure, with the system's reason, when it cannot be; the
/// old file is then untouched.
Result<> ReplaceFileContents(const QString& path, const QByteArray& data);

} // namespace kx
