#include "platform/qt/DesktopOpener.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace {

// Whether the desktop names a program for files of the type: its opener and its type query are
// there, and the query answers with a program.
bool DesktopNamesProgramFor(const QString& mimeType)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
        return false;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    const bool named = query.waitForFinished(3000) && query.exitCode() == 0 &&
                       !query.readAllStandardOutput().trimmed().isEmpty();
    if (query.state() != QProcess::NotRunning) {
        query.kill();
        query.waitForFinished(1000);
    }
    return named;
}

} // namespace

std::string ShowFileWithDesktop(const QString& file, const QString& directory, const StartDetached& start)
{
    const QFileInfo info(file);
    const QString mimeType = QMimeDatabase().mimeTypeForFile(info).name();
    if (DesktopNamesProgramFor(mimeType) && start(QStringLiteral("xdg-open"), {file}, directory))
        return {};
    const QString suffix = info.suffix().toUpper();
    const QString kind = suffix.isEmpty() ? QStringLiteral("diese Datei") : suffix + QStringLiteral("-Dateien");
    return (QStringLiteral("Es wurde kein Programm gefunden, das ") + kind +
            QStringLiteral(" anzeigen kann. Öffnen Sie die Datei bei Bedarf mit einem Programm Ihrer Wahl."))
        .toStdString();
}
