#include "SuiteChooser.h"

#include "Paths.h"
#include "Suite.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLineEdit>

namespace {
constexpr int kPathRole = Qt::UserRole + 1; // the file of a suite from elsewhere
} // namespace

SuiteChooser::SuiteChooser(QComboBox* box, const QString& programFolder, const QString& dataFolder,
                           const DialogRunner& runner, QObject* parent)
    : QObject(parent), m_box(box), m_programFolder(programFolder), m_dataFolder(dataFolder),
      m_runner(runner), m_watcher(new QFileSystemWatcher(this))
{
    // The data folder is where users add suites: watched from the start.
    QDir().mkpath(dataFolder);
    for (const QString& folder : kx::SuiteFolders(programFolder, dataFolder)) {
        if (QFileInfo(folder).isDir())
            m_watcher->addPath(folder);
    }
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &SuiteChooser::refresh);
    connect(box, &QComboBox::activated, this, &SuiteChooser::activated);
    // A typed suite name is taken up like one chosen from the list.
    connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (m_box->lineEdit()->isModified()) {
            m_box->lineEdit()->setModified(false);
            emit chosen();
        }
    });
}

void SuiteChooser::Fill(const QString& remembered)
{
    refresh();
    const QStringList folders = kx::SuiteFolders(m_programFolder, m_dataFolder);
    if (QFileInfo(remembered).isAbsolute() && QFileInfo(remembered).isFile()) {
        addOutside(remembered);
        return;
    }
    QString first = QLatin1String(kx::kClassicSuites[0].name);
    if (!remembered.isEmpty() && !kx::FindSuite(folders, remembered).isEmpty()) {
        first = remembered;
    } else if (kx::FindSuite(folders, first).isEmpty()) {
        for (const QString& name : kx::SuiteList(folders)) {
            if (!kx::FindSuite(folders, name).isEmpty()) {
                first = name;
                break;
            }
        }
    }
    m_box->setEditText(first);
    m_previous = first;
}

void SuiteChooser::refresh()
{
    // The choice and the files from elsewhere stay; the folders' suites are read again.
    const QString current = m_box->currentText();
    QStringList outside;
    for (int i = 0; i < m_box->count(); ++i) {
        if (m_box->itemData(i, kPathRole).isValid())
            outside << m_box->itemData(i, kPathRole).toString();
    }
    const QSignalBlocker quiet(m_box);
    m_box->clear();
    m_box->addItems(kx::SuiteList(kx::SuiteFolders(m_programFolder, m_dataFolder)));
    for (const QString& path : std::as_const(outside)) {
        m_box->addItem(QFileInfo(path).fileName());
        m_box->setItemData(m_box->count() - 1, path, kPathRole);
    }
    m_box->addItem(tr(kOpenEntry));
    m_box->setEditText(current);
}

QString SuiteChooser::Name() const
{
    return m_box->currentText();
}

QString SuiteChooser::Path() const
{
    const QString name = Name();
    const int at = m_box->findText(name);
    if (at >= 0 && m_box->itemData(at, kPathRole).isValid())
        return m_box->itemData(at, kPathRole).toString();
    const QString found = kx::FindSuite(kx::SuiteFolders(m_programFolder, m_dataFolder), name);
    return found.isEmpty() ? QDir(m_dataFolder).filePath(name) : found;
}

QString SuiteChooser::Remembered() const
{
    const int at = m_box->findText(Name());
    return at >= 0 && m_box->itemData(at, kPathRole).isValid() ? Path() : Name();
}

void SuiteChooser::setName(const QString& name)
{
    m_box->setEditText(name);
}

void SuiteChooser::activated(int index)
{
    if (m_box->itemText(index) != tr(kOpenEntry)) {
        m_previous = m_box->itemText(index);
        emit chosen();
        return;
    }
    QFileDialog dialog(m_box->window(), tr("Open a suite"));
    dialog.setObjectName(QStringLiteral("dlgOpenSuite"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({tr("Suites (*.epd *.EPD)"), tr("All files (*)")});
    dialog.setDirectory(QDir::homePath());
    const int result = RunDialog(m_runner, dialog);
    const QStringList files = dialog.selectedFiles();
    if (result != QDialog::Accepted || files.isEmpty() || !QFileInfo(files.first()).isFile()) {
        m_box->setEditText(m_previous);
        return;
    }
    addOutside(QFileInfo(files.first()).absoluteFilePath());
    emit chosen();
}

void SuiteChooser::addOutside(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    int at = m_box->findText(name);
    if (at < 0 || !m_box->itemData(at, kPathRole).isValid()) {
        at = m_box->count() - 1; // before "Open..."
        m_box->insertItem(at, name);
    }
    m_box->setItemData(at, path, kPathRole);
    m_box->setCurrentIndex(at);
    m_box->setEditText(name);
    m_previous = name;
}
