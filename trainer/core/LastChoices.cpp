#include "LastChoices.h"

#include "IniFile.h"
#include "SafeWrite.h"

#include <QDir>

namespace kx {

namespace {
const QString kSection = QStringLiteral("Last");
const QString kSuiteKey = QStringLiteral("Suite");
const QString kPositionsKey = QStringLiteral("Positions");
const QString kSecondsKey = QStringLiteral("Seconds");
const QString kWholeLineKey = QStringLiteral("WholeLine");
const QString kEngineCheckKey = QStringLiteral("EngineCheck");
const QString kCountEqualKey = QStringLiteral("CountEqual");
const QString kOn = QStringLiteral("1");
const QString kRatingFromKey = QStringLiteral("RatingFrom");
const QString kRatingToKey = QStringLiteral("RatingTo");
const QString kThemesKey = QStringLiteral("Themes");

QString fileIn(const QString& folder)
{
    return QDir(folder).filePath(QLatin1String(kLastChoicesFileName));
}
} // namespace

LastChoices ReadLastChoices(const QString& dataFolder)
{
    const QString path = fileIn(dataFolder);
    const auto value = [&path](const QString& key) {
        return ReadIniValue(path, kSection, key);
    };
    return {value(kSuiteKey),
            value(kPositionsKey),
            value(kSecondsKey),
            value(kRatingFromKey),
            value(kRatingToKey),
            value(kThemesKey),
            value(kWholeLineKey) == kOn,
            value(kEngineCheckKey) == kOn,
            value(kCountEqualKey) == kOn};
}

Result<> WriteLastChoices(const QString& dataFolder, const LastChoices& choices)
{
    if (!QDir().mkpath(dataFolder))
        return Fail(QStringLiteral("Cannot create the folder %1").arg(dataFolder));
    // A line break would end the value early; no name or number holds one.
    const auto line = [](const QString& key, QString value) {
        value.replace(u'\n', u' ').replace(u'\r', u' ');
        return key + u'=' + value + u'\n';
    };
    const QString text = u'[' + kSection + QStringLiteral("]\n") + line(kSuiteKey, choices.suite) +
                         line(kPositionsKey, choices.positions) +
                         line(kSecondsKey, choices.seconds) +
                         line(kRatingFromKey, choices.ratingFrom) +
                         line(kRatingToKey, choices.ratingTo) + line(kThemesKey, choices.themes) +
                         line(kWholeLineKey, choices.wholeLine ? kOn : QStringLiteral("0")) +
                         line(kEngineCheckKey, choices.engineCheck ? kOn : QStringLiteral("0")) +
                         line(kCountEqualKey, choices.countEqual ? kOn : QStringLiteral("0"));
    return ReplaceFileContents(fileIn(dataFolder), text.toUtf8());
}

} // namespace kx
