#pragma once

#include "ostravin_export.h"

#include <QString>
#include <QStringList>

namespace Ostravin {

/*
 * Splits an engine command line into the program and its arguments by the
 * rule engine command lines have always been written in: blanks and tabs
 * separate words and double quotes group them. The first word (the program)
 * takes quotes only as grouping marks; in the arguments a quote may be
 * escaped with a backslash (\"), 2n backslashes before a quote become n, a
 * doubled quote inside quotes is a literal quote, and backslashes elsewhere
 * are ordinary characters. Nothing else is interpreted: no variables, globs
 * or separators, because no shell ever sees the result. An empty or blank
 * command line gives an empty list.
 */
OSTRAVIN_EXPORT QStringList SplitCommandLine(const QString& commandLine);

} // namespace Ostravin
