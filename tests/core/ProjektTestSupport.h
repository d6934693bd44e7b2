#pragma once
// Support for the project tests: a scratch directory that is the current directory, a small
// worksheet of the tests' own (core does not know the real one), and a frame on thread 1 whose
// buttons run the project manager's file commands.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ArbeitsblattBase.h"
#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "core/Projektmanager.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

// A worksheet with a name and a kind, stored as one BLATT record; its tree requests behave as the
// real worksheet's do.
class TestSheet : public CArbeitsblattBase {
public:
    uint8_t GetTyp() const override { return typ; }
    void SetTyp(uint8_t t) override {
        typ = t;
        name = t == ARBEITSBLATT_AZ ? "Arbeitszeitblatt" : "Flex-Arbeitszeitblatt";
    }
    void CopyFrom(CArbeitsblattBase& source) override {
        auto& s = static_cast<TestSheet&>(source);
        typ = s.typ;
        name = "Kopie von " + s.name;
    }
    int Open() override {
        ++opened;
        return 0;
    }
    int Run() override { return 3; }
    // A worksheet window that refuses to close (its own questions answered with cancel); one whose
    // plan is being optimised ends the search when asked to close and stores its result, here a
    // new name.
    int CloseRequest() override {
        if (refuseClose) return 5;
        if (OptimizationRunning && !searchResult.empty()) {
            name = searchResult;
            GlobalProjektmanager.Projekt().FileManager().SetChanged();
            OptimizationRunning = false;
        }
        return 0;
    }

    std::string GetIcon() override { return typ == ARBEITSBLATT_AZ ? "~mini_tabelle.ico" : "~mini_kalender.ico"; }
    std::string GetText() override { return name; }
    bool IsExpanded() override { return expanded.EXPANDED != 0; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override { return typ == ARBEITSBLATT_AZ ? 4 : 3; }
    void RefreshTree(int level, CTree& tree) override { tree.AddEntry(*this, level, GetText(), GetIcon()); }
    bool AcceptsRequest(int request) override {
        if (request == TREE_DELETE) return GlobalProjektmanager.CountArbeitsblaetter() > 1;
        return request == 1 || request == 2 || request == 3 || request == 6 || request == 8 || request == 9;
    }
    uint8_t TakeRequest(int request, const std::string& text) override {
        switch (request) {
        case TREE_OPEN: return static_cast<uint8_t>(Open());
        case TREE_RENAME:
            if (text.find_first_not_of(' ') == std::string::npos) return STORE_REFUSED;
            name = text;
            return STORE_DONE;
        case TREE_NEW: GlobalProjektmanager.NewArbeitsblatt(true, 0); return STORE_DONE;
        case TREE_DELETE: return GlobalProjektmanager.DeleteArbeitsblatt(*this);
        case TREE_DUPLICATE: GlobalProjektmanager.DuplicateArbeitsblatt(*this); return STORE_DONE;
        default: expanded.TakeRequest(request); return STORE_DONE;
        }
    }

    uint8_t Init(CProjektFileManager& fm, CSubfileManager* parent) override {
        sub.Init("Arbeitsblatt", BLATT, parent);
        return fm.Register(sub, *this);
    }
    void Release(CProjektFileManager& fm) override {
        fm.Unregister(sub, *this);
        sub.Release();
    }
    uint8_t StoreStep() override { return STORE_REFUSED; }
    bool CanUndo(int) override { return false; }
    bool CanRedo(int) override { return false; }
    uint8_t Undo(int) override { return STORE_REFUSED; }
    uint8_t Redo(int) override { return STORE_REFUSED; }
    uint8_t ResetNew() override {
        name = "Arbeitszeitblatt";
        return Save();
    }
    uint8_t Save() override {
        if (sub.DeleteAll(false) != STORE_DONE || sub.TakeNewStep() != STORE_DONE) return STORE_REFUSED;
        BLATT.Clear();
        BLATT.SetInt("TYP", typ);
        BLATT.SetString("BEZEICHNUNG", name);
        sub.PrimeKey();
        if (FileAdd(BLATT) != ERR_NONE) return STORE_REFUSED;
        return sub.Compact();
    }
    uint8_t Load(bool fromStart) override {
        uint8_t r = sub.load(fromStart);
        if (r == STORE_DONE) {
            typ = static_cast<uint8_t>(BLATT.GetInt("TYP"));
            name = BLATT.GetString("BEZEICHNUNG");
        }
        return r;
    }
    uint8_t DeleteAllSteps() override { return sub.DeleteAll(false); }
    int32_t CountInstances() override { return sub.countInstances(); }

    uint8_t typ = ARBEITSBLATT_AZ;
    std::string name;
    int opened = 0;
    bool refuseClose = false;
    std::string searchResult;
    CTreeStdBehaviour expanded;
    CSubfileManager sub;
};

inline void UseTestSheets() {
    SetArbeitsblattFactory([]() -> std::unique_ptr<CArbeitsblattBase> { return std::make_unique<TestSheet>(); });
}

inline TestSheet* SheetAt(int32_t index) {
    return static_cast<TestSheet*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(index));
}

