#pragma once
// The three plan editors on their real grids in one window, as a worksheet window holds them, with
// a small worksheet of their own: shift types, staff demand, shift demand and working-time plan in
// a project working copy, the notices counted and every edit's undo step stored.
#include "../plans/PlanTestSupport.h"

#include "assessment/KriterienChecker.h"
#include "core/Files.h"
#include "core/Savable.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/AKBEditor.h"
#include "worksheets/AZPEditor.h"
#include "worksheets/SBPEditor.h"
#include "worksheets/StdEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace editortest {

using namespace plantest;

// List controls of the window.
constexpr int AKB_LIST = 1;
constexpr int SBP_LIST = 2;
constexpr int AZP_LIST = 3;

class FakeWorksheet : public IEditorOwner {
public:
    FakeWorksheet()
    {
        types.SetArbeitsblatt(this);
        sbp.SetSchichttypen(&types);
        sbp.SetSchichtgruppenstaerke(1);
        azp.SetSchichttypen(&types, 0);
    }

    // IPlanOwner
    void OnSchichttypenChanged() override
    {
        ++typeNotices;
        sbp.SyncSchichttypen();
    }
    bool GetLageDefinitions(NACHTSCHICHT&, FRUEHSCHICHT&, TAGSCHICHT&) override { return false; }

    // IEditorOwner
    uint8_t GetTyp() const override { return typ; }
    int32_t GetBezugsrahmen() const override { return weeks; }
    int32_t GetSchichtgruppenstaerke() const override { return strength; }
    void SetBezugsrahmen(int32_t w, bool keep) override
    {
        if (!keep)
            weeks = w;
        for (CPlanEditor* e : editors)
            if (e)
                e->SetBezugsrahmen(weeks);
    }
    void SetSchichtgruppenstaerke(int32_t s, bool keep) override
    {
        if (!keep)
            strength = s;
        sbp.SetSchichtgruppenstaerke(uint16_t(strength));
    }
    CSchichttypen& GetSchichttypen() override { return types; }
    CKriterienChecker& GetChecker() override { return checker; }
    bool StoreEditStep(ISavable& part) override
    {
        ++steps;
        return part.StoreStep() == STORE_DONE;
    }
    void OnAZPChanged() override { ++azpNotices; }
    void OnSBPChanged(bool) override { ++sbpNotices; }
    void OnAKBChanged(bool) override { ++akbNotices; }
    void OnFlexChanged() override {}
    void EditSchichttypen() override { commands.push_back("Schichttypen"); }
    void GenerateAZP() override { commands.push_back("GenerateAZP"); }
    void OptimizeAZP() override { commands.push_back("OptimizeAZP"); }
    void ShowPlanQuality() override { commands.push_back("ShowPlanQuality"); }
    void GenerateSBP() override { commands.push_back("GenerateSBP"); }
    void ComputeSBPFromAZP() override { commands.push_back("ComputeSBPFromAZP"); }
    void ComputeAKBFromSBP() override { commands.push_back("ComputeAKBFromSBP"); }

    uint8_t typ = 1;
    int32_t weeks = 1;
    int32_t strength = 1;
    CSchichttypen types;
    CAKBData akb;
    CSBPData sbp;
    CAZPData azp;
    CKriterienChecker checker;
    // The staff demand, shift demand and working-time plan editors while the window runs.
    CPlanEditor* editors[3] = {};
    CAZPEditor* azpEditor = nullptr;
    int steps = 0, azpNotices = 0, sbpNotices = 0, akbNotices = 0, typeNotices = 0;
    std::vector<std::string> commands;
};

// The window: the staff demand, shift demand and working-time plan lists one below the other.
struct PaneWindow {
    static inline FakeWorksheet* sheet = nullptr;
    static inline std::function<void(int window)> bind;
    static inline std::function<void()> release;
    static void Main()
    {
        WindowDesc d;
        d.title = "Arbeitsblatt";
        d.w = 900;
        d.h = 560;
        d.Add(Ctl::List("40L|").At(0, 0, 900, 180));
        d.Add(Ctl::List("40L|").At(0, 190, 900, 150));
        d.Add(Ctl::List("40L|").At(0, 350, 900, 200));
        const int w = WindowCreate(d);
        WindowOpen(w);
        if (bind)
            bind(w);
        while (WindowAccept(w)) {
            const int event = EventCurrent();
            for (CPlanEditor* e : sheet->editors)
                if (e)
                    e->OnEvent(event);
        }
        if (release)
            release();
        WindowClose(w);
    }
};

