#include "ExternalLauncher.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <utility>

namespace {

const QString kGamesFolder = QStringLiteral("/usr/games");

} // namespace

ExternalLauncher::ExternalLauncher(QObject* parent) : QObject(parent)
{
    connect(&m_tickTimer, &QTimer::timeout, this, &ExternalLauncher::tick);
}

ExternalLauncher::~ExternalLauncher()
{
    // A look still under way is cut short; the chess program itself stays.
    for (QProcess* helper : findChildren<QProcess*>()) {
        helper->disconnect(this);
        helper->kill();
        helper->waitForFinished();
    }
}

QStringList ExternalLauncher::Arguments(bool withEngine, const QString& suitePath,
                                        const QString& position)
{
    QStringList arguments;
    if (withEngine)
        arguments << QStringLiteral("-fcp") << QStringLiteral("stockfish") << QStringLiteral("-fd")
                  << kGamesFolder << QStringLiteral("-fUCI");
    arguments << QStringLiteral("-lpf") << suitePath << QStringLiteral("-lpi") << position
              << QStringLiteral("-saveSettingsOnExit") << QStringLiteral("false");
    return arguments;
}

QString ExternalLauncher::FindProgram(const QString& name)
{
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name, {kGamesFolder});
    return found;
}

kx::Result<> ExternalLauncher::Launch(const QStringList& arguments, double waitTime,
                                      bool blackToMove)
{
    if (watching())
        return kx::Fail(tr("The chess program started before is still being watched."));
    const QString xboard = FindProgram(QStringLiteral("xboard"));
    m_xdotool = FindProgram(QStringLiteral("xdotool"));
    if (xboard.isEmpty() || m_xdotool.isEmpty())
        return kx::Fail(
            tr("The external chess program needs xboard and xdotool, and %1 is not "
               "installed.\nInstall it with: sudo apt-get install %1")
                .arg(xboard.isEmpty() ? QStringLiteral("xboard") : QStringLiteral("xdotool")));
    qint64 pid = 0;
    if (!QProcess::startDetached(xboard, arguments, QString(), &pid) || pid <= 0)
        return kx::Fail(tr("xboard could not be started (%1).").arg(xboard));
    m_processId = pid;
    m_counter = 0;
    m_keysAt = waitTime >= 1 && waitTime == std::floor(waitTime) && waitTime <= m_timing.ticks
                   ? int(waitTime)
                   : 0;
    m_blackToMove = blackToMove;
    m_keysSent = false;
    m_windowSeen = false;
    m_busy = false;
    m_window.clear();
    m_tickTimer.start(m_timing.tick);
    tick(); // the first look comes at once
    return {};
}

bool ExternalLauncher::programAlive() const
{
    // Not our child: it may linger as a zombie of whoever adopted it.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(m_processId));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text.at(close + 2) != 'Z';
}

void ExternalLauncher::tick()
{
    if (!watching())
        return;
    ++m_counter;
    if (!programAlive()) {
        end();
        return;
    }
    const bool last = m_counter >= m_timing.ticks;
    if (m_busy) { // the previous look has not come back yet
        if (last)
            end();
        return;
    }
    m_busy = true;
    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
             QString::number(m_processId)},
            [this, last](int, const QByteArray& output) {
                const QList<QByteArray> windows = output.trimmed().split('\n');
                const QString window = QString::fromLatin1(windows.value(0).trimmed());
                if (window.isEmpty()) {
                    m_busy = false;
                    // Gone once it was there; not there yet otherwise.
                    if (m_windowSeen || last)
                        end();
                    return;
                }
                m_window = window;
                if (!std::exchange(m_windowSeen, true))
                    emit windowSeen();
                activate(window);
                if (last)
                    end();
            });
}

void ExternalLauncher::activate(const QString& window)
{
    // Without a window manager there is no activating: focus will do.
    xdotool({QStringLiteral("windowactivate"), window},
            [this, window](int code, const QByteArray&) {
                const auto then = [this] {
                    if (m_keysAt > 0 && !m_keysSent && m_counter >= m_keysAt)
                        sendKeys();
                    else
                        m_busy = false;
                };
                if (code == 0)
                    then();
                else
                    xdotool({QStringLiteral("windowfocus"), window},
                            [then](int, const QByteArray&) { then(); });
            });
}

void ExternalLauncher::sendKeys()
{
    m_keysSent = true;
    const auto analysisMode = [this] {
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")},
                [this](int, const QByteArray&) { m_busy = false; });
    };
    if (m_blackToMove)
        xdotool({QStringLiteral("key"), QStringLiteral("F2")},
                [analysisMode](int, const QByteArray&) { analysisMode(); });
    else
        analysisMode();
}

void ExternalLauncher::xdotool(const QStringList& arguments,
                               std::function<void(int, const QByteArray&)> done)
{
    auto* helper = new QProcess(this);
    helper->setProcessChannelMode(QProcess::SeparateChannels);
    connect(helper, &QProcess::finished, this,
            [helper, done](int code, QProcess::ExitStatus status) {
                helper->deleteLater();
                done(status == QProcess::NormalExit ? code : -1, helper->readAllStandardOutput());
            });
    connect(helper, &QProcess::errorOccurred, this, [helper, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        helper->deleteLater();
        done(-1, {});
    });
    helper->start(m_xdotool, arguments);
}

void ExternalLauncher::end()
{
    if (!watching())
        return;
    m_tickTimer.stop();
    emit finished();
}
