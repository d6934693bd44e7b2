#include "platform/fw/FwError.h"

#include <cstdlib>

#include "platform/fw/FwLevel.h"
#include "platform/records/FileError.h"
#include "platform/values/Locale.h"

FwError GlobalErrorHandler;

namespace {

// The framework's messages; every file error names the file, the cause and where it happened.
// Each text is the locale's message of its key, else the text here; read when the defaults are
// loaded, so start-up loads the locale first.
std::vector<FwMessage> DefaultMessages() {
    const std::string caption = LocaleMessageOr("Fw.Dateifehler", "Dateifehler");
    const std::string cause =
        LocaleMessageOr("Fw.Ursache", "|%ErrorText (Fehler %ErrorCode).|Programmteil: %Procedure");
    return {
        {FWMSG_OPEN_FAILED, FwFatality::Notice, caption,
         LocaleMessageOr("Fw.NichtGeoeffnet", "Die Datei %File konnte nicht geöffnet werden.") + cause},
        {FWMSG_CREATE_FAILED, FwFatality::Notice, caption,
         LocaleMessageOr("Fw.NichtAngelegt", "Die Datei %File konnte nicht angelegt werden.") + cause},
        {FWMSG_FILE_IN_USE, FwFatality::Question, LocaleMessageOr("Fw.BenutztTitel", "Datei wird benutzt"),
         LocaleMessageOr("Fw.Benutzt", "Die Datei %File wird gerade von einem anderen Programm benutzt.|Soll sie "
                                       "noch einmal geöffnet werden?")},
        {FWMSG_READ_FAILED, FwFatality::Notice, caption,
         LocaleMessageOr("Fw.NichtGelesen", "Die Datei %File konnte nicht gelesen werden.") + cause},
        {FWMSG_ADD_FAILED, FwFatality::Notice, caption,
         LocaleMessageOr("Fw.NichtGespeichert", "Der Datensatz konnte nicht in der Datei %File gespeichert werden.") +
             cause},
        {FWMSG_DUPLICATE_KEY, FwFatality::Notice, caption,
         LocaleMessageOr("Fw.SchluesselVorhanden",
                         "Der Datensatz konnte nicht in der Datei %File gespeichert werden: ein Datensatz mit "
                         "demselben Schlüsselwert (%Key) ist bereits vorhanden.|Programmteil: %Procedure")},
        {FWMSG_PUT_FAILED, FwFatality::Notice, caption,
         LocaleMessageOr("Fw.NichtGeaendert", "Der Datensatz in der Datei %File konnte nicht geändert werden.") +
             cause},
        {FWMSG_DELETE_FAILED, FwFatality::Notice, caption,
         LocaleMessageOr("Fw.NichtGeloescht", "Der Datensatz in der Datei %File konnte nicht gelöscht werden.") +
             cause},
    };
}

} // namespace

FwErrorContext FwErrorContext::FromFileError(std::string_view label, std::string_view file) {
    FwErrorContext c;
    c.label = label;
    c.file = file.empty() ? std::string(label) : std::string(file);
    c.errorCode = ErrorCode();
    c.errorText = ErrorText();
    return c;
}

FwError::FwError() { LoadDefaults(); }

void FwError::LoadDefaults() {
    std::lock_guard lock(mutex_);
    table_.clear();
    for (FwMessage& m : DefaultMessages()) table_[m.id] = std::move(m);
}

void FwError::Init() {
    LoadDefaults();
    std::lock_guard lock(mutex_);
    procedures_.clear();
}

void FwError::Kill() {
    std::lock_guard lock(mutex_);
    procedures_.clear();
}

void FwError::AddMessage(FwMessage message) {
    std::lock_guard lock(mutex_);
    table_[message.id] = std::move(message);
}

const FwMessage* FwError::FindMessage(int id) const {
    std::lock_guard lock(mutex_);
    const auto it = table_.find(id);
    return it == table_.end() ? nullptr : &it->second;
}

