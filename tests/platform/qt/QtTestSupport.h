#pragma once
// The offscreen Qt application of the renderer's tests, synthetic input and screenshots.
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <string>

namespace qttest {

// One application for the whole executable, on the offscreen platform (no display needed).
inline QApplication& App()
{
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "qt_tests";
        static char* argv[] = {name, nullptr};
        auto* a = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return a;
    }();
    return *app;
}

// Saves what a widget shows as a PNG in the build folder, for a person to look at.
inline QString Screenshot(QWidget* w, const QString& name)
{
    QDir().mkpath(QStringLiteral("screens"));
    QString path = QDir(QStringLiteral("screens")).absoluteFilePath(name + QStringLiteral(".png"));
    w->window()->grab().save(path);
    return path;
}

inline void Click(QWidget* w, QPoint at = QPoint(-1, -1), Qt::MouseButton button = Qt::LeftButton)
{
    if (at.x() < 0)
        at = w->rect().center();
    QPointF local(at);
    QPointF global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

inline void DoubleClick(QWidget* w, QPoint at)
{
    QPointF local(at);
    QPointF global(w->mapToGlobal(at));
    Click(w, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &dbl);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

inline void Press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &release);
}

} // namespace qttest
