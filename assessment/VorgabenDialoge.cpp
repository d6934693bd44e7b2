#include "assessment/VorgabenDialoge.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "assessment/DefinitionsDialog.h"
#include "assessment/Definitionspool.h"
#include "assessment/KriteriumZeile.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/records/FileError.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

constexpr int kRequestView = 6;

// The record in `file`'s buffer over the one record of its table (added when the table holds
// none). Errors are reported by the access object.
void WriteConfigRecord(FwFileManager* access, RecordFile& file)
{
    if (!access)
        return;
    const RecordBuffer edited = file;
    if (access->Open() != 0) {
        file.CopyFrom(edited);
        return;
    }
    FileSet(file);
    const int read = access->TryNext();
    file.CopyFrom(edited);
    if (read == 0)
        access->Update();
    else
        access->Insert();
    access->Close();
}

void Notice(const std::string& text, const std::string& caption)
{
    MessageRequest m;
    m.text = text;
    m.caption = caption;
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

// ---- Vorgaben bearbeiten ---------------------------------------------------------------------

enum VorgabenControl { V_PANEL = 1, V_TEXT, V_RBDEFAULT, V_RBWARN, V_RBFEHLER, V_KRIDEFAULT, V_WARNTEXTE, V_CLOSE };

class VorgabenWindow : public FwWindow {
public:
    VorgabenWindow() : FwWindow("UpdateVorgaben") {}

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "P1$WINDOW";
        d.title = "Vorgaben bearbeiten";
        d.icon = "mini_defpool.ico";
        d.w = 200;
        d.h = 150;
        d.Add(Ctl::Panel().Id(V_PANEL).At(4, 4, 192, 26));
        d.Add(Ctl::Prompt("Vorgaben für neue Definitionspools und die Grenzen aller Einstellungen:").Id(V_TEXT)
                  .At(10, 8, 180, 20));
        const char* texts[] = {"Vorgabewerte für Rahmenbedingungen", "Grenzwerte für \"Warnung\"",
                               "Grenzwerte für \"Fehler\"", "Vorgabewerte für Kriterien", "Warntexte", "Schließen"};
        const char* names[] = {"?RBDEFAULT", "?RBWARN", "?RBFEHLER", "?KRIDEFAULT", "?WARNTEXTE", "?Schliessen"};
        for (int i = 0; i < 6; ++i)
            d.Add(Ctl::Button(texts[i]).Id(V_RBDEFAULT + i).Name(names[i])
                      .At(20, 36 + 18 * i + (i == 5 ? 4 : 0), 160, 15));
        CreateWindow(d);
        OpenWindow();
        return level;
    }

    int OnAccepted() override
    {
        const int control = EventAccepted();
        switch (control) {
        case V_RBDEFAULT: return Edit(RBDEFAULT, Access::RBDEFAULT, false);
        case V_RBWARN: return Edit(RBWARN, Access::RBWARN, false);
        case V_RBFEHLER: return Edit(RBFEHLER, Access::RBFEHLER, false);
        case V_KRIDEFAULT: return Edit(KRIDEFAULT, Access::KRIDEFAULT, true);
        case V_WARNTEXTE:
            PropertySet(0, Prop::Hide, 1);
            PendingRequest = 2;
            UpdateWarntexte();
            Response = RESPONSE_COMPLETED;
            return LEVEL_FATAL;
        case V_CLOSE: {
            Event e;
            e.code = EVENT_CLOSE_WINDOW;
            e.window = win_;
            EventPost(e);
            return LEVEL_BENIGN;
        }
        default:
            return FwWindow::OnAccepted();
        }
    }

private:
    // One record through the definitions dialog; the window ends with the dialog's answer.
    int Edit(RecordFile& record, FwFileManager* access, bool criteria)
    {
        PropertySet(0, Prop::Hide, 1);
        // The buffers belong to the open dialog until it closes.
        if (DefinitionsDialogBusy(true)) {
            Response = RESPONSE_CANCELLED;
            return LEVEL_FATAL;
        }
        if (criteria) {
            KRI.CopyFrom(record);
            // The constraint tabs beside the criteria show the defaults rather than whatever a
            // pool left in the buffer; they are not stored here.
            RB.CopyFrom(RBDEFAULT);
        } else {
            RB.CopyFrom(record);
        }
        const uint8_t mode = DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN |
                             (criteria ? DEFINITIONS_KRITERIENVORGABEN : DEFINITIONS_GRENZWERTE);
        const int response = UpdateDefinitionsmanager(mode, 0, nullptr);
        if (response == RESPONSE_COMPLETED) {
            record.CopyFrom(criteria ? static_cast<RecordBuffer&>(KRI) : static_cast<RecordBuffer&>(RB));
            WriteConfigRecord(access, record);
        }
        Response = response;
        return LEVEL_FATAL;
    }
};