// Shift types by letter: F Früh, S Spät, N Nacht, X Frei (a free shift).
class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TMPSCHICHT.SetName(store.dir + "/schichttypen.tmp");
        Define('F', Shift("F", 6 * 60, 14 * 60), "Früh");
        Define('S', Shift("S", 14 * 60, 22 * 60), "Spät");
        Define('N', Shift("N", 22 * 60, 6 * 60), "Nacht");
        Define('X', Shift("X", 0, 24 * 60, {}, ART_FREISCHICHT), "Frei");
        sheet.sbp.SyncSchichttypen();
        sheet.editors[0] = &akbEditor;
        sheet.editors[1] = &sbpEditor;
        sheet.editors[2] = &azpEditor;
        sheet.azpEditor = &azpEditor;
        PaneWindow::bind = [this](int window) {
            akbEditor.Init(sheet, sheet.akb, AKB_LIST);
            sbpEditor.Init(sheet, sheet.sbp, SBP_LIST);
            azpEditor.Bind(AZP_LIST, sheet.azp, sheet, window, sheet.typ);
        };
        PaneWindow::release = [this] {
            akbEditor.Release();
            sbpEditor.Release();
            azpEditor.Release();
        };
        CAZPEditor::Clipboard() = {};
        CAKBEditor::Clipboard().clear();
        CSBPEditor::Clipboard() = {};
    }
    void TearDown() override
    {
        CSchichttypen::SetWindows({}, {});
        if (w) {
            driver.Close(w);
            driver.WaitEnd();
        }
        if (bound)
            for (ISavable* s : Parts())
                s->Release(store.files);
    }
    void Define(char letter, CSchicht s, const std::string& name)
    {
        s.BEZEICHNUNG = name;
        ids[letter] = Add(sheet.types, s);
    }
    std::vector<ISavable*> Parts()
    {
        return {&sheet.types.GetSavable(), &sheet.akb.GetSavable(), &sheet.sbp.GetSavable(),
                &sheet.azp.GetSavable()};
    }

    // The working-time plan from one text per group ('.' a free day), weeks from its length; every
    // part is stored once, so that each edit's step can be undone.
    void Plan(const std::vector<std::string>& rows)
    {
        const uint32_t days = rows.empty() ? 7 : uint32_t(rows[0].size());
        sheet.weeks = int32_t(days / 7);
        sheet.azp.SetGroupCount(uint32_t(rows.size()));
        sheet.azp.SetBezugsrahmen(uint16_t(sheet.weeks));
        sheet.sbp.SetBezugsrahmen(uint16_t(sheet.weeks));
        sheet.akb.SetBezugsrahmen(uint16_t(sheet.weeks));
        for (uint32_t g = 1; g <= rows.size(); ++g)
            for (uint32_t d = 1; d <= days; ++d) {
                const char c = rows[g - 1][d - 1];
                sheet.azp.SetCell(d, g, c == '.' ? 0 : ids.at(c));
            }
    }
    void Open()
    {
        for (ISavable* s : Parts()) {
            ASSERT_EQ(s->Init(store.files, nullptr), STORE_DONE);
            ASSERT_EQ(s->StoreStep(), STORE_DONE);
        }
        bound = true;
        PaneWindow::sheet = &sheet;
        driver.Start(PaneWindow::Main);
        w = driver.Window("Arbeitsblatt");
    }
    // The plan as letters, one text per group; '?' for an id without a letter.
    std::vector<std::string> Rows()
    {
        Runtime::HostBaton baton;
        std::vector<std::string> out;
        for (uint32_t g = 1; g <= sheet.azp.CountGroups(); ++g) {
            std::string row;
            for (uint32_t d = 1; d <= sheet.azp.CountDays(); ++d) {
                const uint32_t id = sheet.azp.GetCell(d, g);
                char c = id == 0 ? '.' : '?';
                for (const auto& [letter, known] : ids)
                    if (known == id)
                        c = letter;
                row += c;
            }
            out.push_back(row);
        }
        return out;
    }
    template <class F> void OnWindow(F f)
    {
        {
            Runtime::HostBaton baton;
            f();
        }
        driver.WaitIdle();
    }
    int Focus() { return int(driver.Property(w, 0, Prop::Focus, 0).Int()); }
    void Mouse(int list, WindowMessage::Kind kind, int x, int y, int button = Key::MOUSE_LEFT, bool held = false)
    {
        WindowMessage m;
        m.kind = kind;
        m.x = x;
        m.y = y;
        m.button = button;
        m.buttonHeld = held;
        driver.Mouse(w, list, m);
    }
    // The x of a list column's middle and the y of a row's middle, from the list's model.
    int X(int list, int column)
    {
        return int(driver.Property(w, list, Prop::ColumnX, column).Int() +
                   driver.Property(w, list, Prop::ColumnWidth, column).Int() / 2);
    }
    int Y(int list, int row)
    {
        Runtime::HostBaton baton;
        const WindowModel* m = WindowFind(w);
        const ListGeometry& geo = m->Find(list)->geometry;
        return geo.headerHeight + (row - 1) * geo.lineHeight + geo.lineHeight / 2;
    }
    void Drag(int list, int fromColumn, int fromRow, int toColumn, int toRow)
    {
        using K = WindowMessage::Kind;
        Mouse(list, K::MouseDown, X(list, fromColumn), Y(list, fromRow));
        Mouse(list, K::MouseMove, X(list, toColumn), Y(list, toRow), 0, true);
        Mouse(list, K::MouseUp, X(list, toColumn), Y(list, toRow));
    }
    void RightClick(int list, int column, int row)
    {
        using K = WindowMessage::Kind;
        Mouse(list, K::MouseDown, X(list, column), Y(list, row), Key::MOUSE_RIGHT);
        Mouse(list, K::MouseUp, X(list, column), Y(list, row), Key::MOUSE_RIGHT);
    }

    ProjectStore store;
    FakeWorksheet sheet;
    CAKBEditor akbEditor;
    CSBPEditor sbpEditor;
    CAZPEditor azpEditor;
    std::map<char, uint32_t> ids;
    HeadlessDriver driver;
    int w = 0;
    bool bound = false;
};

} // namespace editortest
