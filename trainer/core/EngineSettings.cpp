#include "EngineSettings.h"

#include "IniFile.h"
#include "Paths.h"

#include <QFile>

namespace kx {

namespace {

QString section()
{
    return QLatin1String(kSettingsSection);
}

} // namespace

QString ProtocolName(EngineProtocol protocol)
{
    switch (protocol) {
    case EngineProtocol::Xboard:
        return QStringLiteral("xboard");
    case EngineProtocol::Uci:
        return QStringLiteral("UCI");
    case EngineProtocol::Auto:
        break;
    }
    return QStringLiteral("Auto");
}

EngineProtocol ProtocolFromName(const QString& name)
{
    const QString word = name.trimmed();
    for (const EngineProtocol protocol : {EngineProtocol::Xboard, EngineProtocol::Uci}) {
        if (word.compare(ProtocolName(protocol), Qt::CaseInsensitive) == 0)
            return protocol;
    }
    return EngineProtocol::Auto;
}

EngineSettings EngineSettings::Read(const QString& filePath)
{
    EngineSettings settings;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return settings;
    const QByteArray data = file.readAll();
    settings.program = IniValue(data, section(), QLatin1String(kEngineKey));
    settings.arguments = IniValue(data, section(), QLatin1String(kCommandLineKey));
    settings.protocol = ProtocolFromName(IniValue(data, section(), QLatin1String(kProtocolKey)));
    return settings;
}

Result<> EngineSettings::Write(const QString& filePath) const
{
    return WriteIniValues(filePath, section(),
                          {{QLatin1String(kEngineKey), program},
                           {QLatin1String(kCommandLineKey), arguments},
                           {QLatin1String(kProtocolKey), ProtocolName(protocol)}});
}

} // namespace kx