// ---- Warnungs-Texte --------------------------------------------------------------------------

struct Warntext {
    std::string key;
    std::string text;
};

// The stored text uses "|" for a new line; the form shows real lines.
std::string ToLines(std::string text)
{
    std::replace(text.begin(), text.end(), '|', '\n');
    return text;
}

std::string FromLines(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            continue;
        out += text[i] == '\n' ? '|' : text[i];
    }
    return out;
}

enum FormControl { T_KEYPROMPT = 1, T_KEY, T_TEXTPROMPT, T_TEXT, T_OK, T_CANCEL };

// The form on one warning text: its key and the whole text in a multi-line field.
class WarntextForm : public FwWindow {
public:
    WarntextForm(Warntext& text, bool view) : FwWindow("UpdateWarntext"), text_(text), view_(view)
    {
        key_ = text.key;
        lines_ = ToLines(text.text);
    }

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "UpdateWarntext";
        d.title = "Warnungstext";
        d.icon = "mini_defpool.ico";
        d.w = 360;
        d.h = 210;
        d.resizable = true;
        d.Add(Ctl::Prompt("&Rahmenbedingung:").Id(T_KEYPROMPT).At(8, 9, 70, 10));
        d.Add(Ctl::Entry("@s20").Id(T_KEY).Name("?RAHMENBEDINGUNG").Use(UseVar(key_)).ReadOnly(view_)
                  .Tip("RB1 .. RB22 für beide Fälle, mit W nur für die Warnung, mit F nur für den Fehler")
                  .At(80, 8, 60, 12));
        d.Add(Ctl::Prompt("&Text:").Id(T_TEXTPROMPT).At(8, 26, 70, 10));
        d.Add(Ctl::Text().Id(T_TEXT).Name("?INHALT").Use(UseVar(lines_)).ReadOnly(view_).At(8, 38, 344, 146));
        d.Add(Ctl::Button("&OK").Id(T_OK).Name("?OK").Default().Disabled(view_).At(236, 190, 56, 16));
        d.Add(Ctl::Button("Abbrechen").Id(T_CANCEL).Name("?Abbrechen").At(296, 190, 56, 16));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(T_OK);
        SetCancelControl(T_CANCEL);
        return level;
    }

    int OnCompleted() override
    {
        if (view_) {
            Response = RESPONSE_CANCELLED;
            return LEVEL_FATAL;
        }
        std::string key = key_;
        key.erase(0, key.find_first_not_of(' '));
        while (!key.empty() && key.back() == ' ')
            key.pop_back();
        if (key.empty()) {
            Notice("Bitte geben Sie an, zu welcher Rahmenbedingung der Text gehört (zum Beispiel RB4, RB4W "
                   "oder RB4F).",
                   "Eingaben überprüfen");
            ControlSelect(T_KEY);
            return LEVEL_BENIGN;
        }
        text_.key = key;
        text_.text = FromLines(lines_);
        return FwWindow::OnCompleted();
    }

private:
    Warntext& text_;
    const bool view_;
    std::string key_, lines_;
};

