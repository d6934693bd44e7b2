#include "core/Projektmanager.h"

#include <filesystem>
#include <mutex>

#include "core/ProjektDialogs.h"
#include "core/ProjektmanagerWindow.h"
#include "core/Utilities.h"
#include "platform/fw/FwWindow.h"
#include "platform/records/FileError.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Date.h"

CProjektmanager& GlobalProjektmanager = *new CProjektmanager;
bool OptimizationRunning = false;

namespace {
constexpr const char* kFilter = "Varn 4 Projektdateien|*.prj";
constexpr int32_t kAskSaveInterval = 100;   // hundredths

// The end of the last save question; program-wide.
struct AskSaveMemory {
    bool asked = false;
    int32_t endedAt = 0;
    uint8_t answer = RESPONSE_COMPLETED;
};
AskSaveMemory askSaveMemory;
CProjektmanager::ClockFunction askSaveClock = nullptr;

int32_t AskSaveNow()
{
    if (askSaveClock)
        return askSaveClock();
    return static_cast<int32_t>(ClockNow());
}

// The current directory follows a chosen file.
void FollowDirectory(const std::string& file)
{
    std::string dir = SplitPath(file).directory;
    if (dir.empty())
        return;
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
}

// Why a project file did not open or save, in German: the file error of the failure and what the
// store found beyond it; empty when nothing is known.
std::string Reason(int code, const std::string& problem)
{
    std::string reason;
    if (code == ERR_FILE_IN_USE)
        reason = "Die Datei wird bereits verwendet: Das Projekt ist in einem anderen Programm geöffnet "
                 "(oder in einem anderen Fenster von Varn 4).";
    else if (code == ERR_ACCESS_DENIED)
        reason = "Zugriff verweigert: Die Datei oder ihr Ordner ist schreibgeschützt, oder Ihnen fehlen die "
                 "Rechte dafür.";
    else if (code == ERR_DISK_FULL)
        reason = "Der Datenträger ist voll. Bitte schaffen Sie Platz oder speichern Sie das Projekt an einem "
                 "anderen Ort.";
    else if (code != ERR_NONE)
        reason = ErrorTextFor(code) + ".";
    if (!problem.empty())
        reason += (reason.empty() ? "" : "|") + problem;
    return reason;
}

// A failed file command: what failed, then the reason on a line of its own.
void ShowFailed(const std::string& caption, const std::string& what, const std::string& reason)
{
    MessageRequest m;
    m.text = what;
    if (!reason.empty())
        m.text += "|" + reason;
    m.caption = caption;
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

void ShowOpenFailed(const std::string& file, const std::string& reason)
{
    ShowFailed("Datei kann nicht geöffnet werden", "Beim Öffnen der Datei " + file + " ist ein Fehler aufgetreten.",
               reason);
}

void ShowSaveFailed(const std::string& file, const std::string& reason)
{
    ShowFailed("Datei kann nicht gespeichert werden",
               "Beim Speichern der Datei " + file + " ist ein Fehler aufgetreten.", reason);
}
} // namespace

CProjektmanager::CProjektmanager()
    : PROJEKT(std::make_unique<CProjekt>()), TREE(std::make_unique<CTree>())
{
}

CProjektmanager::~CProjektmanager() = default;

void CProjektmanager::SetAskSaveClock(ClockFunction clock)
{
    askSaveClock = clock;
}

bool CProjektmanager::WithinAskSaveInterval(int32_t now, int32_t last)
{
    int32_t passed = now - last;
    if (passed < 0)
        passed += static_cast<int32_t>(kClockPerDay);
    return passed < kAskSaveInterval;
}

void CProjektmanager::ForgetAskSave()
{
    askSaveMemory = AskSaveMemory{};
}

int CProjektmanager::Run()
{
    return StartThread(Projektmanager, 50000, "Projektmanager");
}

int CProjektmanager::CloseRequest()
{
    // A search running in a worksheet ends before the question: its worksheet's close ends it as
    // "Abbrechen" would and stores the best plan it met, so that "Ja" saves that plan (asked while
    // the search ran, the save would take the plan it was trying and the stored result would go
    // with the project). After "Abbrechen" the project stays open with that plan.
    if (OptimizationRunning)
        if (int result = CloseArbeitsblaetter(); result != 0)
            return result;
    if (PROJEKT->IsChanged() && AskSave() == RESPONSE_CANCELLED)
        return LEVEL_NOTIFY;
    if (int result = CloseArbeitsblaetter(); result != 0)
        return result;
    return CVisual::CloseRequest();
}

int CProjektmanager::CloseArbeitsblaetter()
{
    // Every worksheet is asked before any is waited for: one that runs a search cancels it at
    // once, instead of after the others (which hold their close until the search is over).
    for (int32_t i = 1; i <= PROJEKT->CountArbeitsblaetter(); ++i) {
        int result = PROJEKT->GetArbeitsblatt(i)->CloseRequest();
        if (result != 0)
            return result;
    }
    for (int32_t i = 1; i <= PROJEKT->CountArbeitsblaetter(); ++i)
        PROJEKT->GetArbeitsblatt(i)->Wait(EventVisualClosed);
    return 0;
}

void CProjektmanager::Reset()
{
    CVisual::Reset();
    PROJEKT->Close();
    EventPost(EventRefresh, 0, 1);
}

uint8_t CProjektmanager::New(bool askType, uint8_t type)
{
    RESPONSE = RESPONSE_CANCELLED;
    if (askType) {
        type = SelectArbeitsblattTyp();
        if (type == 0)
            return RESPONSE;
    }
    if (PROJEKT->IsOpen()) {
        if (PROJEKT->IsChanged() && AskSave() != RESPONSE_COMPLETED)
            return RESPONSE = RESPONSE_CANCELLED;
        PROJEKT->Close();
    }
    if (PROJEKT->New(type) != STORE_DONE) {
        ShowFailed("Neues Projekt nicht möglich",
                   "Ein neues Projekt konnte nicht angelegt werden: Seine Arbeitskopie lässt sich nicht erstellen.",
                   Reason(ErrorCode(), PROJEKT->FileManager().Problem()));
        return RESPONSE;
    }
    if (Execute(true) == 0) {
        RESPONSE = RESPONSE_COMPLETED;
    } else {
        // Without its window the project could never be closed by the user.
        PROJEKT->Close();
        RESPONSE = RESPONSE_CANCELLED;
    }
    return RESPONSE;
}

uint8_t CProjektmanager::Open()
{
    RESPONSE = RESPONSE_CANCELLED;
    if (PROJEKT->IsOpen()) {
        if (PROJEKT->IsChanged() && AskSave() != RESPONSE_COMPLETED)
            return RESPONSE = RESPONSE_CANCELLED;
        PROJEKT->Close();
    }
    std::string name;
    if (!FileDialog("Projekt öffnen", name, kFilter, FILE_LONG_NAMES))
        return RESPONSE;
    FollowDirectory(name);
    PROJEKT->SetFileName(name);
    if (PROJEKT->Load() != STORE_DONE) {
        ShowOpenFailed(PROJEKT->GetFileName(), Reason(ErrorCode(), PROJEKT->FileManager().Problem()));
        // Nothing of a file that did not open stays open.
        if (PROJEKT->IsOpen())
            PROJEKT->Close();
        return RESPONSE;
    }
    if (Execute(false) == 0) {
        RESPONSE = RESPONSE_COMPLETED;
    } else {
        PROJEKT->Close();
    }
    return RESPONSE;
}

uint8_t CProjektmanager::Save()
{
    RESPONSE = RESPONSE_CANCELLED;
    if (!PROJEKT->IsOpen())
        return RESPONSE;
    if (PROJEKT->IsUnnamed())
        return SaveAs();
    if (PROJEKT->Save() == STORE_DONE) {
        RESPONSE = RESPONSE_COMPLETED;
    } else {
        ShowSaveFailed(PROJEKT->GetFileName(), Reason(ErrorCode(), PROJEKT->FileManager().Problem()));
        RESPONSE = RESPONSE_CANCELLED;
    }
    return RESPONSE;
}

uint8_t CProjektmanager::SaveAs()
{
    RESPONSE = RESPONSE_CANCELLED;
    if (!PROJEKT->IsOpen())
        return RESPONSE;
    const std::string before = PROJEKT->GetFileName();
    for (;;) {
        std::string name;
        if (!FileDialog("Projekt speichern", name, kFilter, FILE_SAVE | FILE_KEEP_DIR | FILE_LONG_NAMES)) {
            PROJEKT->SetFileName(before);
            return RESPONSE;
        }
        PROJEKT->SetFileName(name);
        if (!PROJEKT->IsUnnamed())
            break;
        MessageRequest m;
        m.text = "Bitte wählen Sie einen aussagekräftigen Dateinamen.";
        MessageShow(m);
    }
    Save();
    if (RESPONSE != RESPONSE_COMPLETED) {
        // Nothing was written under the new name: the project keeps the one it had.
        PROJEKT->SetFileName(before);
        return RESPONSE;
    }
    FollowDirectory(PROJEKT->GetFileName());
    RefreshTree();
    return RESPONSE;
}

uint8_t CProjektmanager::AskSave()
{
    if (askSaveMemory.asked && WithinAskSaveInterval(AskSaveNow(), askSaveMemory.endedAt)) {
        // One question serves the close requests of one close-down; a cancel stays a cancel.
        RESPONSE = askSaveMemory.answer;
    } else {
        RESPONSE = RESPONSE_CANCELLED;
        MessageRequest m;
        m.text = "Möchten Sie die Änderungen am aktuellen Projekt speichern?";
        m.caption = "Änderungen speichern?";
        m.icon = MessageIcon::Question;
        m.buttonBits = BUTTON_YES | BUTTON_NO | BUTTON_CANCEL;
        m.defaultButton = BUTTON_CANCEL;
        int answer = MessageShow(m);
        if (answer == BUTTON_NO)
            RESPONSE = RESPONSE_COMPLETED;
        else if (answer == BUTTON_YES)
            Save();
        else
            RESPONSE = RESPONSE_CANCELLED;
    }
    askSaveMemory.asked = true;
    askSaveMemory.endedAt = AskSaveNow();
    askSaveMemory.answer = RESPONSE;
    return RESPONSE;
}

void CProjektmanager::NewArbeitsblatt(bool askType, uint8_t type)
{
    if (askType) {
        type = SelectArbeitsblattTyp();
        if (type == 0)
            return;
    }
    if (PROJEKT->AddArbeitsblatt(type))
        // A new worksheet is a change: closing without saving would lose it unasked.
        PROJEKT->FileManager().SetChanged();
    RefreshTree();
}

uint8_t CProjektmanager::DeleteArbeitsblatt(CArbeitsblattBase& sheet)
{
    int32_t index = PROJEKT->IndexOf(&sheet);
    if (index == 0)
        return STORE_REFUSED;
    if (sheet.IsActive()) {
        MessageRequest m;
        m.text = "Dieses Arbeitsblatt wird zurzeit bearbeitet. |Bitte schließen Sie zunächst das Bearbeitungsfenster.";
        m.caption = "Arbeitsblatt wird bearbeitet";
        m.icon = MessageIcon::Exclamation;
        m.buttonBits = BUTTON_OK;
        MessageShow(m);
        return STORE_REFUSED;
    }
    MessageRequest q;
    q.text = "Wollen Sie das Arbeitsblatt \"" + Clip(sheet.GetText()) +
             "\" wirklich löschen? |Dieser Vorgang kann nicht rückgängig gemacht werden.||Arbeitsblatt löschen?";
    q.caption = "Arbeitsblatt löschen?";
    q.icon = MessageIcon::Question;
    q.buttonBits = BUTTON_YES | BUTTON_NO;
    q.defaultButton = BUTTON_YES;
    if (MessageShow(q) != BUTTON_YES)
        return STORE_REFUSED;
    PROJEKT->RemoveArbeitsblatt(index, true);
    PROJEKT->FileManager().SetChanged();
    RefreshTree();
    return STORE_DONE;
}

void CProjektmanager::DuplicateArbeitsblatt(CArbeitsblattBase& sheet)
{
    if (PROJEKT->IndexOf(&sheet) == 0)
        return;
    CArbeitsblattBase* copy = PROJEKT->AddArbeitsblatt(sheet.GetTyp());
    if (copy)
        copy->CopyFrom(sheet);
    PROJEKT->FileManager().SetChanged();
    RefreshTree();
}

void CProjektmanager::InitTree(int listControl)
{
    PropertySet(listControl, Prop::LineHeight, 11LL);
    TREE->Init(listControl);
    RefreshTree();
    ControlSelect(listControl);
}

void CProjektmanager::RefreshTree()
{
    TREE->Refresh(PROJEKT.get());
}

uint8_t CProjektmanager::OnEvent(int event)
{
    if (event == EventRefresh) {
        RefreshTree();
        return 0;
    }
    return TREE->OnEvent(event);
}
