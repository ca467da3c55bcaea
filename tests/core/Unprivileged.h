#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

/*
 * Runs a test function again as a user who is not root. Permission bits do
 * not stop root's writes, so a test of a read-only folder means nothing as
 * root (CI runs so). The test binary and the libraries of ours it loads are
 * copied to a folder every user can reach (the clone may lie where others
 * cannot read), and the copy runs the one function as "nobody".
 */
class Unprivileged
{
public:
    /// True when this process is root, so the test must go through run().
    static bool needed() { return geteuid() == 0; }

    /// The test function running now, with its row: what run() takes.
    static QString currentFunction()
    {
        const char* row = QTest::currentDataTag();
        return QString::fromLatin1(QTest::currentTestFunction()) +
               (row ? u':' + QString::fromUtf8(row) : QString());
    }

    /// Runs testFunction ("name" or "name:row") of this binary as nobody; its
    /// exit code, or -1 with why set when that cannot be done on this machine.
    static int run(const QString& testFunction, QString* output, QString* why)
    {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody) {
            *why = QStringLiteral("there is no user \"nobody\"");
            return -1;
        }
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kx-unprivileged-XXXXXX"));
        const QString binary = dir.filePath(QFileInfo(qApp->applicationFilePath()).fileName());
        if (!dir.isValid() || !QFile::copy(qApp->applicationFilePath(), binary) ||
            !copyOwnLibraries(dir.path())) {
            *why = QStringLiteral("the test could not be copied to %1").arg(dir.path());
            return -1;
        }
        // Home and temporary files in folders of the user's own.
        for (const char* sub : {"home", "tmp"}) {
            if (!QDir(dir.path()).mkdir(sub) ||
                ::chown(QFile::encodeName(dir.filePath(sub)).constData(), nobody->pw_uid,
                        nobody->pw_gid) != 0) {
                *why = QStringLiteral("no folder for nobody in %1").arg(dir.path());
                return -1;
            }
        }
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        ::chmod(QFile::encodeName(binary).constData(), 0755);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("TMPDIR", dir.filePath("tmp"));
        environment.insert("LD_LIBRARY_PATH", dir.path());
        environment.remove("XDG_RUNTIME_DIR");
        environment.remove("XDG_DATA_HOME");
        environment.remove("XDG_CONFIG_HOME");
        QProcess test;
        test.setProcessEnvironment(environment);
        test.setWorkingDirectory(dir.path());
        test.setProcessChannelMode(QProcess::MergedChannels);
        test.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                                               QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                                               "--clear-groups", "--", binary, testFunction});
        if (!test.waitForStarted()) {
            *why = QStringLiteral("setpriv (util-linux) cannot be started");
            return -1;
        }
        test.waitForFinished(-1);
        *output = QString::fromLocal8Bit(test.readAll());
        // 126 and 127: setpriv could not run the copy (a temporary folder
        // mounted noexec, say).
        if (test.exitStatus() == QProcess::NormalExit &&
            (test.exitCode() == 126 || test.exitCode() == 127)) {
            *why = QStringLiteral("the copy in %1 cannot be run: %2").arg(dir.path(), *output);
            return -1;
        }
        return test.exitStatus() == QProcess::NormalExit ? test.exitCode() : -1;
    }

private:
    // Every library this process has loaded from outside the system folders,
    // under every name in its folder (the loader asks for the versioned one).
    static bool copyOwnLibraries(const QString& to)
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        if (!maps.open(QIODevice::ReadOnly))
            return false;
        QStringList folders;
        for (const QByteArray& line : maps.readAll().split('\n')) {
            const QString path = QString::fromLocal8Bit(line.mid(line.indexOf('/')));
            if (!line.contains('/') || !path.contains(QLatin1String(".so")) ||
                path.startsWith(QLatin1String("/usr/")) || path.startsWith(QLatin1String("/lib")))
                continue;
            const QString folder = QFileInfo(path).absolutePath();
            if (!folders.contains(folder))
                folders << folder;
        }
        for (const QString& folder : std::as_const(folders)) {
            for (const QFileInfo& library :
                 QDir(folder).entryInfoList({QStringLiteral("*.so*")}, QDir::Files)) {
                const QString copy = to + u'/' + library.fileName();
                if (!QFile::copy(library.absoluteFilePath(), copy) ||
                    ::chmod(QFile::encodeName(copy).constData(), 0644) != 0)
                    return false;
            }
        }
        return true;
    }
};

/// As root, runs the current test function (and row) again as nobody and
/// ends it with that run's outcome; as any other user, does nothing.
#define KX_RUN_AS_UNPRIVILEGED_USER()                                                              \
    do {                                                                                           \
        if (Unprivileged::needed()) {                                                              \
            QString output_, why_;                                                                 \
            const int code_ = Unprivileged::run(Unprivileged::currentFunction(), &output_, &why_); \
            if (code_ < 0 && !why_.isEmpty())                                                      \
                QSKIP(qPrintable(QStringLiteral("needs a user who is not root, but ") + why_));    \
            QVERIFY2(code_ == 0, qPrintable(output_));                                             \
            return;                                                                                \
        }                                                                                          \
    } while (false)
