#pragma once
// A file shown with the program the desktop names for its kind. The desktop is asked first: with
// no program named, its opener fails where nobody sees it.
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

// Starts a detached program without a shell; true when started.
using StartDetached = std::function<bool(const QString& program, const QStringList& arguments, const QString& directory)>;

// Hands the file to the desktop's program for its kind ("xdg-open" with the file as one argument,
// run in `directory`). "" when it was started; else the German words for the planner that no
// program to show such files was found (where the file is, the caller says).
std::string ShowFileWithDesktop(const QString& file, const QString& directory, const StartDetached& start);
