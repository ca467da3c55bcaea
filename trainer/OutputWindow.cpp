#include "OutputWindow.h"

#include "Twips.h"

#include "frmOutput.h"

namespace {

constexpr int kOutputLeft = 6000; // twips
constexpr int kOutputTop = 5000;  // twips

} // namespace

frmOutput& OutputWindow::Show()
{
    if (!m_window) {
        m_window = new frmOutput(m_owner);
        m_window->move(kOutputLeft / kTwipsPerPixel, kOutputTop / kTwipsPerPixel);
    }
    m_window->show();
    return *m_window;
}

frmOutput& OutputWindow::ShowNew()
{
    delete m_window.data();
    return Show();
}

frmOutput* OutputWindow::Open() const
{
    return m_window;
}

void OutputWindow::Close()
{
    if (!m_window)
        return;
    m_window->hide();
    m_window->deleteLater();
    m_window = nullptr;
}
