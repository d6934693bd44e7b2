// The weekday time profiles of a relevant-times constraint: equal weekdays share a profile, the
// profiles go back to the RB buffer, the constraint's check puts too short durations back, and
// the rows of unused profiles are cleared and greyed. The window tests run a small window with
// the grid of the night-sleep constraint (RB18).
#include "assessment/Zeitprofile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Files.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/MessageShow.h"

// Found by the comparisons of whole groups (std::array) as well.
static bool operator==(const RELEVANTEZEIT& a, const RELEVANTEZEIT& b)
{
    return a.ANFANGSZEIT_MIN == b.ANFANGSZEIT_MIN && a.ANFANGSZEIT_MAX == b.ANFANGSZEIT_MAX &&
           a.DAUER_MIN == b.DAUER_MIN;
}

namespace {

constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }
constexpr int kGrey = 233 + 233 * 256 + 233 * 65536;

RELEVANTEZEIT Times(int from, int to, int hours) { return {T(from), T(to), T(hours)}; }

// ---- profiles from a group and back ----------------------------------------------------------------

TEST(ZeitprofileGroupTest, EqualDaysShareAProfileInWeekdayOrder)
{
    const RELEVANTEZEIT a = Times(22, 23, 7), b = Times(23, 1, 6), c = Times(21, 22, 8), d = Times(0, 2, 6),
                        e = Times(20, 21, 9), f = Times(19, 20, 10);
    struct Case {
        const char* what;
        ZeitprofilGruppe group;
        std::array<uint8_t, 7> days;
        int profiles;
    };
    const Case cases[] = {
        {"one profile", {a, a, a, a, a, a, a}, {1, 1, 1, 1, 1, 1, 1}, 1},
        {"weekend apart", {a, a, a, a, a, b, b}, {1, 1, 1, 1, 1, 2, 2}, 2},
        {"profiles come back", {a, b, a, c, b, a, c}, {1, 2, 1, 3, 2, 1, 3}, 3},
        {"four", {a, b, c, d, a, b, c}, {1, 2, 3, 4, 1, 2, 3}, 4},
        // A fifth set of times gets no profile rather than taking another day's.
        {"more than four", {a, b, c, d, e, f, a}, {1, 2, 3, 4, 0, 0, 1}, 4},
    };
    for (const Case& k : cases) {
        CZeitprofile grid;
        grid.LoadFromGroup(k.group);
        EXPECT_EQ(grid.WOCHENTAGE, k.days) << k.what;
        EXPECT_EQ(grid.FORCERESET, 1) << k.what;
        for (int p = 0; p < CZeitprofile::kProfile; ++p) {
            const bool used = p < k.profiles;
            const size_t i = static_cast<size_t>(p);
            const RELEVANTEZEIT profile{grid.ANFANGSZEIT_MIN[i], grid.ANFANGSZEIT_MAX[i], grid.DAUER[i]};
            if (used)
                EXPECT_EQ(profile, k.group[static_cast<size_t>(std::find(k.days.begin(), k.days.end(), p + 1) - k.days.begin())])
                    << k.what << " profile " << p + 1;
            else
                EXPECT_EQ(profile, RELEVANTEZEIT{}) << k.what << " profile " << p + 1;
        }
        // Back to the group: nothing changes, the days without a profile included.
        ZeitprofilGruppe back = k.group;
        grid.StoreToGroup(back);
        EXPECT_EQ(back, k.group) << k.what;
    }
}

TEST(ZeitprofileGroupTest, StoringGivesEveryDayItsProfilesTimes)
{
    CZeitprofile grid;
    grid.LoadFromGroup({Times(22, 23, 7), Times(22, 23, 7), Times(22, 23, 7), Times(22, 23, 7), Times(22, 23, 7),
                        Times(23, 1, 6), Times(23, 1, 6)});
    grid.DAUER[0] = T(8);
    grid.WOCHENTAGE[4] = 2;   // Friday joins the weekend
    grid.WOCHENTAGE[6] = 0;   // Sunday keeps what is stored
    ZeitprofilGruppe group{};
    group[6] = Times(1, 2, 3);
    grid.StoreToGroup(group);
    const ZeitprofilGruppe expected{Times(22, 23, 8), Times(22, 23, 8), Times(22, 23, 8), Times(22, 23, 8),
                                    Times(23, 1, 6), Times(23, 1, 6), Times(1, 2, 3)};
    EXPECT_EQ(group, expected);
}

