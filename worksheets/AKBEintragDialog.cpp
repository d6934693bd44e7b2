#include "worksheets/AKBEintragDialog.h"

#include "worksheets/EditorSupport.h"

#include "core/Frame.h"
#include "core/TimeHelpers.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"
#include "plans/AKBEintrag.h"

#include <algorithm>
#include <string>

namespace {

enum Control {
    C_HEAD_TAG = 1, C_HEAD_WOCHE, C_VON_PROMPT, C_TAG_VON, C_WOCHE_VON, C_BIS_PROMPT, C_TAG_BIS, C_WOCHE_BIS,
    C_ZEIT_VON_PROMPT, C_ZEIT_VON, C_ZEIT_BIS_PROMPT, C_ZEIT_BIS, C_MODUS, C_PRO_TAG, C_DURCHGAENGIG,
    C_ANZAHL_PROMPT, C_ANZAHL, C_OK, C_CANCEL,
};

const std::vector<std::string> kWeekdays = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag",
                                            "Sonntag"};

class AKBEintragWindow : public FwWindow {
public:
    AKBEintragWindow(const CAKBEintrag& span, int32_t weeks)
        : FwWindow("UpdateAKBEintrag"), maxWeek_(std::max<int32_t>(8, weeks))
    {
        const uint32_t dayFrom = span.TERMIN.BEGINN / 1440 + 1;
        const uint32_t dayTo = std::max(dayFrom, span.TERMIN.ENDE == 0 ? dayFrom : (span.TERMIN.ENDE - 1) / 1440 + 1);
        weekdayFrom = int((dayFrom - 1) % 7 + 1);
        weekFrom = int((dayFrom - 1) / 7 + 1);
        weekdayTo = int((dayTo - 1) % 7 + 1);
        weekTo = int((dayTo - 1) / 7 + 1);
        von = FormatTimeOfDay(span.TERMIN.BEGINN);
        bis = FormatTimeOfDay(span.TERMIN.ENDE, true);
        anzahl = span.ANZAHL;
    }

