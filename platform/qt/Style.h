#pragma once
// How the window models' numbers become Qt's: colours, fonts, units, key codes and shortcut texts.
#include <QColor>
#include <QFont>
#include <QKeySequence>
#include <QString>

#include <string>

class QKeyEvent;

namespace QtStyle {

inline QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// A colour number of the models (red + 256 * green + 65536 * blue); -1 and below: none.
bool HasColor(long long color);
QColor ToColor(long long color);

// The program names fonts of its own platform ("Tahoma", "Arial", "MS Sans Serif"); they all map
// to the desktop's sans family. Sizes are points; 0 takes the window's or 8. Weight 700 is bold.
QFont MapFont(const std::string& name, int points, int weight = 0);

// Window and control geometry in the models is in dialog-like units: one unit is a quarter of the
// mapped font's average character width, so descriptions scale with the desktop's font. Inside a
// list (columns, line heights, the painter's primitives, mouse positions) the same units hold.
double UnitScale();
int ToPixels(long long units);
int ToUnits(int pixels);

// The key code of the window models for a Qt key press, 0 when it has none.
int KeyCodeOf(const QKeyEvent& event);
int KeyCodeOf(int qtKey, Qt::KeyboardModifiers modifiers);

// A shortcut text as menus show it ("Strg-N", "Strg+Umschalt+S", "F5") as a key sequence.
QKeySequence ShortcutOf(const std::string& text);

// "&Datei" keeps its mnemonic; a text meant for a plain label gets "&&" for a literal "&".
QString PlainText(const std::string& text);

} // namespace QtStyle
