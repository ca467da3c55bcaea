#pragma once

#include "NqPropertyBag.h"
#include "ostravin_export.h"

#include <QString>
#include <QWidget>

namespace Ostravin {

/*
 * Runs a text-mode engine program as a child process and turns its output
 * into one DataFromEngine event per line, read by a polling timer on the
 * window thread. It knows nothing of chess; the only command it looks at is
 * one containing "QUIT". Invisible at run time; it keeps itself 29 x 29 pixels.
 */
class OSTRAVIN_EXPORT NqIEngine : public QWidget
{
    Q_OBJECT

public:
    explicit NqIEngine(QWidget* parent = nullptr);
    ~NqIEngine() override;

    /// Starts PathEngine; true when the process runs.
    bool StartEngine();
    /// Terminates the engine (if any) and releases its pipes.
    void CloseEngine();
    /// Sends one command (LF added when missing); the number of bytes written.
    qint32 WriteToEngine(const QString& strWrite);

    QString PathEngine() const;
    void setPathEngine(const QString& vNewPath);

    qint32 TimePolling() const;
    void setTimePolling(double vNewTimePolling);

    bool EngineStarted() const;

    QString Tag() const;
    void setTag(const QString& vNewTag);

    // Persistence hooks called by the host.
    void InitProperties();
    void ReadProperties(const NqPropertyBag& PropBag);
    void WriteProperties(NqPropertyBag& PropBag) const;

signals:
    void DataFromEngine(QString strRead);
    /// The saved state is out of date: property PropertyName changed.
    void PropertyChanged(const QString& PropertyName);

private:
    // Filled in by the implementation.
};

} // namespace Ostravin
