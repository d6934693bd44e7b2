// A planner's click as the window system delivers it: sent to the top-level window at a pixel, so
// that it reaches whatever widget really lies there.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace apptest {

// A click at a point of `widget` (its own pixels). The clock moves on past a double click's
// interval between calls, so that two clicks stay two clicks.
inline void ClickAt(QWidget* widget, QPoint at)
{
    static int clock = 1000;
    QWidget* top = widget->window();
    QWindow* window = top->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPointF local(widget->mapTo(top, at));
    const QPointF global(top->mapToGlobal(local.toPoint()));
    qt_handleMouseEvent(window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, {}, clock);
    qt_handleMouseEvent(window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, {},
                        clock + 10);
    clock += 5000;
}

} // namespace apptest