    int weekdayFrom = 1, weekFrom = 1, weekdayTo = 1, weekTo = 1;
    std::string von, bis;
    int64_t anzahl = 0;
    std::string modus = "0";
    uint32_t begin = 0, end = 0;

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "AKBEINTRAG";
        d.title = "Arbeitskräftebedarf";
        d.fontName = "Tahoma";
        d.w = 230;
        d.h = 150;
        d.Add(Ctl::Prompt("Wochentag").Id(C_HEAD_TAG).At(40, 6, 80, 10));
        d.Add(Ctl::Prompt("Woche").Id(C_HEAD_WOCHE).At(130, 6, 40, 10));
        d.Add(Ctl::Prompt("von:").Id(C_VON_PROMPT).At(6, 20, 30, 10));
        d.Add(Ctl::DropList().Id(C_TAG_VON).Name("?BYTEDROP").From(kWeekdays).DropRows(7).Use(UseVar(weekdayFrom))
                  .At(40, 19, 80, 12));
        d.Add(Ctl::Spin("@N2", 1, maxWeek_).Id(C_WOCHE_VON).Name("?WOCHEVON").Use(UseVar(weekFrom)).At(130, 19, 34, 12));
        d.Add(Ctl::Prompt("bis:").Id(C_BIS_PROMPT).At(6, 36, 30, 10));
        d.Add(Ctl::DropList().Id(C_TAG_BIS).Name("?BYTEDROP:2").From(kWeekdays).DropRows(7).Use(UseVar(weekdayTo))
                  .At(40, 35, 80, 12));
        d.Add(Ctl::Spin("@n2", 1, maxWeek_).Id(C_WOCHE_BIS).Name("?WOCHEBIS").Use(UseVar(weekTo)).At(130, 35, 34, 12));
        d.Add(Ctl::Prompt("von:").Id(C_ZEIT_VON_PROMPT).At(6, 56, 30, 10));
        d.Add(Ctl::Entry("@s5").Id(C_ZEIT_VON).Name("?VON").Use(UseVar(von)).At(40, 55, 40, 12));
        d.Add(Ctl::Prompt("bis:").Id(C_ZEIT_BIS_PROMPT).At(90, 56, 20, 10));
        d.Add(Ctl::Entry("@s5").Id(C_ZEIT_BIS).Name("?BIS").Use(UseVar(bis)).At(112, 55, 40, 12));
        d.Add(Ctl::Option("").Id(C_MODUS).Name("?DURCHGAENGIG").Use(UseVar(modus)).At(6, 72, 200, 14)
                  .Add(Ctl::Radio("pro Tag", "0").Id(C_PRO_TAG).At(10, 74, 60, 10))
                  .Add(Ctl::Radio("durchgängig", "1").Id(C_DURCHGAENGIG).At(80, 74, 70, 10)));
        d.Add(Ctl::Prompt("Anzahl:").Id(C_ANZAHL_PROMPT).At(6, 94, 30, 10));
        d.Add(Ctl::Entry("@n6").Id(C_ANZAHL).Name("?ANZAHL").Tip("Anzahl Mitarbeiter").Use(UseVar(anzahl))
                  .At(40, 93, 40, 12));
        d.Add(Ctl::Button("OK").Id(C_OK).Name("?OK").Default().At(110, 124, 54, 16));
        d.Add(Ctl::Button("Abbrechen").Id(C_CANCEL).Name("?Abbrechen").At(170, 124, 54, 16));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(C_OK);
        SetCancelControl(C_CANCEL);
        Refresh(true);
        return level;
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        ControlSetEnabled(C_MODUS, !SameDay(), C_DURCHGAENGIG);
        FwWindow::Refresh(force);
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case C_TAG_VON:
            // A begin chosen after the end moves the end to it; an end before the begin, the begin.
            if (DayNumber(weekFrom, weekdayFrom) > DayNumber(weekTo, weekdayTo)) {
                weekdayTo = weekdayFrom;
                weekTo = weekFrom;
            }
            Refresh();
            return LEVEL_BENIGN;
        case C_TAG_BIS:
            if (DayNumber(weekTo, weekdayTo) < DayNumber(weekFrom, weekdayFrom)) {
                weekdayFrom = weekdayTo;
                weekFrom = weekTo;
            }
            Refresh();
            return LEVEL_BENIGN;
        case C_WOCHE_VON:
        case C_WOCHE_BIS:
            Refresh();
            return LEVEL_BENIGN;
        case C_ZEIT_VON:
            von = FormatTimeOfDay(ParseTimeEntry(von));
            ControlDisplay(C_ZEIT_VON);
            return LEVEL_BENIGN;
        case C_ZEIT_BIS:
            bis = FormatTimeOfDay(ParseTimeEntry(bis, true), true);
            ControlDisplay(C_ZEIT_BIS);
            return LEVEL_BENIGN;
        default:
            return FwWindow::OnAccepted();
        }
    }

    int OnCompleted() override
    {
        if (anzahl < 0 || anzahl > 255) {
            Refuse(LocaleMessage("Zahl.ZuGross", {std::to_string(anzahl)}), "Arbeitskräftebedarf", C_ANZAHL);
            return LEVEL_BENIGN;
        }
        if (SameDay())
            modus = "1";
        begin = uint32_t((DayNumber(weekFrom, weekdayFrom) - 1) * 1440 + ParseTimeEntry(von));
        end = uint32_t((DayNumber(weekTo, weekdayTo) - 1) * 1440 + ParseTimeEntry(bis, true));
        if (begin >= end) {
            Refuse("Die Anfangszeit liegt nach der Endzeit. Bitte überprüfen Sie die Zeitangaben.",
                   "unlogische Zeitangabe", C_ZEIT_VON);
            return LEVEL_BENIGN;
        }
        return FwWindow::OnCompleted();
    }

private:
    static int DayNumber(int week, int weekday) { return (week - 1) * 7 + weekday; }
    bool SameDay() const { return weekdayFrom == weekdayTo && weekFrom == weekTo; }
    void Refuse(const std::string& text, const std::string& caption, int field)
    {
        ShowInfo(text, caption);
        ControlSelect(field);
    }

    int32_t maxWeek_;
};

} // namespace

int UpdateAKBEintrag(CAKBEintrag& span, int32_t& weeks, uint8_t& continuous)
{
    AKBEintragWindow w(span, weeks);
    w.RunWindow();
    LastResponse = uint8_t(w.Response);
    if (w.Response == RESPONSE_COMPLETED) {
        span.TERMIN.BEGINN = w.begin;
        span.TERMIN.ENDE = w.end;
        span.ANZAHL = uint8_t(w.anzahl);
        weeks = std::max<int32_t>(weeks, w.weekTo);
        continuous = w.modus == "1" ? 1 : 0;
    }
    return w.Response;
}
