// Constraint checks: the common limit pattern per kind of field, the parts that compare fields
// with each other or keep neighbouring record fields in step, the texts from "warntexte" and the
// messages of ShowSettingCheck.
#include "assessment/Rahmenbedingungen.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Files.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/MessageShow.h"

static void PrintTo(LimitLevel level, std::ostream* os) { *os << static_cast<int>(level); }

namespace {

constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }
constexpr int32_t kMinute = 6'000;

const char* const kCaptionWarning = "Einstellung ist nur unter Voraussetzungen erlaubt";
const char* const kCaptionError = "Diese Einstellung ist nicht erlaubt";
const char* const kPutBack = "||Ihre Eingabe wurde auf den erlaubten Wert zurückgesetzt.";

// A configuration of its own in a scratch folder: the access objects set up, the limit and
// record buffers cleared, every message caught.
class ConstraintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/varn-rb-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        InitFileAccess();
        NameProgramFiles(dir_);
        for (RecordFile* f : {&RB, &RBWARN, &RBFEHLER, &RBDEFAULT})
            f->Clear();
        SetMessageHook([this](const MessageRequest& m) {
            shown_.push_back(m);
            return BUTTON_OK;
        });
    }

    void TearDown() override
    {
        SetMessageHook({});
        ReleaseFileAccess();
        std::filesystem::remove_all(dir_);
    }

    void AddText(const std::string& key, const std::string& text)
    {
        ASSERT_EQ(Access::WARNTXT->TryOpen(), 0);
        WARNTXT.Clear();
        WARNTXT.SetString("RAHMENBEDINGUNG", key);
        WARNTXT.SetString("INHALT", text);
        EXPECT_EQ(Access::WARNTXT->TryInsert(), 0) << key;
        Access::WARNTXT->Close();
    }

    // "Text RBn" for every constraint.
    void AddCommonTexts()
    {
        for (int n = 1; n <= kRahmenbedingungen; ++n)
            AddText("RB" + std::to_string(n), "Text RB" + std::to_string(n));
    }

    std::string dir_;
    std::vector<MessageRequest> shown_;
};

// ---- the common pattern, one table per kind of field ---------------------------------------------

enum class Kind { Time, Hours, Count };
enum class Side { Lower, Upper };

struct Setting {
    const char* field;
    int64_t value;
};

struct PlainField {
    int rb;
    const char* field;
    Kind kind;
    Side side;
    int64_t warn;    // time value, hundredths of an hour, or count
    int64_t error;
    std::vector<Setting> others = {};   // record fields that keep the other parts quiet
};

void PrintTo(const PlainField& f, std::ostream* os) { *os << "RB" << f.rb << " " << f.field; }

int64_t Step(Kind kind) { return kind == Kind::Time ? kMinute : 1; }

void SetField(RecordBuffer& r, const char* field, Kind kind, int64_t value)
{
    if (kind == Kind::Hours)
        r.SetDecimal(field, Decimal::FromCents(value));
    else
        r.SetInt(field, value);
}

int64_t GetField(const RecordBuffer& r, const char* field, Kind kind)
{
    return kind == Kind::Hours ? r.GetDecimal(field).Cents() : r.GetInt(field);
}

class PlainLimits : public ConstraintTest, public ::testing::WithParamInterface<PlainField> {};

