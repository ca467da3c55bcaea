#pragma once

#include "Result.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include <optional>

namespace kx {

/*
 * What reading a large suite found, kept in files of a folder of its own so
 * that the next start need not read the suite again: its index, and the
 * positions the last filter matched. A kept file names the suite file it was
 * made from, with its size and time of change, and the key it was made for
 * (the format, the filter); it is used only while all of them still hold.
 */
class SuiteCache
{
public:
    explicit SuiteCache(const QString& folder = QString()) : m_folder(folder) {}

    QString folder() const { return m_folder; }
    /// Nothing is kept without a folder.
    bool isOn() const { return !m_folder.isEmpty(); }

    /// What was kept under kind for the file and key; none when nothing was,
    /// or it was kept for another file, an older one or another key.
    std::optional<QByteArray> Read(const QString& kind, const QFileInfo& file,
                                   const QString& key) const;
    /// Keeps data under kind for the file and key, in place of what was kept
    /// before; a failure, with the reason, when it cannot be written.
    Result<> Write(const QString& kind, const QFileInfo& file, const QString& key,
                   const QByteArray& data) const;

private:
    QString pathFor(const QString& kind, const QFileInfo& file) const;
    static QByteArray heading(const QFileInfo& file, const QString& key);

    QString m_folder;
};

} // namespace kx