// ---- the grid in a window -------------------------------------------------------------------------

// Controls 1 .. 35: seven options of four radios, 36 .. 47: the profile entries (rows 2 to 4
// disabled as a dialog would open them), 48 a prompt, 49 OK.
constexpr int kFirst = 1, kOk = 49;
int Radio(int day, int profile) { return kFirst + 5 * day + profile; }   // day 0 Monday, profile 1..4
int Entry(int profile, int column) { return kFirst + 35 + 3 * (profile - 1) + column; }

class GridWindow : public FwWindow {
public:
    GridWindow(CZeitprofile& grid, CRahmenbedingungRelevanteZeiten& constraint) : grid_(grid), constraint_(constraint) {}

    int Setup() override
    {
        FwWindow::Setup();
        WindowDesc d;
        d.title = "Nachtschlaf";
        const char* const days[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
        for (const char* day : days) {
            ControlDesc option = Ctl::Option(day);
            for (int p = 1; p <= 4; ++p)
                option.Add(Ctl::Radio(std::to_string(p)));
            d.Add(option);
        }
        for (int p = 1; p <= 4; ++p)
            for (int column = 0; column < 3; ++column)
                d.Add(Ctl::Entry("@T7").Disabled(p > 1));
        d.Add(Ctl::Prompt("Mindest-")).Add(Ctl::Button("OK").Name("?OK"));
        CreateWindow(d);
        SetOkControl(kOk);
        OpenWindow();
        grid_.Init(kFirst, constraint_);
        grid_.LoadFromRB();
        AddComponent(grid_);
        Refresh();
        return LEVEL_BENIGN;
    }

private:
    CZeitprofile& grid_;
    CRahmenbedingungRelevanteZeiten& constraint_;
};

class ZeitprofileWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/varn-zp-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        InitFileAccess();
        NameProgramFiles(dir_);
        for (RecordFile* f : {&RB, &RBWARN, &RBFEHLER})
            f->Clear();
        RBFEHLER.SetInt("NS_DAUER_MIN", T(6), 1);
        SetMessageHook([this](const MessageRequest& m) {
            captions.push_back(m.caption);
            return BUTTON_OK;
        });
    }
    void TearDown() override
    {
        if (driver) {
            driver->Press(w, kOk);
            driver->WaitEnd();
            driver.reset();
        }
        constraint.reset();
        SetMessageHook({});
        ReleaseFileAccess();
        std::filesystem::remove_all(dir_);
    }

    void Open(const ZeitprofilGruppe& group)
    {
        WriteZeitprofilGruppe(RB, "NS", group);
        constraint = std::make_unique<CRahmenbedingungNachtschlafzeiten>();
        driver = std::make_unique<HeadlessDriver>();
        driver->Start([this] {
            GridWindow window(grid, *constraint);
            window.RunWindow();
        });
        w = driver->Window("Nachtschlaf");
    }
    std::string Text(int control) { return driver->Text(w, control); }
    bool Disabled(int control) { return driver->Disabled(w, control); }
    int64_t Color(int control) { return driver->Property(w, control, Prop::Color).Int(); }
    // The three entries of a profile: texts, and whether all are enabled with no colour of
    // their own (true) or all disabled and grey (false).
    std::vector<std::string> Row(int profile)
    {
        return {Text(Entry(profile, 0)), Text(Entry(profile, 1)), Text(Entry(profile, 2))};
    }
    void ExpectRowUsed(int profile, bool used)
    {
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(Disabled(Entry(profile, column)), !used) << profile << "/" << column;
            EXPECT_EQ(Color(Entry(profile, column)), used ? -1 : kGrey) << profile << "/" << column;
        }
    }

    std::string dir_;
    std::vector<std::string> captions;
    std::unique_ptr<CRahmenbedingungNachtschlafzeiten> constraint;
    CZeitprofile grid;
    std::unique_ptr<HeadlessDriver> driver;
    int w = 0;
};

const RELEVANTEZEIT kWeek = Times(22, 23, 7);