std::string FwError::SubsString(std::string_view text, const FwErrorContext& c) const {
    const std::string procedure = TopProcedure();
    const std::string code = c.errorCode ? std::to_string(c.errorCode) : std::string();
    const std::pair<std::string_view, const std::string*> names[] = {
        {"%File", &c.file},          {"%Label", &c.label}, {"%ErrorCode", &code},
        {"%ErrorText", &c.errorText}, {"%Key", &c.key},     {"%Message", &c.message},
        {"%Procedure", &procedure},
    };
    std::string out;
    std::string line;
    bool placeholder = false, filled = false, firstLine = true;
    auto endLine = [&] {
        if (placeholder && !filled) return;   // nothing to say on this line
        if (!firstLine) out += '|';
        out += line;
        firstLine = false;
    };
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '|') {
            endLine();
            line.clear();
            placeholder = filled = false;
            ++i;
            continue;
        }
        bool matched = false;
        if (text[i] == '%') {
            for (const auto& [name, value] : names) {
                if (text.substr(i, name.size()) == name) {
                    line += *value;
                    placeholder = true;
                    filled = filled || !value->empty();
                    i += name.size();
                    matched = true;
                    break;
                }
            }
        }
        if (!matched) line += text[i++];
    }
    endLine();
    return out;
}

int FwError::Throw(int id, const FwErrorContext& context) {
    FwMessage m{id, FwFatality::Notice, LocaleMessageOr("Fw.FehlerTitel", "Fehler"),
                LocaleMessageOr("Fw.Unbekannt", "Unbekannte Meldung Nr. %1.|%Message", {std::to_string(id)})};
    {
        std::lock_guard lock(mutex_);
        if (const auto it = table_.find(id); it != table_.end()) m = it->second;
    }
    if (m.fatality == FwFatality::Benign) return LEVEL_BENIGN;

    // The text is complete before the message gives the baton away.
    MessageRequest r;
    r.text = SubsString(m.text, context);
    r.caption = SubsString(m.caption, context);
    switch (m.fatality) {
    case FwFatality::Question:
        r.icon = MessageIcon::Question;
        r.buttonBits = BUTTON_YES | BUTTON_NO;
        r.defaultButton = BUTTON_NO;
        return ShowMessage(r) == BUTTON_YES ? LEVEL_BENIGN : LEVEL_CANCEL;
    case FwFatality::Fatal:
        r.icon = MessageIcon::Hand;
        r.buttonBits = BUTTON_OK;
        ShowMessage(r);
        Halt(m);
        return LEVEL_FATAL;
    default:
        r.icon = MessageIcon::Exclamation;
        r.buttonBits = BUTTON_OK;
        ShowMessage(r);
        return LEVEL_NOTIFY;
    }
}

int FwError::ThrowFile(int id, std::string_view label, std::string_view file) {
    return Throw(id, FwErrorContext::FromFileError(label, file));
}

int FwError::ShowMessage(const MessageRequest& request) { return MessageShow(request); }

void FwError::SetHaltHandler(HaltHandler handler) {
    std::lock_guard lock(mutex_);
    halt_ = std::move(handler);
}

void FwError::Halt(const FwMessage& message) {
    HaltHandler h;
    {
        std::lock_guard lock(mutex_);
        h = halt_;
    }
    if (h) h(message);
    else std::quick_exit(LEVEL_FATAL);
}

void FwError::PushProcedure(std::string_view name) {
    std::lock_guard lock(mutex_);
    procedures_[std::this_thread::get_id()].emplace_back(name);
}

void FwError::PopProcedure() {
    std::lock_guard lock(mutex_);
    const auto it = procedures_.find(std::this_thread::get_id());
    if (it == procedures_.end()) return;
    it->second.pop_back();
    if (it->second.empty()) procedures_.erase(it);   // threads come and go; keep no empty stacks
}

std::string FwError::TopProcedure() const {
    std::lock_guard lock(mutex_);
    const auto it = procedures_.find(std::this_thread::get_id());
    return it == procedures_.end() ? std::string() : it->second.back();
}

size_t FwError::ProcedureDepth() const {
    std::lock_guard lock(mutex_);
    const auto it = procedures_.find(std::this_thread::get_id());
    return it == procedures_.end() ? 0 : it->second.size();
}
