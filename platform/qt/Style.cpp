#include "platform/qt/Style.h"

#include "platform/ui/Events.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace QtStyle {

bool HasColor(long long color) { return color >= 0 && color <= 0xFFFFFF; }

QColor ToColor(long long color)
{
    if (!HasColor(color))
        return {};
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

namespace {

// VARN_UI_SCALE enlarges fonts and geometry together (for high-resolution screens).
double UserScale()
{
    static const double scale = [] {
        const char* v = std::getenv("VARN_UI_SCALE");
        double s = v ? std::atof(v) : 1.0;
        return s >= 0.5 && s <= 4.0 ? s : 1.0;
    }();
    return scale;
}

QString SansFamily()
{
    static const QString family = [] {
        QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        QString fam = f.family();
        // The offscreen platform offers no desktop font; take a sans one that is there.
        if (fam.isEmpty() || fam == QLatin1String("Sans Serif") || fam == QLatin1String("Helvetica")) {
            const QStringList families = QFontDatabase::families();
            for (const char* want : {"DejaVu Sans", "Noto Sans", "Liberation Sans", "FreeSans"})
                if (families.contains(QLatin1String(want)))
                    return QString::fromLatin1(want);
        }
        return fam;
    }();
    return family;
}

} // namespace

QFont MapFont(const std::string& name, int points, int weight)
{
    QFont f(SansFamily());
    QString n = Q(name).toLower();
    if (n.contains(QLatin1String("courier")) || n.contains(QLatin1String("mono")))
        f.setStyleHint(QFont::Monospace);
    else
        f.setStyleHint(QFont::SansSerif);
    if (points <= 0)
        points = 8;
    f.setPointSizeF(points * UserScale());
    if (weight >= 600)
        f.setBold(true);
    return f;
}

double UnitScale()
{
    // A unit is a quarter of the average width of the letters A-Z and a-z in the dialogs' font,
    // the measure the layouts were made in; the font's own average figure runs narrower than real
    // text in wide fonts, which then no longer fits the places laid out for it.
    static const double scale = [] {
        QFontMetricsF m(MapFont("Tahoma", 8));
        const double letters =
            m.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
        return std::clamp(std::max(letters, m.averageCharWidth()) / 4.0, 1.0, 4.0);
    }();
    return scale;
}

int ToPixels(long long units) { return static_cast<int>(std::lround(static_cast<double>(units) * UnitScale())); }
int ToUnits(int pixels) { return static_cast<int>(std::lround(pixels / UnitScale())); }

int KeyCodeOf(int k, Qt::KeyboardModifiers mods)
{
    int base = 0;
    bool keypad = mods & Qt::KeypadModifier;
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        base = Key::LETTER_A + (k - Qt::Key_A);
    else if (k >= Qt::Key_0 && k <= Qt::Key_9)
        base = keypad ? Key::KEYPAD_0 + (k - Qt::Key_0) : Key::DIGIT_0 + (k - Qt::Key_0);
    else if (k >= Qt::Key_F1 && k <= Qt::Key_F12)
        base = Key::F1 + (k - Qt::Key_F1);
    else {
        switch (k) {
        case Qt::Key_Backspace: base = Key::BACKSPACE; break;
        case Qt::Key_Tab: base = Key::TAB; break;
        case Qt::Key_Backtab: base = Key::TAB; mods |= Qt::ShiftModifier; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: base = Key::ENTER; break;
        case Qt::Key_Escape: base = Key::ESC; break;
        case Qt::Key_Space: base = Key::SPACE; break;
        case Qt::Key_PageUp: base = Key::PAGE_UP; break;
        case Qt::Key_PageDown: base = Key::PAGE_DOWN; break;
        case Qt::Key_End: base = Key::END; break;
        case Qt::Key_Home: base = Key::HOME; break;
        case Qt::Key_Left: base = Key::LEFT; break;
        case Qt::Key_Up: base = Key::UP; break;
        case Qt::Key_Right: base = Key::RIGHT; break;
        case Qt::Key_Down: base = Key::DOWN; break;
        case Qt::Key_Insert: base = Key::INSERT; break;
        case Qt::Key_Delete: base = Key::DELETE; break;
        case Qt::Key_Asterisk: base = keypad ? Key::KEYPAD_MULTIPLY : 0; break;
        case Qt::Key_Plus: base = keypad ? Key::KEYPAD_PLUS : 0; break;
        case Qt::Key_Minus: base = keypad ? Key::KEYPAD_MINUS : 0; break;
        default: break;
        }
    }
    if (base == 0)
        return 0;
    if (mods & Qt::ShiftModifier)
        base |= Key::SHIFT;
    if (mods & Qt::ControlModifier)
        base |= Key::CTRL;
    if (mods & Qt::AltModifier)
        base |= Key::ALT;
    return base;
}

int KeyCodeOf(const QKeyEvent& e) { return KeyCodeOf(e.key(), e.modifiers()); }

QKeySequence ShortcutOf(const std::string& text)
{
    QString t = Q(text).trimmed();
    if (t.isEmpty())
        return {};
    // German key names and "-" between the parts, as the menus write them.
    t.replace(QLatin1String("Strg"), QLatin1String("Ctrl"), Qt::CaseInsensitive);
    t.replace(QLatin1String("Umschalt"), QLatin1String("Shift"), Qt::CaseInsensitive);
    t.replace(QLatin1String("Entf"), QLatin1String("Del"), Qt::CaseInsensitive);
    t.replace(QLatin1String("Einfg"), QLatin1String("Ins"), Qt::CaseInsensitive);
    QStringList parts = t.split(QRegularExpression(QStringLiteral("[-+]")), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    return QKeySequence::fromString(parts.join(QLatin1Char('+')), QKeySequence::PortableText);
}

QString PlainText(const std::string& text)
{
    QString t = Q(text);
    t.replace(QLatin1String("&"), QLatin1String("&&"));
    return t;
}

} // namespace QtStyle