enum BrowseControl { W_LIST = 1, W_CLOSE, W_INSERT, W_CHANGE, W_DELETE };

constexpr const char* kFormat = "74L(2)|M?~Rahmenbedingung~@s20@1020L(2)|M~Text~@s255@";

class WarntexteWindow : public FwWindow {
public:
    WarntexteWindow() : FwWindow("UpdateWarntexte"), view_(PendingRequest == kRequestView) {}

    int Setup() override
    {
        const int level = FwWindow::Setup();
        if (!Access::WARNTXT || Access::WARNTXT->Open() != 0)
            return LEVEL_NOTIFY;   // the access object has told the user
        fileOpen_ = true;
        Load();
        WindowDesc d;
        d.name = "P7$WINDOW";
        d.title = "Warnungs-Texte";
        d.icon = "mini_defpool.ico";
        d.w = 400;
        d.h = 220;
        d.resizable = true;
        d.Add(Ctl::List(kFormat).Id(W_LIST).Name("?Liste").At(4, 4, 392, 190));
        d.Add(Ctl::Button("Schließen").Id(W_CLOSE).Name("?Schliessen").At(340, 200, 56, 15));
        d.Add(Ctl::Button("&Einfügen").Id(W_INSERT).Disabled(view_).At(4, 200, 50, 15));
        d.Add(Ctl::Button("&Ändern").Id(W_CHANGE).Disabled(view_).At(58, 200, 50, 15));
        d.Add(Ctl::Button("&Löschen").Id(W_DELETE).Disabled(view_).At(112, 200, 50, 15));
        CreateWindow(d);
        OpenWindow();
        ListSetSource(W_LIST, std::make_shared<FunctionListSource>(
                                  [this] { return static_cast<int64_t>(texts_.size()); },
                                  [this](int64_t row, int field) { return Field(row, field); }));
        Refresh(true);
        return level;
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case W_CLOSE: {
            Event e;
            e.code = EVENT_CLOSE_WINDOW;
            e.window = win_;
            EventPost(e);
            return LEVEL_BENIGN;
        }
        case W_INSERT:
            Insert();
            return LEVEL_BENIGN;
        case W_CHANGE:
        case W_LIST:
            if (!view_)
                Change();
            return LEVEL_BENIGN;
        case W_DELETE:
            Delete();
            return LEVEL_BENIGN;
        default:
            return FwWindow::OnAccepted();
        }
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        int64_t sel = PropertyGet(W_LIST, Prop::Selected).Int();
        sel = std::clamp<int64_t>(sel, texts_.empty() ? 0 : 1, static_cast<int64_t>(texts_.size()));
        PropertySet(W_LIST, Prop::Selected, static_cast<long long>(sel));
        ControlSetEnabled(W_CHANGE, !view_ && !texts_.empty());
        ControlSetEnabled(W_DELETE, !view_ && !texts_.empty());
        FwWindow::Refresh(force);
        ControlDisplay(W_LIST);
    }

    int Teardown() override
    {
        if (fileOpen_)
            Access::WARNTXT->Close();
        return FwWindow::Teardown();
    }

