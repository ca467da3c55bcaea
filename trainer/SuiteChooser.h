#pragma once

#include "DialogRunner.h"

#include <QObject>
#include <QString>

class QComboBox;
class QFileSystemWatcher;

/*
 * The suite box: the suites of the suite folders (the list follows the
 * folders while the program runs, so a file copied in appears at once),
 * a suite typed by name, and "Open...", which takes a suite file from any
 * folder. It knows where the chosen suite's file is, and what to remember of
 * the choice for the next start (the name, or the whole path of a file from
 * elsewhere).
 */
class SuiteChooser : public QObject
{
    Q_OBJECT

public:
    /// runner is where the file chooser runs; it must outlive the chooser.
    SuiteChooser(QComboBox* box, const QString& programFolder, const QString& dataFolder,
                 const DialogRunner& runner, QObject* parent);

    /// Fills the list and chooses remembered (a name or a path) when it can be
    /// found, else WAC.EPD or, when that is not installed, the first suite that is.
    void Fill(const QString& remembered);
    /// The chosen suite's name, as reports and files name it.
    QString Name() const;
    /// The chosen suite's file; in the data folder, where a user adds suites,
    /// when no folder holds it.
    QString Path() const;
    /// What the next start chooses again: the name, or the path of a file from elsewhere.
    QString Remembered() const;
    /// Goes back to a suite without telling (a choice refused).
    void setName(const QString& name);

    static constexpr const char* kOpenEntry = "Open...";

signals:
    /// The user has chosen a suite (from the list, by name or with Open...).
    void chosen();

private:
    void refresh();
    void activated(int index);
    /// Adds a file from outside the suite folders to the list and chooses it.
    void addOutside(const QString& path);

    QComboBox* m_box;
    QString m_programFolder;
    QString m_dataFolder;
    const DialogRunner& m_runner;
    QFileSystemWatcher* m_watcher;
    QString m_previous; // the name chosen before "Open..." was picked
};