// Below, at and above the warning and the error limit: the level, the message and its text, and
// the value in the record afterwards (put back to the error limit only beyond it).
TEST_P(PlainLimits, LevelMessageAndPutBackAroundBothLimits)
{
    const PlainField& p = GetParam();
    AddCommonTexts();
    SetField(RBWARN, p.field, p.kind, p.warn);
    SetField(RBFEHLER, p.field, p.kind, p.error);
    const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(p.rb);
    const std::string text = "Text RB" + std::to_string(p.rb);

    const int64_t s = Step(p.kind);
    struct Probe {
        int64_t value;
        LimitLevel level;
    };
    const std::vector<Probe> probes =
        p.side == Side::Lower
            ? std::vector<Probe>{{p.error - s, LIMIT_REFUSED}, {p.error, LIMIT_CONDITIONAL},
                                 {p.warn - s, LIMIT_CONDITIONAL}, {p.warn, LIMIT_ALLOWED}, {p.warn + s, LIMIT_ALLOWED}}
            : std::vector<Probe>{{p.warn - s, LIMIT_ALLOWED}, {p.warn, LIMIT_ALLOWED}, {p.warn + s, LIMIT_CONDITIONAL},
                                 {p.error, LIMIT_CONDITIONAL}, {p.error + s, LIMIT_REFUSED}};
    for (const Probe& probe : probes) {
        SCOPED_TRACE(probe.value);
        RB.Clear();
        for (const Setting& o : p.others)
            RB.SetInt(o.field, o.value);
        SetField(RB, p.field, p.kind, probe.value);
        shown_.clear();

        EXPECT_EQ(ShowSettingCheck(*rb, {p.field}), probe.level);
        const int64_t expected = probe.level == LIMIT_REFUSED ? p.error : probe.value;
        EXPECT_EQ(GetField(RB, p.field, p.kind), expected);
        if (probe.level == LIMIT_ALLOWED) {
            EXPECT_TRUE(shown_.empty());
        } else {
            ASSERT_EQ(shown_.size(), 1u);
            const bool error = probe.level == LIMIT_REFUSED;
            EXPECT_EQ(shown_[0].caption, error ? kCaptionError : kCaptionWarning);
            EXPECT_EQ(shown_[0].text, error ? text + kPutBack : text);
            EXPECT_EQ(shown_[0].icon, error ? MessageIcon::Exclamation : MessageIcon::Asterisk);
            EXPECT_EQ(shown_[0].buttonBits, BUTTON_OK);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Times, PlainLimits, ::testing::Values(
    PlainField{1, "NACHTAZ_LAENGE", Kind::Time, Side::Lower, T(7), T(6)},
    PlainField{1, "NACHTAZ_DAUER_MIN", Kind::Time, Side::Lower, T(2), T(1)},
    PlainField{4, "RZ_DAUER_OHNE_AUSGLEICH", Kind::Time, Side::Lower, T(11), T(10)},
    PlainField{10, "SL_DAUER_MIN", Kind::Time, Side::Lower, T(4), T(3), {{"SL_DAUER_MAX", T(23)}}},
    PlainField{6, "SAZ_VERSCHIEBUNG", Kind::Time, Side::Upper, T(3), T(6)},
    PlainField{10, "SL_DAUER_MAX", Kind::Time, Side::Upper, T(8, 30), T(10, 45), {{"SL_DAUER_MIN", T(0)}}},
    PlainField{12, "ERSTE_PAUSE", Kind::Time, Side::Upper, T(5), T(6)},
    PlainField{14, "WTAZ_OHNE_AUSGLEICH", Kind::Time, Side::Upper, T(8), T(9)}));

INSTANTIATE_TEST_SUITE_P(Hours, PlainLimits, ::testing::Values(
    PlainField{6, "WRZ_DAUER_MIN", Kind::Hours, Side::Lower, 3500, 2400},
    PlainField{6, "ERSATZ_WRZ_DAUER_MIN", Kind::Hours, Side::Lower, 3500, 2400},
    PlainField{15, "WAZ", Kind::Hours, Side::Upper, 4000, 4800}));

INSTANTIATE_TEST_SUITE_P(Counts, PlainLimits, ::testing::Values(
    PlainField{5, "FREIE_SONNTAGE", Kind::Count, Side::Lower, 15, 6},
    PlainField{7, "KONTAZ_MIN", Kind::Count, Side::Lower, 2, 1, {{"KONTAZ_MAX", 20}}},
    PlainField{13, "MINDESTPAUSENLAENGE", Kind::Count, Side::Lower, 15, 10},
    PlainField{4, "RZ_AUSGLEICHSZEITRAUM", Kind::Count, Side::Upper, 4, 8},
    PlainField{6, "SAZ_AUSGLEICHSZEITRAUM", Kind::Count, Side::Upper, 2, 4},
    PlainField{7, "KONTAZ_MAX", Kind::Count, Side::Upper, 6, 7},
    PlainField{14, "WTAZ_AUSGLEICHSZEITRAUM_NORMAL", Kind::Count, Side::Upper, 24, 52},
    PlainField{14, "WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT", Kind::Count, Side::Upper, 4, 52},
    PlainField{15, "WAZ_AUSGLEICHSZEITRAUM", Kind::Count, Side::Upper, 24, 52}));

// Fields with an error limit only: at the limit nothing, one step beyond refused and put back.
class ErrorOnlyLimits : public ConstraintTest, public ::testing::WithParamInterface<PlainField> {};

TEST_P(ErrorOnlyLimits, OneStepBeyondTheErrorLimitIsPutBack)
{
    const PlainField& p = GetParam();
    SetField(RBFEHLER, p.field, p.kind, p.error);
    SetField(RBWARN, p.field, p.kind, p.side == Side::Lower ? p.error + 100 : p.error - 100);   // not read
    const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(p.rb);
    const int64_t beyond = p.side == Side::Lower ? p.error - Step(p.kind) : p.error + Step(p.kind);
    for (auto [value, level] : {std::pair{p.error, LIMIT_ALLOWED}, std::pair{beyond, LIMIT_REFUSED}}) {
        SCOPED_TRACE(value);
        RB.Clear();
        SetField(RB, p.field, p.kind, value);
        rb->LoadFromRB();
        EXPECT_EQ(rb->CheckLimits(true, {p.field}), level);
        rb->StoreToRB();
        EXPECT_EQ(GetField(RB, p.field, p.kind), p.error);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, ErrorOnlyLimits, ::testing::Values(
    PlainField{16, "WAZ_MAX", Kind::Hours, Side::Upper, 0, 6000},
    PlainField{18, "NS_KONT_STOERUNGEN", Kind::Count, Side::Upper, 0, 7},
    PlainField{18, "NS_EINZELSTOERUNGEN", Kind::Count, Side::Upper, 0, 7},
    PlainField{19, "SZ_KONT_STOERUNGEN", Kind::Count, Side::Upper, 0, 5},
    PlainField{20, "FZ_EINZELSTOERUNGEN", Kind::Count, Side::Upper, 0, 4},
    PlainField{21, "RZNACHTARBEIT_MIN", Kind::Hours, Side::Lower, 0, 1100}));

// Checking every field at once (no field given) stops at the first part it puts back: of two
// refused parts only the first is put back; the next check puts back the second.
class FirstRefusalOnly : public ConstraintTest,
                         public ::testing::WithParamInterface<std::pair<PlainField, PlainField>> {};

TEST_P(FirstRefusalOnly, CheckingEveryFieldPutsBackOnlyTheFirstRefusedPart)
{
    const auto& [first, second] = GetParam();
    auto beyond = [](const PlainField& p) { return p.side == Side::Lower ? p.error - Step(p.kind) : p.error + Step(p.kind); };
    for (const PlainField* p : {&first, &second}) {
        SetField(RBWARN, p->field, p->kind, p->warn);
        SetField(RBFEHLER, p->field, p->kind, p->error);
        SetField(RB, p->field, p->kind, beyond(*p));
    }
    const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(first.rb);

    EXPECT_EQ(rb->CheckLimits(true), LIMIT_REFUSED);
    rb->StoreToRB();
    EXPECT_EQ(GetField(RB, first.field, first.kind), first.error);
    EXPECT_EQ(GetField(RB, second.field, second.kind), beyond(second));

    EXPECT_EQ(rb->CheckLimits(true), LIMIT_REFUSED);
    rb->StoreToRB();
    EXPECT_EQ(GetField(RB, first.field, first.kind), first.error);
    EXPECT_EQ(GetField(RB, second.field, second.kind), second.error);

    // Both now at their error limits: allowed under conditions, nothing more put back.
    EXPECT_EQ(rb->CheckLimits(true), LIMIT_CONDITIONAL);
}

INSTANTIATE_TEST_SUITE_P(Pairs, FirstRefusalOnly, ::testing::Values(
    std::pair{PlainField{4, "RZ_DAUER_OHNE_AUSGLEICH", Kind::Time, Side::Lower, T(11), T(9)},
              PlainField{4, "RZ_AUSGLEICHSZEITRAUM", Kind::Count, Side::Upper, 4, 8}},
    std::pair{PlainField{6, "WRZ_DAUER_MIN", Kind::Hours, Side::Lower, 3500, 2400},
              PlainField{6, "SAZ_AUSGLEICHSZEITRAUM", Kind::Count, Side::Upper, 2, 8}},
    std::pair{PlainField{14, "WTAZ_OHNE_AUSGLEICH", Kind::Time, Side::Upper, T(8), T(10)},
              PlainField{14, "WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT", Kind::Count, Side::Upper, 4, 52}},
    std::pair{PlainField{15, "WAZ", Kind::Hours, Side::Upper, 4000, 4800},
              PlainField{15, "WAZ_AUSGLEICHSZEITRAUM", Kind::Count, Side::Upper, 24, 52}}));

// ---- parts about one field that are asked about another ---------------------------------------------

TEST_F(ConstraintTest, AFieldOfAnotherConstraintChecksNothingButThePartsThatAlwaysRun)
{
    // Every value here is far beyond its limits (the limit records are all zero but the lengths).
    RB.SetInt("NACHTAZ_ANFANG", T(12));
    RB.SetInt("FS_VON", T(1));
    RB.SetInt("FS_BIS", T(0, 30));
    RB.SetInt("TS_VON", T(3));
    RB.SetInt("TS_BIS", T(2));
    RB.SetInt("RZ_AUSGLEICHSZEITRAUM", 9);
    RB.SetInt("KONTAZ_MIN", 5);
    RB.SetInt("KONTAZ_MAX", 2);
    RB.SetInt("SL_DAUER_MIN", T(9));
    RB.SetInt("SL_DAUER_MAX", T(5));
    RB.SetInt("ERSTE_PAUSE", T(7));
    RB.SetDecimal("WAZ", Decimal::FromCents(9000));
    RB.SetDecimal("WAZ_MIN", Decimal::FromCents(5000));
    RB.SetDecimal("WE_DAUER_MIN", Decimal::FromCents(100));
    RB.SetInt("PAUSENLAENGE", 10, 1);
    RB.SetInt("NS_DAUER_MIN", T(1), 3);
    RBFEHLER.SetInt("NS_DAUER_MIN", T(6), 1);

    for (int n = 1; n <= kRahmenbedingungen; ++n) {
        SCOPED_TRACE(n);
        const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(n);
        const LimitLevel expected = n == 11 || n == 18 ? LIMIT_REFUSED : LIMIT_ALLOWED;
        EXPECT_EQ(rb->CheckLimits(false, {"BETRIEBSTAGSBEGINN"}), expected);
    }
}

TEST_F(ConstraintTest, ConstraintsWithoutLimitsAlwaysAllow)
{
    RB.SetInt("BETRIEBSTAGSBEGINN", -5);
    RB.SetInt("SCHICHTUEBERGABEZEIT", T(23));
    RB.SetDecimal("RZANZEIGE_MIN", Decimal::FromCents(-100));
    RBFEHLER.SetInt("BETRIEBSTAGSBEGINN", T(6));
    RBWARN.SetInt("SCHICHTUEBERGABEZEIT", T(0, 15));
    RBFEHLER.SetDecimal("RZANZEIGE_MIN", Decimal::FromCents(2400));
    for (int n : {8, 9, 22}) {
        const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(n);
        EXPECT_EQ(ShowSettingCheck(*rb, {}), LIMIT_ALLOWED) << n;
    }
    EXPECT_EQ(RB.GetInt("BETRIEBSTAGSBEGINN"), -5);
    EXPECT_TRUE(shown_.empty());
}

// ---- RB1 .. RB3: the night start and the shift windows --------------------------------------------

TEST_F(ConstraintTest, NightStartBetweenItsErrorLimitAndTwoHoursLater)
{
    RBWARN.SetInt("NACHTAZ_ANFANG", T(23));
    RBFEHLER.SetInt("NACHTAZ_ANFANG", T(22));
    CRahmenbedingungNachtschicht rb;
    struct Case {
        int32_t entered;     // as the record holds it
        LimitLevel level;
        int32_t stored;      // in the record afterwards
        int32_t earliestEarly;   // FS_VON afterwards (0: untouched)
    };
    const Case cases[] = {
        {T(23), LIMIT_ALLOWED, T(23), T(4)},
        {T(22, 30), LIMIT_CONDITIONAL, T(22, 30), T(3, 30)},
        {T(0), LIMIT_CONDITIONAL, T(0), T(5)},          // 00:00 is 24:00, the limit + 2 hours
        {T(21, 30), LIMIT_REFUSED, T(22), 0},
        {T(0, 30), LIMIT_REFUSED, T(22), 0},             // after midnight: below the limit as a number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entered);
        RB.Clear();
        RB.SetInt("NACHTAZ_ANFANG", c.entered);
        EXPECT_EQ(ShowSettingCheck(rb, {"NACHTAZ_ANFANG"}), c.level);
        EXPECT_EQ(RB.GetInt("NACHTAZ_ANFANG"), c.stored);
        EXPECT_EQ(RB.GetInt("SS_BIS"), c.stored);   // the late window ends at the night start
        EXPECT_EQ(RB.GetInt("FS_VON"), c.earliestEarly);
    }
}

TEST_F(ConstraintTest, NightStartAtMidnightIsHeldAs2400AndStoredAs0000)
{
    RB.SetInt("NACHTAZ_ANFANG", T(0));
    CRahmenbedingungNachtschicht rb;
    EXPECT_EQ(rb.NACHTAZ_ANFANG, T(24));
    RB.Clear();
    rb.StoreToRB();
    EXPECT_EQ(RB.GetInt("NACHTAZ_ANFANG"), T(0));
    EXPECT_EQ(RB.GetInt("SS_BIS"), T(0));
    RBDEFAULT.SetInt("NACHTAZ_ANFANG", T(0));
    rb.LoadDefaults();
    EXPECT_EQ(rb.NACHTAZ_ANFANG, T(24));
}

TEST_F(ConstraintTest, NightStartLimitsEnteredAsMidnightCountAs2400)
{
    RBWARN.SetInt("NACHTAZ_ANFANG", T(0));   // 24:00 typed into the limits editor
    RBFEHLER.SetInt("NACHTAZ_ANFANG", T(23));
    RB.SetInt("NACHTAZ_ANFANG", T(0));
    CRahmenbedingungNachtschicht rb;
    EXPECT_EQ(rb.CheckLimits(true, {"NACHTAZ_ANFANG"}), LIMIT_ALLOWED);
    rb.NACHTAZ_ANFANG = T(23, 30);
    EXPECT_EQ(rb.CheckLimits(true, {"NACHTAZ_ANFANG"}), LIMIT_CONDITIONAL);
}

TEST_F(ConstraintTest, EarlyWindowEndMovesTheDayWindow)
{
    RB.SetInt("NACHTAZ_ANFANG", T(23));
    RB.SetInt("FS_VON", T(4));
    RB.SetInt("FS_BIS", T(9));
    RB.SetInt("TS_VON", T(7));
    RB.SetInt("TS_BIS", T(8));
    CRahmenbedingungFruehschicht early;
    EXPECT_EQ(ShowSettingCheck(early, {"FS_BIS"}), LIMIT_ALLOWED);
    EXPECT_EQ(RB.GetInt("TS_VON"), T(9));
    EXPECT_EQ(RB.GetInt("TS_BIS"), T(9));   // at least the day window's new begin

    RB.SetInt("FS_BIS", T(6));
    RB.SetInt("TS_BIS", T(12));
    EXPECT_EQ(ShowSettingCheck(early, {"FS_BIS"}), LIMIT_ALLOWED);
    EXPECT_EQ(RB.GetInt("TS_VON"), T(6));
    EXPECT_EQ(RB.GetInt("TS_BIS"), T(12));
}

TEST_F(ConstraintTest, EarlyWindowIsPutBackBehindTheNightAndItsOwnBegin)
{
    struct Case {
        int32_t night, from, to;
        const char* field;
        int32_t expectFrom, expectTo;
    };
    const Case cases[] = {
        {T(23), T(3), T(7), "FS_VON", T(4), T(7)},        // would hold 3 hours of night time
        {T(22), T(3), T(7), "FS_VON", T(3), T(7)},        // fine for a night from 22:00
        {T(0), T(4, 30), T(7), "FS_VON", T(5), T(7)},     // night from 24:00 (stored 00:00)
        {T(23), T(5), T(5), "FS_BIS", T(5), T(6)},        // empty window: one hour after its begin
        {T(23), T(23, 30), T(7), "FS_BIS", T(23, 30), T(24)},   // never beyond 24:00
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        RB.Clear();
        RB.SetInt("NACHTAZ_ANFANG", c.night);
        RB.SetInt("FS_VON", c.from);
        RB.SetInt("FS_BIS", c.to);
        CRahmenbedingungFruehschicht early;
        const bool changes = c.expectFrom != c.from || c.expectTo != c.to;
        EXPECT_EQ(ShowSettingCheck(early, {c.field}), changes ? LIMIT_REFUSED : LIMIT_ALLOWED);
        EXPECT_EQ(RB.GetInt("FS_VON"), c.expectFrom);
        EXPECT_EQ(RB.GetInt("FS_BIS"), c.expectTo);
        EXPECT_EQ(RB.GetInt("TS_VON"), c.expectTo);   // storing keeps the day window behind it
    }
}

TEST_F(ConstraintTest, DayWindowFollowsTheEarlyWindowAndStartsTheLateOne)
{
    RB.SetInt("FS_BIS", T(7));
    RB.SetInt("TS_VON", T(6));
    RB.SetInt("TS_BIS", T(12));
    CRahmenbedingungTagschicht day;
    EXPECT_EQ(ShowSettingCheck(day, {"TS_VON"}), LIMIT_REFUSED);
    EXPECT_EQ(RB.GetInt("TS_VON"), T(7));

    RB.SetInt("TS_BIS", T(7));
    EXPECT_EQ(ShowSettingCheck(day, {"TS_BIS"}), LIMIT_REFUSED);
    EXPECT_EQ(RB.GetInt("TS_BIS"), T(8));
    EXPECT_EQ(RB.GetInt("SS_VON"), T(8));

    RB.SetInt("TS_BIS", T(13));
    RB.SetInt("SS_VON", 0);
    day.LoadFromRB();
    EXPECT_EQ(day.CheckLimits(true, {"TS_BIS"}), LIMIT_ALLOWED);
    EXPECT_EQ(RB.GetInt("SS_VON"), T(13));   // set by the check itself, before any storing
}

// ---- compensation fields: 0 skips the part, a valid value always warns ---------------------------

struct Compensation {
    int rb;
    const char* without;   // the field without compensation
    const char* with;      // the compensation field
    int32_t withoutValue;
    int32_t warn, error;   // limits of the compensation field
    int32_t entered;
    LimitLevel level;
    int32_t stored;
};

void PrintTo(const Compensation& c, std::ostream* os) { *os << "RB" << c.rb << " " << c.entered; }

class CompensationLimits : public ConstraintTest, public ::testing::WithParamInterface<Compensation> {};

TEST_P(CompensationLimits, SkippedAtZeroWarnedWhenValidPutBackOtherwise)
{
    const Compensation& c = GetParam();
    RBWARN.SetInt(c.with, c.warn);
    RBFEHLER.SetInt(c.with, c.error);
    RBWARN.SetInt(c.without, c.withoutValue);
    RBFEHLER.SetInt(c.without, c.withoutValue);
    RB.SetInt(c.without, c.withoutValue);
    RB.SetInt(c.with, c.entered);
    const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(c.rb);
    EXPECT_EQ(ShowSettingCheck(*rb, {c.with}), c.level);
    EXPECT_EQ(RB.GetInt(c.with), c.stored);
    EXPECT_EQ(RB.GetInt(c.without), c.withoutValue);
}

INSTANTIATE_TEST_SUITE_P(Rest, CompensationLimits, ::testing::Values(
    // RB4: shorter rest with compensation; below its error limit, or not shorter than the rest
    // without compensation, it is refused.
    Compensation{4, "RZ_DAUER_OHNE_AUSGLEICH", "RZ_DAUER_MIT_AUSGLEICH", T(11), T(10), T(9), 0, LIMIT_ALLOWED, 0},
    Compensation{4, "RZ_DAUER_OHNE_AUSGLEICH", "RZ_DAUER_MIT_AUSGLEICH", T(11), T(10), T(9), T(10), LIMIT_CONDITIONAL, T(10)},
    Compensation{4, "RZ_DAUER_OHNE_AUSGLEICH", "RZ_DAUER_MIT_AUSGLEICH", T(11), T(10), T(9), T(9), LIMIT_CONDITIONAL, T(9)},
    Compensation{4, "RZ_DAUER_OHNE_AUSGLEICH", "RZ_DAUER_MIT_AUSGLEICH", T(11), T(10), T(9), T(8, 59), LIMIT_REFUSED, T(9)},
    Compensation{4, "RZ_DAUER_OHNE_AUSGLEICH", "RZ_DAUER_MIT_AUSGLEICH", T(11), T(10), T(9), T(11), LIMIT_REFUSED, T(10)},
    Compensation{4, "RZ_DAUER_OHNE_AUSGLEICH", "RZ_DAUER_MIT_AUSGLEICH", T(11), T(10), T(9), T(12), LIMIT_REFUSED, T(10)}));

INSTANTIATE_TEST_SUITE_P(DailyWork, CompensationLimits, ::testing::Values(
    // RB14: longer day with compensation; above its error limit refused, not longer than the day
    // without compensation put to one minute more.
    Compensation{14, "WTAZ_OHNE_AUSGLEICH", "WTAZ_MIT_AUSGLEICH", T(8), T(10), T(10), 0, LIMIT_ALLOWED, 0},
    Compensation{14, "WTAZ_OHNE_AUSGLEICH", "WTAZ_MIT_AUSGLEICH", T(8), T(10), T(10), T(10), LIMIT_CONDITIONAL, T(10)},
    Compensation{14, "WTAZ_OHNE_AUSGLEICH", "WTAZ_MIT_AUSGLEICH", T(8), T(10), T(10), T(8, 1), LIMIT_CONDITIONAL, T(8, 1)},
    Compensation{14, "WTAZ_OHNE_AUSGLEICH", "WTAZ_MIT_AUSGLEICH", T(8), T(10), T(10), T(10, 1), LIMIT_REFUSED, T(10)},
    Compensation{14, "WTAZ_OHNE_AUSGLEICH", "WTAZ_MIT_AUSGLEICH", T(8), T(10), T(10), T(8), LIMIT_REFUSED, T(8, 1)},
    Compensation{14, "WTAZ_OHNE_AUSGLEICH", "WTAZ_MIT_AUSGLEICH", T(8), T(10), T(10), T(7), LIMIT_REFUSED, T(8, 1)}));

// ---- minimum and maximum of one constraint ------------------------------------------------------------

struct MinMax {
    int rb;
    const char* min;
    const char* max;
    Kind kind;
    int64_t minValue, maxValue;
    const char* edited;
    LimitLevel level;
    int64_t minAfter, maxAfter;
};

void PrintTo(const MinMax& c, std::ostream* os) { *os << "RB" << c.rb << " " << c.edited << " " << c.minValue << "/" << c.maxValue; }

class MinimumAboveMaximum : public ConstraintTest, public ::testing::WithParamInterface<MinMax> {};

// A minimum above the maximum is refused whichever of the two was edited, and the edited one is
// put back to the other; without reset nothing changes but the level.
TEST_P(MinimumAboveMaximum, TheEditedFieldFollowsTheOther)
{
    const MinMax& c = GetParam();
    // Limits wide enough not to matter.
    SetField(RBWARN, c.min, c.kind, 0);
    SetField(RBFEHLER, c.min, c.kind, 0);
    SetField(RBWARN, c.max, c.kind, c.kind == Kind::Count ? 1000 : T(24));
    SetField(RBFEHLER, c.max, c.kind, c.kind == Kind::Count ? 1000 : T(24));
    SetField(RB, c.min, c.kind, c.minValue);
    SetField(RB, c.max, c.kind, c.maxValue);
    const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(c.rb);
    EXPECT_EQ(rb->CheckLimits(false, {c.edited}), c.level);
    EXPECT_EQ(ShowSettingCheck(*rb, {c.edited}), c.level);
    EXPECT_EQ(GetField(RB, c.min, c.kind), c.minAfter);
    EXPECT_EQ(GetField(RB, c.max, c.kind), c.maxAfter);
}

INSTANTIATE_TEST_SUITE_P(Fields, MinimumAboveMaximum, ::testing::Values(
    MinMax{7, "KONTAZ_MIN", "KONTAZ_MAX", Kind::Count, 3, 5, "KONTAZ_MIN", LIMIT_ALLOWED, 3, 5},
    MinMax{7, "KONTAZ_MIN", "KONTAZ_MAX", Kind::Count, 6, 5, "KONTAZ_MIN", LIMIT_REFUSED, 5, 5},
    MinMax{7, "KONTAZ_MIN", "KONTAZ_MAX", Kind::Count, 6, 5, "KONTAZ_MAX", LIMIT_REFUSED, 6, 6},
    MinMax{10, "SL_DAUER_MIN", "SL_DAUER_MAX", Kind::Time, T(9), T(8), "SL_DAUER_MIN", LIMIT_REFUSED, T(8), T(8)},
    MinMax{10, "SL_DAUER_MIN", "SL_DAUER_MAX", Kind::Time, T(9), T(8), "SL_DAUER_MAX", LIMIT_REFUSED, T(9), T(9)},
    MinMax{16, "WAZ_MIN", "WAZ_MAX", Kind::Hours, 4100, 4000, "WAZ_MIN", LIMIT_REFUSED, 4000, 4000},
    MinMax{16, "WAZ_MIN", "WAZ_MAX", Kind::Hours, 4100, 4000, "WAZ_MAX", LIMIT_REFUSED, 4100, 4100},
    MinMax{16, "WAZ_MIN", "WAZ_MAX", Kind::Hours, 3000, 4000, "WAZ_MAX", LIMIT_ALLOWED, 3000, 4000}));

// ---- RB11: break rules ----------------------------------------------------------------------------------

struct BreakCase {
    const char* name;
    std::vector<std::pair<int32_t, int>> entered;   // (threshold, minutes) of entries 1..4
    RBField field;
    LimitLevel level;
    std::vector<std::pair<int32_t, int>> stored;
};

void PrintTo(const BreakCase& c, std::ostream* os) { *os << c.name; }

class BreakRules : public ConstraintTest, public ::testing::WithParamInterface<BreakCase> {};

TEST_P(BreakRules, LegalStepsRisingInThresholdAndLength)
{
    const BreakCase& c = GetParam();
    RB.SetInt("ERSTE_PAUSE", T(6));
    for (int i = 1; i <= 4; ++i) {
        RB.SetInt("AZ_AB", c.entered[static_cast<size_t>(i - 1)].first, i);
        RB.SetInt("PAUSENLAENGE", c.entered[static_cast<size_t>(i - 1)].second, i);
    }
    CRahmenbedingungPausen rb;
    EXPECT_EQ(ShowSettingCheck(rb, c.field), c.level);
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(RB.GetInt("AZ_AB", i), c.stored[static_cast<size_t>(i - 1)].first);
        EXPECT_EQ(RB.GetInt("PAUSENLAENGE", i), c.stored[static_cast<size_t>(i - 1)].second);
    }
    EXPECT_EQ(shown_.size(), c.level == LIMIT_ALLOWED ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, BreakRules, ::testing::Values(
    BreakCase{"legal", {{T(6), 30}, {T(9), 45}, {0, 0}, {0, 0}}, {}, LIMIT_ALLOWED,
              {{T(6), 30}, {T(9), 45}, {0, 0}, {0, 0}}},
    BreakCase{"first too short", {{T(6), 20}, {T(9), 60}, {0, 0}, {0, 0}}, {"PAUSENLAENGE", 1}, LIMIT_REFUSED,
              {{T(6), 30}, {T(9), 60}, {0, 0}, {0, 0}}},
    BreakCase{"second too short, any field", {{T(6), 30}, {T(9), 40}, {0, 0}, {0, 0}}, {"ERSTE_PAUSE"}, LIMIT_REFUSED,
              {{T(6), 30}, {T(9), 45}, {0, 0}, {0, 0}}},
    BreakCase{"threshold without length takes the one before", {{T(6), 30}, {T(9), 45}, {T(10), 0}, {0, 0}},
              {"AZ_AB", 3}, LIMIT_ALLOWED, {{T(6), 30}, {T(9), 45}, {T(10), 45}, {0, 0}}},
    BreakCase{"length without threshold is dropped", {{T(6), 30}, {T(9), 45}, {0, 0}, {0, 50}},
              {"PAUSENLAENGE", 4}, LIMIT_ALLOWED, {{T(6), 30}, {T(9), 45}, {0, 0}, {0, 0}}},
    BreakCase{"falling threshold of entry 2 goes to 9 hours", {{T(6), 30}, {T(5), 45}, {0, 0}, {0, 0}},
              {"AZ_AB", 2}, LIMIT_REFUSED, {{T(6), 30}, {T(9), 45}, {0, 0}, {0, 0}}},
    BreakCase{"falling threshold of entry 3 takes the one before", {{T(6), 30}, {T(9), 45}, {T(8), 50}, {0, 0}},
              {"AZ_AB", 3}, LIMIT_REFUSED, {{T(6), 30}, {T(9), 45}, {T(9), 50}, {0, 0}}},
    BreakCase{"falling length takes the one before", {{T(6), 30}, {T(9), 60}, {T(10), 50}, {0, 0}},
              {"PAUSENLAENGE", 3}, LIMIT_REFUSED, {{T(6), 30}, {T(9), 60}, {T(10), 60}, {0, 0}}},
    BreakCase{"a legal step from 9 hours needs 45", {{T(6), 30}, {T(9), 45}, {T(9, 30), 0}, {T(11), 40}},
              {"AZ_AB", 4}, LIMIT_REFUSED, {{T(6), 30}, {T(9), 45}, {T(9, 30), 0}, {T(11), 45}}},
    BreakCase{"the other entries are not looked at", {{T(6), 30}, {T(9), 45}, {T(8), 50}, {0, 0}},
              {"AZ_AB", 1}, LIMIT_ALLOWED, {{T(6), 30}, {T(9), 45}, {T(8), 50}, {0, 0}}}));

// ---- RB17: the weekend ------------------------------------------------------------------------------------

struct WeekendCase {
    const char* name;
    int startDay;
    int32_t startTime;
    int endDay;
    int32_t endTime;
    int64_t hours;   // hundredths
    LimitLevel level;
    int startDayAfter;
    int32_t startTimeAfter;
    int endDayAfter;
    int32_t endTimeAfter;
    int64_t hoursAfter;
};

void PrintTo(const WeekendCase& c, std::ostream* os) { *os << c.name; }

class Weekend : public ConstraintTest, public ::testing::WithParamInterface<WeekendCase> {};

TEST_P(Weekend, HoldsASaturdayOrSundayAndGrowsToItsSpan)
{
    const WeekendCase& c = GetParam();
    RBFEHLER.SetDecimal("WE_DAUER_MIN", Decimal::FromCents(2400));
    RB.SetInt("WE_ANFANGSTAG", c.startDay);
    RB.SetInt("WE_ANFANGSZEIT", c.startTime);
    RB.SetInt("WE_ENDTAG", c.endDay);
    RB.SetInt("WE_ENDZEIT", c.endTime);
    RB.SetDecimal("WE_DAUER_MIN", Decimal::FromCents(c.hours));
    CRahmenbedingungWochenende rb;
    EXPECT_EQ(ShowSettingCheck(rb, {"WE_DAUER_MIN"}), c.level);
    EXPECT_EQ(RB.GetInt("WE_ANFANGSTAG"), c.startDayAfter);
    EXPECT_EQ(RB.GetInt("WE_ANFANGSZEIT"), c.startTimeAfter);
    EXPECT_EQ(RB.GetInt("WE_ENDTAG"), c.endDayAfter);
    EXPECT_EQ(RB.GetInt("WE_ENDZEIT"), c.endTimeAfter);
    EXPECT_EQ(RB.GetDecimal("WE_DAUER_MIN").Cents(), c.hoursAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, Weekend, ::testing::Values(
    WeekendCase{"Saturday to Monday grows to 48 hours", 6, T(0), 1, T(0), 2400, LIMIT_ALLOWED, 6, T(0), 1, T(0), 4800},
    WeekendCase{"Saturday 14:00 to Monday 06:00 grows to 40 hours", 6, T(14), 1, T(6), 3600, LIMIT_ALLOWED, 6, T(14), 1, T(6), 4000},
    WeekendCase{"a span of 41:40 hours rounds to two places", 6, T(12, 20), 1, T(6), 3600, LIMIT_ALLOWED, 6, T(12, 20), 1, T(6), 4167},
    WeekendCase{"100 hours are cut to 96, level unchanged", 5, T(0), 2, T(0), 10000, LIMIT_ALLOWED, 5, T(0), 2, T(0), 9600},
    WeekendCase{"too short is put back and grows at once", 6, T(0), 1, T(0), 1000, LIMIT_REFUSED, 6, T(0), 1, T(0), 4800},
    WeekendCase{"a start on Monday holds no weekend day", 1, T(0), 1, T(0), 4800, LIMIT_REFUSED, 7, T(0), 1, T(0), 4800},
    WeekendCase{"an end on Saturday noon holds none either", 6, T(0), 6, T(12), 2400, LIMIT_REFUSED, 6, T(0), 7, T(0), 2400},
    WeekendCase{"weekday 0 is refused", 0, T(0), 1, T(0), 16800, LIMIT_REFUSED, 7, T(0), 1, T(0), 9600},
    WeekendCase{"weekday 9 is refused", 6, T(0), 9, T(0), 4800, LIMIT_REFUSED, 6, T(0), 7, T(0), 4800}));

TEST_F(ConstraintTest, WeekendChecksNothingForAnotherConstraintsField)
{
    RB.SetInt("WE_ANFANGSTAG", 1);
    CRahmenbedingungWochenende rb;
    EXPECT_EQ(rb.CheckLimits(true, {"WAZ"}), LIMIT_ALLOWED);
    EXPECT_EQ(rb.WE_ANFANGSTAG, 1);
    for (const char* f : {"WE_ANFANGSTAG", "WE_ANFANGSZEIT", "WE_ENDTAG", "WE_ENDZEIT", "WE_DAUER_MIN"})
        EXPECT_EQ(rb.CheckLimits(false, {f}), LIMIT_REFUSED) << f;
}

// ---- RB18 .. RB20: the lengths are checked whatever was edited ---------------------------------------------

TEST_F(ConstraintTest, EditingACountStillChecksAllSevenLengthsAgainstWeekdayOne)
{
    for (const char* prefix : {"NS", "SZ", "FZ"}) {
        SCOPED_TRACE(prefix);
        const std::string p = prefix;
        RB.Clear();
        RBFEHLER.Clear();
        RBFEHLER.SetInt(p + "_DAUER_MIN", T(6), 1);
        RBFEHLER.SetInt(p + "_DAUER_MIN", T(1), 5);   // only weekday 1's limit counts
        RBFEHLER.SetInt(p + "_EINZELSTOERUNGEN", 7);
        for (int d = 1; d <= 7; ++d)
            RB.SetInt(p + "_DAUER_MIN", T(8), d);
        RB.SetInt(p + "_DAUER_MIN", T(5), 3);
        RB.SetInt(p + "_DAUER_MIN", T(2), 5);
        RB.SetInt(p + "_EINZELSTOERUNGEN", 2);
        const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(p == "NS" ? 18 : p == "SZ" ? 19 : 20);
        EXPECT_EQ(ShowSettingCheck(*rb, {p + "_EINZELSTOERUNGEN"}), LIMIT_REFUSED);
        for (int d = 1; d <= 7; ++d)
            EXPECT_EQ(RB.GetInt(p + "_DAUER_MIN", d), d == 3 || d == 5 ? T(6) : T(8)) << d;
        EXPECT_EQ(RB.GetInt(p + "_EINZELSTOERUNGEN"), 2);
    }
}

// ---- the texts --------------------------------------------------------------------------------------------

TEST_F(ConstraintTest, SpecificTextsWinOverTheCommonOneAndOtherKeysAreSkipped)
{
    AddText("RB1", "gemeinsam 1");
    AddText("RB10", "gemeinsam 10");
    AddText("RB10W", "Warnung 10");
    AddText("RB19F", "Fehler 19");
    AddText("RB1W", "Warnung 1");
    AddText("RB2", "gemeinsam 2");
    AddText("RB4F", "Fehler 4");
    AddText("RB4", "gemeinsam 4");
    AddText("RB4W", "Warnung 4");
    AddText("RB5X", "fremd");

    struct Expect {
        int rb;
        const char* warn;
        const char* error;
    };
    for (const Expect& e : {Expect{1, "Warnung 1", "gemeinsam 1"}, Expect{10, "Warnung 10", "gemeinsam 10"},
                            Expect{19, "", "Fehler 19"}, Expect{2, "gemeinsam 2", "gemeinsam 2"},
                            Expect{4, "Warnung 4", "Fehler 4"}, Expect{5, "", ""}, Expect{3, "", ""}}) {
        const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(e.rb);
        EXPECT_EQ(rb->WARNTEXT, e.warn) << e.rb;
        EXPECT_EQ(rb->ERRORTEXT, e.error) << e.rb;
    }
}

TEST_F(ConstraintTest, WithoutATextTheMessageHasItsCaptionAndThePutBackSentence)
{
    RBFEHLER.SetInt("FREIE_SONNTAGE", 6);
    RB.SetInt("FREIE_SONNTAGE", 2);
    CRahmenbedingungFreieSonntage rb;
    EXPECT_EQ(ShowSettingCheck(rb, {"FREIE_SONNTAGE"}), LIMIT_REFUSED);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, kPutBack);
    EXPECT_EQ(shown_[0].caption, kCaptionError);
}

TEST_F(ConstraintTest, WithoutTheTableOpenTheTextsStayBlankAndTheChecksStillRun)
{
    AddCommonTexts();
    ReleaseFileAccess();   // no access objects: the table cannot be read
    RBFEHLER.SetInt("FREIE_SONNTAGE", 6);
    RB.SetInt("FREIE_SONNTAGE", 2);
    CRahmenbedingungFreieSonntage rb;
    EXPECT_EQ(rb.WARNTEXT, "");
    EXPECT_EQ(rb.CheckLimits(true), LIMIT_REFUSED);
    EXPECT_EQ(rb.FREIE_SONNTAGE, 6);
    InitFileAccess();
}

TEST_F(ConstraintTest, ReadingTheTextsLeavesTheTableAsItFoundIt)
{
    AddCommonTexts();
    ASSERT_EQ(Access::WARNTXT->TryOpen(), 0);   // opened by start-up for the run
    { CRahmenbedingungPausen rb; EXPECT_EQ(rb.WARNTEXT, "Text RB11"); }
    EXPECT_TRUE(FileIsOpen(WARNTXT));
    Access::WARNTXT->Close();
    EXPECT_FALSE(FileIsOpen(WARNTXT));
    { CRahmenbedingungPausen rb; EXPECT_EQ(rb.WARNTEXT, "Text RB11"); }
    EXPECT_FALSE(FileIsOpen(WARNTXT));
}

// ---- copies -------------------------------------------------------------------------------------------------

TEST_F(ConstraintTest, AssignCopiesTextsAndFieldsOfTheSameClassOnly)
{
    AddText("RB18", "Nachtschlaf");
    RB.SetInt("NS_KONT_STOERUNGEN", 4);
    RB.SetInt("SZ_KONT_STOERUNGEN", 9);
    CRahmenbedingungNachtschlafzeiten night;
    CRahmenbedingungSozialzeiten social;
    social.Assign(night);   // the same layout: values and texts, but its own record fields
    EXPECT_EQ(social.KONT_STOERUNGEN, 4);
    EXPECT_EQ(social.WARNTEXT, "Nachtschlaf");
    EXPECT_EQ(social.Prefix(), "SZ");
    RB.Clear();
    social.StoreToRB();
    EXPECT_EQ(RB.GetInt("SZ_KONT_STOERUNGEN"), 4);
    EXPECT_EQ(RB.GetInt("NS_KONT_STOERUNGEN"), 0);

    CRahmenbedingungFreieSonntage sundays;
    sundays.FREIE_SONNTAGE = 20;
    sundays.Assign(night);   // another class: nothing
    EXPECT_EQ(sundays.FREIE_SONNTAGE, 20);
    EXPECT_EQ(sundays.WARNTEXT, "");
}

TEST_F(ConstraintTest, AssignAllPairsThe22ByPosition)
{
    std::vector<std::unique_ptr<CRahmenbedingung>> source, target;
    RB.SetInt("FREIE_SONNTAGE", 20);
    RB.SetInt("ERSTE_PAUSE", T(5));
    for (int n = 1; n <= kRahmenbedingungen; ++n)
        source.push_back(NewRahmenbedingung(n));
    RB.Clear();
    for (int n = 1; n <= kRahmenbedingungen; ++n)
        target.push_back(NewRahmenbedingung(n));
    std::vector<CRahmenbedingung*> s, t;
    for (auto& p : source)
        s.push_back(p.get());
    for (auto& p : target)
        t.push_back(p.get());
    t[11] = nullptr;   // a missing entry is skipped
    RahmenbedingungenAssign(s, t);
    EXPECT_EQ(static_cast<CRahmenbedingungFreieSonntage&>(*target[4]).FREIE_SONNTAGE, 20);
    EXPECT_EQ(static_cast<CRahmenbedingungErstePause&>(*target[11]).ERSTE_PAUSE, 0);
    RahmenbedingungenAssign(std::span(s).first(3), t);   // a shorter list: only its entries
}

// ---- the dialog's accept-all pass ------------------------------------------------------------------------------

// While the window accepts all its fields at once (the dialog's OK), no message is shown, but a
// value beyond its error limit is still put back.
TEST_F(ConstraintTest, NoMessageDuringTheAcceptAllPassButTheValueIsPutBack)
{
    SetMessageHook({});
    AddCommonTexts();
    RBWARN.SetInt("FREIE_SONNTAGE", 15);
    RBFEHLER.SetInt("FREIE_SONNTAGE", 6);
    static CRahmenbedingungFreieSonntage* constraint = nullptr;
    static std::vector<LimitLevel> levels;
    static std::vector<int64_t> after;
    CRahmenbedingungFreieSonntage rb;
    constraint = &rb;
    levels.clear();
    after.clear();
    HeadlessDriver driver;
    driver.Start([] {
        static std::string entry;
        WindowDesc d;
        d.title = "Definitionen";
        d.Add(Ctl::Entry("@s10").Use(UseVar(entry)))   // 1
            .Add(Ctl::Button("OK"));                    // 2
        const int w = WindowCreate(d);
        WindowOpen(w);
        while (WindowAccept(w)) {
            if (EventAccepted() == 1) {
                RB.SetInt("FREIE_SONNTAGE", 3);   // what the user typed
                levels.push_back(ShowSettingCheck(*constraint, {"FREIE_SONNTAGE"}));
                after.push_back(RB.GetInt("FREIE_SONNTAGE"));
            } else if (EventAccepted() == 2) {
                WindowAcceptAll();
            } else if (EventCurrent() == EVENT_COMPLETED) {
                EventPost(EVENT_CLOSE_WINDOW);
            }
        }
        WindowClose(w);
    });
    const int w = driver.Window("Definitionen");
    driver.Type(w, 1, "x");
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, kCaptionError);
    EXPECT_EQ(driver.Message().text, std::string("Text RB5") + kPutBack);
    driver.AnswerMessage(BUTTON_OK);
    driver.Press(w, "OK");
    EXPECT_FALSE(driver.HasMessage());
    driver.WaitEnd();
    EXPECT_EQ(levels, (std::vector<LimitLevel>{LIMIT_REFUSED, LIMIT_REFUSED}));
    EXPECT_EQ(after, (std::vector<int64_t>{6, 6}));
}

} // namespace
