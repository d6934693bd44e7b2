#include "worksheets/Legende.h"

#include <algorithm>
#include <array>

#include "core/Frame.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

// One row of the legend: a picture (or, without one, a short text in its place) and what it means.
// The pictures are the ones the criteria draw; all are 40 units wide.
struct Symbol {
    const char* picture;
    int height;
    const char* text;
};

constexpr std::array<Symbol, 15> kSymbols{{
    {"Legende_KR7.bmp", 9, "Überschreitung der werktäglichen Arbeitszeit"},
    {"Legende_KR7_grn.bmp", 9, "Überschreitung der werktäglichen Arbeitszeit ausgeglichen im Ausgleichszeitraum"},
    {"Legende_KRWAZ.bmp", 30,
     "Überschreitung der durchschnittlichen Wochenarbeitszeit im Durchrechnungszeitraum (WAZ-Spalte)"},
    {"Legende_KRWAZ_Grenzen.bmp", 30,
     "Unterschreitung der wöchentlichen Mindest- oder Überschreitung der wöchentlichen Höchstarbeitszeit "
     "(WAZ-Spalte)"},
    {"Legende_KR10.bmp", 9, "Unter- oder Überschreitung der Anzahl kontinuierlicher Arbeitstage"},
    {"Legende_KR2.bmp", 20, "Unterschreitung der gesetzlichen Mindestruhezeit zwischen Schichten"},
    {"Legende_KR2_grn.bmp", 20,
     "Unterschreitung der gesetzlichen Mindestruhezeit zwischen Schichten ausgeglichen im Ausgleichszeitraum"},
    {nullptr, 10, "ungünstiger Schichtwechsel Nacht - frei - Früh"},
    {"Legende_KR18.bmp", 10, "Ruhezeiten zwischen Schichten"},
    {"Legende_KR17.bmp", 9, "Störung der Wochenendfreizeit"},
    {"Legende_KR3.bmp", 30, "Sonntagsruhe nicht eingehalten / Ersatzruhetag nicht vorhanden im Ausgleichszeitraum"},
    {"Legende_KR3_grn.bmp", 30, "Sonntagsruhe nicht eingehalten / Ersatzruhetag vorhanden im Ausgleichszeitraum"},
    {"Legende_KRNS.bmp", 10,
     "max. erlaubte Anzahl von einzelnen/kontinuierlichen Störungen der Nachtschlafzeiten überschritten"},
    {"Legende_KRSZ.bmp", 10,
     "max. erlaubte Anzahl von einzelnen/kontinuierlichen Störungen der Zeiten für soziale Aktivitäten "
     "überschritten"},
    {"Legende_KRFZ.bmp", 10,
     "max. erlaubte Anzahl von einzelnen/kontinuierlichen Störungen der Zeiten für familiäre Aktivitäten "
     "überschritten"},
}};

constexpr int kPanel = 1;
constexpr int kClose = 32;   // after the panel and a picture and a text per row
static_assert(kClose == kPanel + 2 * static_cast<int>(kSymbols.size()) + 1);

constexpr int kWidth = 420;
constexpr int kTextWidth = kWidth - 70;
constexpr int kLineHeight = 10;
const char* const kFontName = "MS Sans Serif";

class LegendeWindow : public FwWindow {
public:
    LegendeWindow() : FwWindow("Legende") {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        PendingRequest = 0;
        LastResponse = RESPONSE_NONE;
        WindowDesc d;
        d.name = "P58$WINDOW";
        d.title = "Legende";
        d.icon = "mini_Bewertung.ico";
        d.fontName = kFontName;
        d.w = kWidth;
        d.Add(Ctl::Panel().Id(kPanel));
        int y = 8;
        for (const Symbol& s : kSymbols) {
            // Long explanations wrap; a row is as high as its taller half.
            int lines = std::max(1, (TextWidth(s.text, kFontName) + kTextWidth - 1) / kTextWidth);
            int textHeight = lines * kLineHeight;
            int rowHeight = std::max(s.height, textHeight);
            if (s.picture)
                d.Add(Ctl::Image(s.picture).At(8, y + (rowHeight - s.height) / 2, 40, s.height));
            else   // red, as the grid draws it
                d.Add(Ctl::Prompt("N - F").Colors(-1, 255).At(8, y + (rowHeight - kLineHeight) / 2, 40, kLineHeight));
            d.Add(Ctl::Prompt(s.text).At(56, y + (rowHeight - textHeight) / 2, kTextWidth, textHeight));
            y += rowHeight + 6;
        }
        d.controls.front().At(4, 4, kWidth - 8, y - 4);
        d.Add(Ctl::Button("Schließen").Id(kClose).Name("?Schliessen").Default().At(kWidth - 72, y + 8, 64, 16));
        d.h = y + 32;
        CreateWindow(d);
        OpenWindow();
        RegisterHotKeys();
        return level;
    }

    int OnAccepted() override
    {
        if (EventAccepted() == kClose) {
            EventPost(EVENT_CLOSE_WINDOW);
            return LEVEL_BENIGN;
        }
        return FwWindow::OnAccepted();
    }

};

} // namespace

void Legende()
{
    LegendeWindow w;
    w.RunWindow();
    LastResponse = static_cast<uint8_t>(w.Response);
}
