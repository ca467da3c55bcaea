#pragma once

#include <QDialog>

#include <functional>

/// Runs a modal dialog and gives its result; exec() unless replaced (tests
/// answer the dialogs instead).
using DialogRunner = std::function<int(QDialog& dialog)>;

/// The dialog's result through runner, or from exec() when none is set.
inline int RunDialog(const DialogRunner& runner, QDialog& dialog)
{
    return runner ? runner(dialog) : dialog.exec();
}