TEST_F(ZeitprofileWindowTest, ASecondProfileStartsAsTheFirstAndIsClearedWhenDropped)
{
    Open({kWeek, kWeek, kWeek, kWeek, kWeek, kWeek, kWeek});
    for (int day = 0; day < 7; ++day)
        EXPECT_TRUE(driver->Property(w, Radio(day, 1), Prop::Checked).Bool()) << day;
    EXPECT_EQ(Row(1), (std::vector<std::string>{"22:00", "23:00", "07:00"}));
    ExpectRowUsed(1, true);
    for (int p = 2; p <= 4; ++p)
        ExpectRowUsed(p, false);

    driver->Choose(w, Radio(5, 2));   // Saturday
    EXPECT_EQ(grid.WOCHENTAGE[5], 2);
    ExpectRowUsed(2, true);
    EXPECT_EQ(Row(2), Row(1));
    ExpectRowUsed(3, false);

    // A changed profile reaches the days that use it, and only those.
    driver->Type(w, Entry(2, 2), "08:30");
    EXPECT_EQ(RB.GetInt("NS_DAUER_MIN", 6), T(8, 30));
    EXPECT_EQ(RB.GetInt("NS_DAUER_MIN", 1), T(7));
    EXPECT_EQ(RB.GetInt("NS_DAUER_MIN", 7), T(7));
    EXPECT_TRUE(captions.empty());

    driver->Choose(w, Radio(5, 1));
    ExpectRowUsed(2, false);
    EXPECT_EQ(grid.ANFANGSZEIT_MIN[1], 0);
    EXPECT_EQ(grid.ANFANGSZEIT_MAX[1], 0);
    EXPECT_EQ(grid.DAUER[1], 0);
}

// Monday alone on profile 1 moves to a new profile: profile 1 is dropped in the same pass, yet the
// new profile starts with Monday's times rather than with the cleared row.
TEST_F(ZeitprofileWindowTest, MovingTheOnlyDayOfProfileOneKeepsItsTimes)
{
    const RELEVANTEZEIT rest = Times(23, 1, 6);
    Open({kWeek, rest, rest, rest, rest, rest, rest});
    driver->Choose(w, Radio(0, 3));
    ExpectRowUsed(1, false);
    ExpectRowUsed(3, true);
    EXPECT_EQ(Row(3), (std::vector<std::string>{"22:00", "23:00", "07:00"}));
    ZeitprofilGruppe group{};
    grid.StoreToGroup(group);
    EXPECT_EQ(group[0], kWeek);
    EXPECT_EQ(group[1], rest);
}

TEST_F(ZeitprofileWindowTest, ATooShortDurationIsPutBackForEveryDayOfItsProfile)
{
    const RELEVANTEZEIT weekend = Times(22, 23, 6);
    Open({kWeek, kWeek, kWeek, kWeek, kWeek, weekend, weekend});
    // The weekend's profile shows its own times although its row opened disabled.
    EXPECT_EQ(Row(2), (std::vector<std::string>{"22:00", "23:00", "06:00"}));
    ExpectRowUsed(2, true);

    driver->Type(w, Entry(1, 2), "05:00");
    ASSERT_EQ(captions, (std::vector<std::string>{"Diese Einstellung ist nicht erlaubt"}));
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(RB.GetInt("NS_DAUER_MIN", day), T(6)) << day;
    // The put-back weekdays now equal the weekend: one profile remains.
    EXPECT_EQ(grid.WOCHENTAGE, (std::array<uint8_t, 7>{1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"22:00", "23:00", "06:00"}));
    ExpectRowUsed(2, false);
    EXPECT_TRUE(driver->Property(w, Radio(6, 1), Prop::Checked).Bool());
}

TEST_F(ZeitprofileWindowTest, ADayWithoutAProfileKeepsItsStoredTimes)
{
    const RELEVANTEZEIT a = Times(22, 23, 7), b = Times(23, 1, 7), c = Times(21, 22, 8), d = Times(0, 2, 7),
                        e = Times(20, 21, 9);
    Open({a, b, c, d, e, a, a});
    for (int p = 1; p <= 4; ++p)
        EXPECT_FALSE(driver->Property(w, Radio(4, p), Prop::Checked).Bool()) << p;
    driver->Type(w, Entry(1, 0), "21:30");
    EXPECT_EQ(RB.GetInt("NS_ANFANGSZEIT_MIN", 1), T(21, 30));
    EXPECT_EQ(RB.GetInt("NS_ANFANGSZEIT_MIN", 6), T(21, 30));
    EXPECT_EQ(RB.GetInt("NS_ANFANGSZEIT_MIN", 5), e.ANFANGSZEIT_MIN);
    EXPECT_EQ(RB.GetInt("NS_DAUER_MIN", 5), e.DAUER_MIN);
}

} // namespace
