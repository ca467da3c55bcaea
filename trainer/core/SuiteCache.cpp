#include "SuiteCache.h"

#include "SafeWrite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace kx {

namespace {
constexpr const char* kHeadingFirstLine = "Kestrelux suite cache 1\n";
} // namespace

QString SuiteCache::pathFor(const QString& kind, const QFileInfo& file) const
{
    return QDir(m_folder).filePath(file.fileName() + u'.' + kind);
}

QByteArray SuiteCache::heading(const QFileInfo& file, const QString& key)
{
    // A name or key with a line break would run into the next line.
    const auto line = [](QString text) {
        return text.replace(u'\n', u' ').replace(u'\r', u' ').toUtf8() + '\n';
    };
    return kHeadingFirstLine + line(file.absoluteFilePath()) + QByteArray::number(file.size()) +
           '\n' + QByteArray::number(file.lastModified().toMSecsSinceEpoch()) + '\n' + line(key);
}

std::optional<QByteArray> SuiteCache::Read(const QString& kind, const QFileInfo& file,
                                           const QString& key) const
{
    if (!isOn())
        return std::nullopt;
    QFile kept(pathFor(kind, file));
    if (!kept.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray expected = heading(file, key);
    if (kept.read(expected.size()) != expected)
        return std::nullopt;
    QByteArray data = kept.readAll();
    if (kept.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

Result<> SuiteCache::Write(const QString& kind, const QFileInfo& file, const QString& key,
                           const QByteArray& data) const
{
    if (!isOn())
        return {};
    if (!QDir().mkpath(m_folder))
        return Fail(QStringLiteral("Cannot create the folder %1").arg(m_folder));
    return ReplaceFileContents(pathFor(kind, file), heading(file, key) + data);
}

} // namespace kx
