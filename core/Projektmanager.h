#pragma once
// CProjektmanager, the one object GlobalProjektmanager: owns the project and the tree of the
// project manager window, carries out the frame's file commands (new, open, save, save as) and the
// tree's worksheet commands (new, delete, duplicate), and asks whether changes are to be saved.
// Its window (Projektmanager, core/ProjektmanagerWindow.h) is the project's window: it opens when a
// project is created or opened, and closing it closes the project.
#include <cstdint>
#include <memory>
#include <string>

#include "core/Projekt.h"
#include "core/Tree.h"
#include "core/Visual.h"

class CProjektmanager : public CVisual {
public:
    CProjektmanager();
    ~CProjektmanager() override;

    // CVisual: the manager window on a thread of its own; the close asks to save first and closes
    // every worksheet window (while a plan is optimised, closes them first: the search ends and
    // its result is there to be saved); Reset (the window has gone) closes the project and posts
    // EventRefresh to the frame (thread 1).
    int Run() override;
    int CloseRequest() override;
    void Reset() override;

    // File commands of the frame; each returns RESPONSE: 1 completed, 2 cancelled or failed.
    // New: with askType the kind is asked for (SelectArbeitsblattTyp); an open project is offered
    // for saving and closed; then the new project's window is opened and waited for.
    uint8_t New(bool askType, uint8_t type);
    uint8_t Open();
    uint8_t Save();
    uint8_t SaveAs();
    // "Änderungen speichern?": 1 go on (saved or not wanted), 2 cancelled or the save failed.
    // A question within a second of the last one ends repeats that one's answer without asking.
    uint8_t AskSave();

    // Tree commands of the worksheets.
    void NewArbeitsblatt(bool askType, uint8_t type);
    uint8_t DeleteArbeitsblatt(CArbeitsblattBase& sheet);   // 0 deleted, 5 refused or not found
    void DuplicateArbeitsblatt(CArbeitsblattBase& sheet);
    int32_t CountArbeitsblaetter() const { return PROJEKT->CountArbeitsblaetter(); }

    // Tree plumbing of the manager window.
    void InitTree(int listControl);
    void RefreshTree();
    // EventRefresh rebuilds the tree (0); any other event goes to the tree.
    uint8_t OnEvent(int event);
    uint8_t TakeRequest(int request) { return TREE->TakeRequest(request); }
    bool AcceptsRequest(int request) { return TREE->AcceptsRequest(request); }

    // Queries.
    bool HasProject() const { return PROJEKT->IsOpen(); }
    std::string GetProjektFileName() const { return PROJEKT->GetFileName(); }
    ITreeEntry* GetProjektTreeEntry() { return PROJEKT.get(); }
    CProjekt& Projekt() { return *PROJEKT; }
    CTree& Tree() { return *TREE; }

    // The clock of the save question's one-second rule (hundredths since midnight); tests set
    // their own. nullptr: the time of day.
    using ClockFunction = int32_t (*)();
    static void SetAskSaveClock(ClockFunction clock);
    // Whether a question at `now` comes within a second of one that ended at `last` (a
    // difference below 0 has passed midnight).
    static bool WithinAskSaveInterval(int32_t now, int32_t last);
    // Forgets the last question (a new run of the program, tests).
    static void ForgetAskSave();

    uint8_t RESPONSE = 2;

private:
    // Asks every worksheet window to close and waits until they have gone; a worksheet's refusal.
    int CloseArbeitsblaetter();

    std::unique_ptr<CProjekt> PROJEKT;
    std::unique_ptr<CTree> TREE;
};

// Never destroyed: a project still open when the process ends is not closed from a static
// destructor, which could run after the record files and their bookkeeping have gone (the program
// closes it in its shut-down, ProgramShutdown).
extern CProjektmanager& GlobalProjektmanager;

// Set by the optimise command around its search; the manager window ignores every event meanwhile.
extern bool OptimizationRunning;
