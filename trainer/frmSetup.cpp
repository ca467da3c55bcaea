#include "frmSetup.h"

#include "Twips.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace {

const QString kProgramsFilter = QStringLiteral("Eseguibili (*)");
const QString kAllFilesFilter = QStringLiteral("Tutti i file (*)");

// A child element with its name and text, placed at a rectangle given in twips.
template<typename T>
T* element(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
           int height)
{
    auto* w = new T(text, parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                   height / kTwipsPerPixel);
    return w;
}

// Shows folders and, while the programs filter is chosen, only files that
// may be run: on this system a program is known by its permission, not its name.
class ProgramsOnly : public QSortFilterProxyModel
{
public:
    explicit ProgramsOnly(QFileDialog* dialog) : QSortFilterProxyModel(dialog), m_dialog(dialog) {}

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        if (m_dialog->selectedNameFilter() != kProgramsFilter)
            return true;
        const auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }

private:
    QFileDialog* m_dialog;
};

} // namespace

frmSetup::frmSetup(QWidget* owner, DialogRunner runner)
    : QDialog(owner), m_runner(std::move(runner))
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(tr("Engine setup"));
    setFixedSize(5565 / kTwipsPerPixel, 1455 / kTwipsPerPixel);

    lblEngine = element<QLabel>(this, "lblEngine", tr("Engine"), 105, 105, 495, 195);
    txtEngine = element<QLineEdit>(this, "txtEngine", QString(), 105, 315, 3375, 285);
    cmdPath = element<QPushButton>(this, "cmdPath", QStringLiteral("..."), 3570, 315, 435, 285);
    cmdPath->setToolTip(QStringLiteral("Seleziona il motore"));
    cmdPath->setAutoDefault(false);
    lblCommandLine =
        element<QLabel>(this, "lblCommandLine", tr("Command line arguments"), 105, 735, 1770, 195);
    txtCommandLine = element<QLineEdit>(this, "txtCommandLine", QString(), 105, 945, 3375, 285);
    cmdOK = element<QPushButton>(this, "cmdOK", tr("OK"), 4410, 210, 1065, 330);
    cmdOK->setDefault(true);
    cmdCancel = element<QPushButton>(this, "cmdCancel", tr("Cancel"), 4410, 630, 1065, 330);
    cmdCancel->setAutoDefault(false);

    connect(cmdOK, &QPushButton::clicked, this, &frmSetup::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetup::cmdCancel_Click);
    connect(cmdPath, &QPushButton::clicked, this, &frmSetup::cmdPath_Click);
    // Closing the window counts as Cancel.
    connect(this, &QDialog::rejected, this, [this] { Selected = false; });
    Form_Load();
}

void frmSetup::Form_Load()
{
    Selected = false;
}

void frmSetup::cmdOK_Click()
{
    Selected = true;
    accept();
}

void frmSetup::cmdCancel_Click()
{
    Selected = false;
    reject();
}

void frmSetup::cmdPath_Click()
{
    QFileDialog dlgEngine(this, QStringLiteral("Selezione Motore"));
    dlgEngine.setObjectName(QStringLiteral("dlgEngine"));
    // The chooser's own widgets, so that the programs filter can look at permissions.
    dlgEngine.setOption(QFileDialog::DontUseNativeDialog);
    dlgEngine.setOption(QFileDialog::ReadOnly);
    dlgEngine.setFileMode(QFileDialog::ExistingFile);
    dlgEngine.setAcceptMode(QFileDialog::AcceptOpen);
    dlgEngine.setNameFilters({kProgramsFilter, kAllFilesFilter});
    auto* programs = new ProgramsOnly(&dlgEngine);
    dlgEngine.setProxyModel(programs);
    connect(&dlgEngine, &QFileDialog::filterSelected, programs, &QSortFilterProxyModel::invalidate);
    const QFileInfo current(txtEngine->text());
    if (current.isAbsolute())
        dlgEngine.setDirectory(current.absolutePath());
    dlgEngine.selectFile(QString());

    const int result = RunDialog(m_runner, dlgEngine);
    const QStringList chosen = dlgEngine.selectedFiles();
    if (result == QDialog::Accepted && !chosen.isEmpty() && !chosen.first().isEmpty())
        txtEngine->setText(chosen.first());
}
