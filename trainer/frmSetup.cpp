#include "frmSetup.h"

#include "Twips.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>

#include <algorithm>
#include <iterator>

namespace {

const QString kProgramsFilter = QStringLiteral("Eseguibili (*)");
const QString kAllFilesFilter = QStringLiteral("Tutti i file (*)");
// In the order the choice lists them.
constexpr kx::EngineProtocol kProtocols[] = {kx::EngineProtocol::Auto, kx::EngineProtocol::Xboard,
                                             kx::EngineProtocol::Uci};

// A child element with its name and text, placed at a rectangle given in twips.
// A caption takes the room its text needs, whatever the font.
template<typename T> T* placed(T* w, const char* name, int left, int top, int width, int height)
{
    w->setObjectName(QLatin1String(name));
    int pixels = width / kTwipsPerPixel;
    int high = height / kTwipsPerPixel;
    if (qobject_cast<QLabel*>(w)) {
        pixels = qMax(pixels, w->sizeHint().width());
        high = qMax(high, w->sizeHint().height());
    }
    w->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, pixels, high);
    return w;
}

template<typename T>
T* element(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
           int height)
{
    return placed(new T(text, parent), name, left, top, width, height);
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
    setFixedSize(5565 / kTwipsPerPixel, 2070 / kTwipsPerPixel);

    lblEngine = element<QLabel>(this, "lblEngine", tr("Engine"), 105, 105, 495, 195);
    txtEngine = element<QLineEdit>(this, "txtEngine", QString(), 105, 315, 3375, 285);
    cmdPath = element<QPushButton>(this, "cmdPath", QStringLiteral("..."), 3570, 315, 435, 285);
    cmdPath->setToolTip(QStringLiteral("Seleziona il motore"));
    cmdPath->setAutoDefault(false);
    lblCommandLine =
        element<QLabel>(this, "lblCommandLine", tr("Command line arguments"), 105, 735, 1770, 195);
    txtCommandLine = element<QLineEdit>(this, "txtCommandLine", QString(), 105, 945, 3375, 285);
    lblProtocol = element<QLabel>(this, "lblProtocol", tr("Protocol"), 105, 1365, 1770, 195);
    cmbProtocol = placed(new QComboBox(this), "cmbProtocol", 105, 1575, 1770, 315);
    for (const kx::EngineProtocol protocol : kProtocols)
        cmbProtocol->addItem(kx::ProtocolName(protocol));
    cmbProtocol->setToolTip(tr("How Kestrelux speaks to the engine: Auto finds out at each start "
                               "whether it speaks xboard or UCI"));
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

kx::EngineProtocol frmSetup::protocol() const
{
    return kProtocols[qBound(0, cmbProtocol->currentIndex(), int(std::size(kProtocols)) - 1)];
}

void frmSetup::setProtocol(kx::EngineProtocol protocol)
{
    cmbProtocol->setCurrentIndex(
        int(std::find(std::begin(kProtocols), std::end(kProtocols), protocol) -
            std::begin(kProtocols)));
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
