#include "platform/qt/Pictures.h"

#include "platform/qt/Style.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QPainter>
#ifdef VARN_HAVE_SVG
#include <QSvgRenderer>
#endif

namespace Pictures {

namespace {

QMutex cacheMutex;

QHash<QString, QString>& PathCache()
{
    static QHash<QString, QString> cache;   // key -> file ("" when not found)
    return cache;
}

QHash<QString, QPixmap>& PixmapCache()
{
    static QHash<QString, QPixmap> cache;
    return cache;
}

// "~Mini_Tabelle.ICO" -> "mini_tabelle"
QString BaseName(const QString& name)
{
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char('~')))
        n = n.mid(1);
    n = QFileInfo(n).fileName();
    int dot = n.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        n = n.left(dot);
    return n.toLower();
}

QString FindIn(const QString& dir, const QString& base)
{
    QDir d(dir);
    if (!d.exists())
        return {};
    for (const char* ext : {".svg", ".png"}) {
        QString f = d.filePath(base + QLatin1String(ext));
        if (QFileInfo::exists(f))
            return f;
    }
    // The folder may hold the file in another case.
    const QStringList entries = d.entryList(QDir::Files);
    for (const QString& e : entries) {
        QFileInfo fi(e);
        if (fi.completeBaseName().toLower() == base &&
            (fi.suffix().toLower() == QLatin1String("svg") || fi.suffix().toLower() == QLatin1String("png")))
            return d.filePath(e);
    }
    return {};
}

QString Locate(const std::string& name)
{
    QString q = QtStyle::Q(name);
    if (q.trimmed().isEmpty())
        return {};
    {
        QMutexLocker lock(&cacheMutex);
        auto it = PathCache().constFind(q);
        if (it != PathCache().constEnd())
            return *it;
    }
    QString found;
    QString base = BaseName(q);
    QString data = DataDir();
    if (!base.isEmpty() && !data.isEmpty()) {
        // "Varn4.bmp" is the header picture, "varn4.ico" the program's icon: pictures first for
        // picture names, icons first for the rest.
        QString ext = QFileInfo(q).suffix().toLower();
        bool picture = ext == QLatin1String("bmp") || ext == QLatin1String("gif") || ext == QLatin1String("wmf") ||
                       ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") || ext == QLatin1String("png");
        QString first = data + (picture ? QLatin1String("/pictures") : QLatin1String("/icons"));
        QString second = data + (picture ? QLatin1String("/icons") : QLatin1String("/pictures"));
        found = FindIn(first, base);
        if (found.isEmpty())
            found = FindIn(second, base);
    }
    if (found.isEmpty() && !q.startsWith(QLatin1Char('~'))) {
        // A file the user named (a logo, a photo): read as it is, if Qt can read it.
        QFileInfo fi(q);
        if (fi.isFile() && !QImageReader::imageFormat(fi.absoluteFilePath()).isEmpty())
            found = fi.absoluteFilePath();
    }
    QMutexLocker lock(&cacheMutex);
    PathCache().insert(q, found);
    return found;
}

QPixmap Render(const QString& file, int width, int height)
{
    if (file.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
#ifndef VARN_HAVE_SVG
        return {};
#else
        QSvgRenderer svg(file);
        if (!svg.isValid())
            return {};
        QSize natural = svg.defaultSize();
        QSize size = natural;
        if (width > 0 && height > 0)
            size = natural.scaled(width, height, Qt::KeepAspectRatio);
        if (size.isEmpty())
            return {};
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        svg.render(&p);
        p.end();
        return QPixmap::fromImage(img);
#endif
    }
    QImageReader reader(file);
    reader.setAutoTransform(true);
    QImage img = reader.read();
    if (img.isNull())
        return {};
    if (width > 0 && height > 0)
        img = img.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return QPixmap::fromImage(img);
}

} // namespace

QString DataDir()
{
    static const QString dir = [] {
        QByteArray env = qgetenv("VARN_DATA_DIR");
        if (!env.isEmpty() && QDir(QString::fromLocal8Bit(env)).exists())
            return QDir(QString::fromLocal8Bit(env)).absolutePath();
        QString app = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
        if (!app.isEmpty())
            for (const char* rel : {"/data", "/../data", "/../../data", "/../../../data"}) {
                QDir d(app + QLatin1String(rel));
                if (d.exists(QStringLiteral("icons")))
                    return d.absolutePath();
            }
#ifdef VARN_SOURCE_DATA_DIR
        return QString::fromUtf8(VARN_SOURCE_DATA_DIR);
#else
        return QString();
#endif
    }();
    return dir;
}

QIcon Icon(const std::string& name)
{
    QString file = Locate(name);
    if (file.isEmpty())
        return {};
    if (file.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        // Drawn at the sizes menus, buttons and title bars ask for, so each stays sharp.
        QIcon icon;
        for (int size : {16, 20, 24, 32, 48}) {
            QPixmap p = Picture(name, size, size);
            if (!p.isNull())
                icon.addPixmap(p);
        }
        return icon;
    }
    QPixmap p = Picture(name);
    return p.isNull() ? QIcon() : QIcon(p);
}

QPixmap Picture(const std::string& name) { return Picture(name, 0, 0); }

QPixmap Picture(const std::string& name, int width, int height)
{
    QString file = Locate(name);
    if (file.isEmpty())
        return {};
    QString key = file + QLatin1Char('@') + QString::number(width) + QLatin1Char('x') + QString::number(height);
    {
        QMutexLocker lock(&cacheMutex);
        auto it = PixmapCache().constFind(key);
        if (it != PixmapCache().constEnd())
            return *it;
    }
    QPixmap p = Render(file, width, height);
    QMutexLocker lock(&cacheMutex);
    PixmapCache().insert(key, p);
    return p;
}

void ClearCache()
{
    QMutexLocker lock(&cacheMutex);
    PathCache().clear();
    PixmapCache().clear();
}

} // namespace Pictures