// Opens the project's row in the manager window's tree (a new node starts collapsed, hiding the
// information and the worksheets).
inline void OpenProjectRow(HeadlessDriver& driver) {
    int m = driver.Window("Projektmanager");
    bool collapsed;
    {
        Runtime::HostBaton b;
        collapsed = !GlobalProjektmanager.Projekt().IsExpanded();
    }
    if (collapsed) driver.Expand(m, driver.Control(m, "?Baum"), 1, true);
}

// A scratch directory that is the current directory while the test runs; messages shown without
// a driver are recorded and get their default answer.
class ProjektDir : public ::testing::Test {
protected:
    void SetUp() override {
        std::string t = (std::filesystem::temp_directory_path() / "varnprojXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir_ = std::filesystem::canonical(t).string();
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        UseTestSheets();
        // The project object lives as long as the program: each test starts with its row closed.
        GlobalProjektmanager.Projekt().TakeRequest(TREE_COLLAPSE, {});
        CProjektmanager::ForgetAskSave();
        CProjektmanager::SetAskSaveClock(nullptr);
    }
    void TearDown() override {
        if (GlobalProjektmanager.Projekt().IsOpen()) GlobalProjektmanager.Projekt().Close();
        CProjektmanager::SetAskSaveClock(nullptr);
        CProjektmanager::ForgetAskSave();
        SetArbeitsblattFactory(nullptr);
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir_;
    std::filesystem::path previous_;
};

// The frame on thread 1: one button per command, run when pressed.
struct TestFrame {
    static std::map<std::string, std::function<void()>>& Actions() {
        static std::map<std::string, std::function<void()>> a;
        return a;
    }
    static std::vector<std::string>& Names() {
        static std::vector<std::string> n;
        return n;
    }
    static void Main() {
        WindowDesc d;
        d.title = "Rahmen";
        d.kind = WindowKind::MdiFrame;
        for (const auto& name : Names()) d.Add(Ctl::Button(name));
        int w = WindowCreate(d);
        WindowOpen(w);
        while (WindowAccept(w)) {
            int c = EventAccepted();
            if (c >= 1 && c <= static_cast<int>(Names().size())) Actions()[Names()[static_cast<size_t>(c - 1)]]();
        }
        WindowClose(w);
    }
};

// Runs the frame with the project manager's commands as buttons.
class ProjektFrame : public ProjektDir {
protected:
    void SetUp() override {
        ProjektDir::SetUp();
        TestFrame::Names() = {"Neu", "Neu Flex", "Neu fragen", "Öffnen", "Speichern", "Speichern unter", "Schließen",
                               "Fragen"};
        auto& a = TestFrame::Actions();
        a.clear();
        a["Neu"] = [] { GlobalProjektmanager.New(false, ARBEITSBLATT_AZ); };
        a["Neu Flex"] = [] { GlobalProjektmanager.New(false, ARBEITSBLATT_FLEX); };
        a["Neu fragen"] = [] { GlobalProjektmanager.New(true, 0); };
        a["Öffnen"] = [] { GlobalProjektmanager.Open(); };
        a["Speichern"] = [] { GlobalProjektmanager.Save(); };
        a["Speichern unter"] = [] { GlobalProjektmanager.SaveAs(); };
        a["Schließen"] = [this] { closeResult = GlobalProjektmanager.CloseRequest(); };
        a["Fragen"] = [this] { askResponses.push_back(GlobalProjektmanager.AskSave()); };
        driver.Start(TestFrame::Main);
        frame = driver.Window("Rahmen");
    }
    void TearDown() override {
        if (int m = driver.FindWindow("Projektmanager")) {
            // Close without questions: nothing changed is asked about.
            GlobalProjektmanager.Projekt().FileManager().ClearChanged();
            driver.Close(m);
        }
        driver.Close(frame);
        driver.WaitEnd();
        ProjektDir::TearDown();
    }
    void Run(const std::string& command) { driver.Press(frame, command); }
    int Manager() { return driver.Window("Projektmanager"); }
    int Tree() { return driver.Control(Manager(), "?Baum"); }
    // The tree's rows with the project's row open.
    std::vector<std::string> Rows() {
        OpenProjectRow(driver);
        std::vector<std::string> rows;
        int m = Manager();
        for (int64_t r = 1; r <= driver.RowCount(m, Tree()); ++r) rows.push_back(driver.Cell(m, Tree(), r, 1));
        return rows;
    }

    HeadlessDriver driver;
    int frame = 0;
    int closeResult = -1;
    std::vector<uint8_t> askResponses;
};
