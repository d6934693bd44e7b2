#include "assessment/Rahmenbedingung.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "assessment/RahmenbedingungCheck.h"
#include "core/Files.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Window.h"

namespace {

// The texts of one constraint. Keys sort bytewise, so "RB1" comes before "RB10" .. "RB19W" and
// those before "RB1F" and "RB1W": the scan skips the other constraints' keys that share the
// prefix and ends at the first key without it. The specific texts, read later, win.
void ReadTexts(std::string_view key, std::string& warnText, std::string& errorText)
{
    FwFileManager* access = Access::WARNTXT;
    if (!access || key.empty())
        return;
    if (access->TryOpen() != 0)
        return;   // nothing to read: both texts stay blank, as without records
    WARNTXT.ClearField("RAHMENBEDINGUNG");
    WARNTXT.SetString("RAHMENBEDINGUNG", key);
    if (FileSet(WARNTXT, "KeyRahmenbedingung") == ERR_NONE) {
        while (access->TryNext() == 0) {
            const std::string found = WARNTXT.GetString("RAHMENBEDINGUNG");
            if (found.compare(0, key.size(), key) != 0)
                break;
            const std::string_view rest = std::string_view(found).substr(key.size());
            if (rest.empty()) {
                warnText = errorText = WARNTXT.GetString("INHALT");
            } else if (rest == "W") {
                warnText = WARNTXT.GetString("INHALT");
            } else if (rest == "F") {
                errorText = WARNTXT.GetString("INHALT");
            }
        }
    }
    access->Close();
}

// True while the calling thread's window runs an accept-all pass (the dialog's final check).
bool AcceptingAll()
{
    const int window = WindowTarget();
    return window != 0 && PropertyGet(window, 0, Prop::AcceptAll, 0).Int() != 0;
}

} // namespace

CRahmenbedingung::CRahmenbedingung(std::string_view key)
{
    ReadTexts(key, WARNTEXT, ERRORTEXT);
}

void CRahmenbedingung::LoadFromRB() { LoadFrom(RB); }

void CRahmenbedingung::LoadDefaults() { LoadFrom(RBDEFAULT); }

void CRahmenbedingung::StoreToRB() { StoreTo(RB); }

LimitLevel ShowSettingCheck(CRahmenbedingung& constraint, const RBField& field)
{
    constraint.LoadFromRB();
    const LimitLevel level = constraint.CheckLimits(true, field);
    if (level != LIMIT_ALLOWED && !AcceptingAll()) {
        MessageRequest m;
        m.buttonBits = BUTTON_OK;
        m.defaultButton = BUTTON_OK;
        if (level == LIMIT_CONDITIONAL) {
            m.text = constraint.WARNTEXT;
            m.caption = "Einstellung ist nur unter Voraussetzungen erlaubt";
            m.icon = MessageIcon::Asterisk;
        } else {
            m.text = constraint.ERRORTEXT + "||Ihre Eingabe wurde auf den erlaubten Wert zurückgesetzt.";
            m.caption = "Diese Einstellung ist nicht erlaubt";
            m.icon = MessageIcon::Exclamation;
        }
        MessageShow(m);
    }
    constraint.StoreToRB();
    return level;
}

void RahmenbedingungenAssign(std::span<CRahmenbedingung* const> source,
                             std::span<CRahmenbedingung* const> target)
{
    const size_t n = std::min(source.size(), target.size());
    for (size_t i = 0; i < n; ++i)
        if (source[i] && target[i])
            target[i]->Assign(*source[i]);
}

// ---- the common check pattern ------------------------------------------------------------------

namespace RBCheck {

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

bool LimitCheck::Runs(std::string_view name, int index) const
{
    if (field_.name.empty())
        return true;
    return SameName(field_.name, name) && (field_.index == 0 || index == 0 || field_.index == index);
}

bool LimitCheck::RunsAny(std::initializer_list<std::string_view> names) const
{
    return std::any_of(names.begin(), names.end(), [this](std::string_view n) { return Runs(n); });
}

int64_t WarnInt(std::string_view name, int index) { return RBWARN.GetInt(name, index); }
int64_t ErrorInt(std::string_view name, int index) { return RBFEHLER.GetInt(name, index); }
Decimal WarnDecimal(std::string_view name, int index) { return RBWARN.GetDecimal(name, index); }
Decimal ErrorDecimal(std::string_view name, int index) { return RBFEHLER.GetDecimal(name, index); }

namespace {

enum class Side { Lower, Upper };

template <class T>
bool Beyond(T value, T limit, Side side)
{
    return side == Side::Lower ? value < limit : value > limit;
}

template <class T>
LimitLevel Compare(T value, T warn, T error, Side side)
{
    if (Beyond(value, error, side))
        return LIMIT_REFUSED;
    return Beyond(value, warn, side) ? LIMIT_CONDITIONAL : LIMIT_ALLOWED;
}

template <class T>
bool PutBackInt(LimitCheck& c, T& value, std::string_view name, int index, Side side)
{
    if (!c.Runs(name, index))
        return false;
    const int64_t error = ErrorInt(name, index);
    const LimitLevel level = Compare<int64_t>(value, WarnInt(name, index), error, side);
    c.Raise(level);
    if (level != LIMIT_REFUSED || !c.Reset())
        return false;
    value = static_cast<T>(error);
    return true;
}

bool PutBackDecimal(LimitCheck& c, Decimal& value, std::string_view name, int index, Side side)
{
    if (!c.Runs(name, index))
        return false;
    const Decimal error = ErrorDecimal(name, index);
    const LimitLevel level = Compare(value, WarnDecimal(name, index), error, side);
    c.Raise(level);
    if (level != LIMIT_REFUSED || !c.Reset())
        return false;
    value = error;
    return true;
}

} // namespace

bool LimitCheck::Lower(int32_t& v, std::string_view n, int i) { return PutBackInt(*this, v, n, i, Side::Lower); }
bool LimitCheck::Lower(uint16_t& v, std::string_view n, int i) { return PutBackInt(*this, v, n, i, Side::Lower); }
bool LimitCheck::Lower(Decimal& v, std::string_view n, int i) { return PutBackDecimal(*this, v, n, i, Side::Lower); }
bool LimitCheck::Upper(int32_t& v, std::string_view n, int i) { return PutBackInt(*this, v, n, i, Side::Upper); }
bool LimitCheck::Upper(uint16_t& v, std::string_view n, int i) { return PutBackInt(*this, v, n, i, Side::Upper); }
bool LimitCheck::Upper(Decimal& v, std::string_view n, int i) { return PutBackDecimal(*this, v, n, i, Side::Upper); }

LimitLevel LimitCheck::CompareLower(int64_t value, std::string_view name, int index)
{
    const LimitLevel level = Compare<int64_t>(value, WarnInt(name, index), ErrorInt(name, index), Side::Lower);
    Raise(level);
    return level;
}

LimitLevel LimitCheck::CompareUpper(int64_t value, std::string_view name, int index)
{
    const LimitLevel level = Compare<int64_t>(value, WarnInt(name, index), ErrorInt(name, index), Side::Upper);
    Raise(level);
    return level;
}

} // namespace RBCheck
