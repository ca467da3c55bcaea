#pragma once

#include <QPointer>

class QWidget;
class frmOutput;

/*
 * The lifetime of the engine output window: opened at its place when there
 * is something to show, a fresh one for each analysis, and hidden and
 * deleted when the analysis stops. The user may close it meanwhile (it then
 * deletes itself); the next line to show opens another.
 */
class OutputWindow
{
public:
    explicit OutputWindow(QWidget* owner) : m_owner(owner) {}

    /// The window, shown; opened first when there is none.
    frmOutput& Show();
    /// A fresh window for a new analysis: one still open goes at once.
    frmOutput& ShowNew();
    /// The window; null when none is open.
    frmOutput* Open() const;
    /// Hides the window and deletes it once events run.
    void Close();

private:
    QWidget* m_owner;
    QPointer<frmOutput> m_window;
};
