#pragma once

#include "DialogRunner.h"
#include "EngineSettings.h"

class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

/*
 * The engine setup dialog: the engine program's path, chosen by hand or with
 * a file chooser, its command-line arguments and the protocol it speaks
 * (Auto, xboard, UCI). Selected tells whether it was closed with OK.
 */
class frmSetup : public QDialog
{
    Q_OBJECT

public:
    explicit frmSetup(QWidget* owner = nullptr, DialogRunner runner = {});

    bool Selected = false;

    QLabel* lblEngine = nullptr;
    QLineEdit* txtEngine = nullptr;
    QPushButton* cmdPath = nullptr;
    QLabel* lblCommandLine = nullptr;
    QLineEdit* txtCommandLine = nullptr;
    QLabel* lblProtocol = nullptr;
    QComboBox* cmbProtocol = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdPath_Click();

    kx::EngineProtocol protocol() const;
    void setProtocol(kx::EngineProtocol protocol);

private:
    void Form_Load();

    DialogRunner m_runner;
};