private:
    std::string Field(int64_t row, int field) const
    {
        if (row < 1 || row > static_cast<int64_t>(texts_.size()))
            return {};
        const Warntext& t = texts_[static_cast<size_t>(row - 1)];
        return field == 1 ? t.key : field == 2 ? t.text : std::string();
    }

    // The records in key order.
    void Load()
    {
        texts_.clear();
        WARNTXT.ClearField("RAHMENBEDINGUNG");
        if (FileSet(WARNTXT, "KeyRahmenbedingung") != ERR_NONE)
            return;
        while (Access::WARNTXT->TryNext() == 0)
            texts_.push_back({WARNTXT.GetString("RAHMENBEDINGUNG"), WARNTXT.GetString("INHALT")});
    }

    void Select(const std::string& key)
    {
        for (size_t i = 0; i < texts_.size(); ++i)
            if (texts_[i].key == key)
                PropertySet(W_LIST, Prop::Selected, static_cast<long long>(i + 1));
    }

    const Warntext* Current() const
    {
        const int64_t row = PropertyGet(W_LIST, Prop::Selected).Int();
        return row >= 1 && row <= static_cast<int64_t>(texts_.size()) ? &texts_[static_cast<size_t>(row - 1)] : nullptr;
    }

    bool Taken(const std::string& key, const std::string& except) const
    {
        if (key == except)
            return false;
        for (const Warntext& t : texts_)
            if (t.key == key)
                return true;
        return false;
    }

    // The form until it is cancelled or gives a key no other text has.
    bool Form(Warntext& text, const std::string& except)
    {
        for (;;) {
            WarntextForm form(text, false);
            if (form.RunWindow() != RESPONSE_COMPLETED)
                return false;
            if (!Taken(text.key, except))
                return true;
            Notice("Für \"" + text.key + "\" gibt es bereits einen Text.|Bitte ändern Sie diesen Text, "
                   "statt einen zweiten anzulegen.",
                   "Eingaben überprüfen");
        }
    }

    // Positions the file on the record of `key` (FileGet); false when it is not there.
    static bool Find(const std::string& key)
    {
        WARNTXT.ClearField("RAHMENBEDINGUNG");
        WARNTXT.SetString("RAHMENBEDINGUNG", key);
        return FileGet(WARNTXT, "KeyRahmenbedingung") == ERR_NONE;
    }

    void Insert()
    {
        if (view_)
            return;
        Warntext text;
        if (!Form(text, {}))
            return;
        Access::WARNTXT->PrimeRecord();
        WARNTXT.SetString("RAHMENBEDINGUNG", text.key);
        WARNTXT.SetString("INHALT", text.text);
        Access::WARNTXT->Insert();
        Reload(text.key);
    }

    void Change()
    {
        const Warntext* current = Current();
        if (!current)
            return;
        Warntext text = *current;
        const std::string before = text.key;
        if (!Form(text, before))
            return;
        if (!Find(before)) {
            Notice("Der Text zu \"" + before + "\" ist nicht mehr vorhanden.", "Warnungstext ändern");
        } else {
            WARNTXT.SetString("RAHMENBEDINGUNG", text.key);
            WARNTXT.SetString("INHALT", text.text);
            Access::WARNTXT->Update();
        }
        Reload(text.key);
    }

    void Delete()
    {
        const Warntext* current = Current();
        if (view_ || !current)
            return;
        const std::string key = current->key;
        MessageRequest q;
        q.caption = "Warnungstext löschen";
        q.text = "Soll der Text zu \"" + key + "\" gelöscht werden?";
        q.icon = MessageIcon::Question;
        q.buttonBits = BUTTON_YES | BUTTON_NO;
        q.defaultButton = BUTTON_NO;
        if (MessageShow(q) != BUTTON_YES)
            return;
        if (Find(key))
            Access::WARNTXT->Delete();
        Reload({});
    }

    void Reload(const std::string& key)
    {
        Load();
        if (!key.empty())
            Select(key);
        Refresh(true);
    }

    const bool view_;
    bool fileOpen_ = false;
    std::vector<Warntext> texts_;
};

} // namespace

int UpdateVorgaben()
{
    VorgabenWindow w;
    const int response = w.RunWindow() == RESPONSE_COMPLETED ? RESPONSE_COMPLETED : RESPONSE_CANCELLED;
    LastResponse = static_cast<uint8_t>(response);
    return response;
}

int UpdateWarntexte()
{
    WarntexteWindow w;
    w.RunWindow();
    LastResponse = RESPONSE_COMPLETED;
    return RESPONSE_COMPLETED;
}

std::function<void(const std::string&)> VorgabenFrameWindow()
{
    return [](const std::string&) { UpdateVorgaben(); };
}
