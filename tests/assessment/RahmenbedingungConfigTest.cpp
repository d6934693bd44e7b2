// The installed configuration file that the build makes from data/config: its tables as the
// program opens them, a few values, the warning texts, and that the defaults pass the installed
// limits. The installation directory comes from VARN_INSTALL_DIR (set for the tests by the
// build); the test works on a copy so the installed file stays as built.
#include "assessment/Rahmenbedingungen.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "core/Files.h"
#include "platform/values/Windows1252.h"

namespace fs = std::filesystem;

static void PrintTo(LimitLevel level, std::ostream* os) { *os << static_cast<int>(level); }

namespace {

constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }

class InstalledConfig : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* installed = std::getenv("VARN_INSTALL_DIR");
        // Without the variable: the build tree's installation directory beside the tests.
        const fs::path from = installed ? fs::path(installed) : fs::current_path() / ".." / "app";
        ASSERT_TRUE(fs::exists(from / "varn4.cfg")) << (from / "varn4.cfg") << " fehlt: erst bauen";
        char name[] = "/tmp/varn-cfg-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        for (const char* f : {"varn4.cfg", "eba.cfg", "deutsch.env"})
            fs::copy_file(from / f, dir_ / f);
        InitFileAccess();
        NameProgramFiles(dir_.string());
        for (FwFileManager* a : {Access::RBDEFAULT, Access::RBWARN, Access::RBFEHLER, Access::KRIDEFAULT})
            ASSERT_EQ(ReadFirst(a), 0) << a->GetName();
    }

    void TearDown() override
    {
        ReleaseFileAccess();
        fs::remove_all(dir_);
    }

    // As start-up does: the first record of a defaults table into its buffer.
    static int ReadFirst(FwFileManager* access)
    {
        if (const int level = access->TryOpen())
            return level;
        FileSet(*access->File());
        const int level = access->TryNext();
        access->Close();
        return level;
    }

    static int64_t Records(RecordFile& file)
    {
        if (FileOpen(file, FILE_READ_ONLY) != ERR_NONE)
            return -1;
        const int64_t n = FileRecords(file);
        FileClose(file);
        return n;
    }

    fs::path dir_;
};

TEST_F(InstalledConfig, TablesHoldTheRecordsTheProgramExpects)
{
    EXPECT_EQ(Records(RBDEFAULT), 1);
    EXPECT_EQ(Records(RBWARN), 1);
    EXPECT_EQ(Records(RBFEHLER), 1);
    EXPECT_EQ(Records(KRIDEFAULT), 1);
    EXPECT_EQ(Records(WARNTXT), 22);
    EXPECT_EQ(Records(EBA), 1);
}

TEST_F(InstalledConfig, LegalValuesAreInPlace)
{
    EXPECT_EQ(RBDEFAULT.GetInt("NACHTAZ_ANFANG"), T(23));
    EXPECT_EQ(RBDEFAULT.GetInt("NACHTAZ_LAENGE"), T(7));
    EXPECT_EQ(RBDEFAULT.GetInt("RZ_DAUER_OHNE_AUSGLEICH"), T(11));
    EXPECT_EQ(RBDEFAULT.GetInt("RZ_DAUER_MIT_AUSGLEICH"), 0);
    EXPECT_EQ(RBDEFAULT.GetInt("AZ_AB", 2), T(9));
    EXPECT_EQ(RBDEFAULT.GetInt("PAUSENLAENGE", 2), 45);
    EXPECT_EQ(RBDEFAULT.GetDecimal("WRZ_DAUER_MIN").Cents(), 3500);
    EXPECT_EQ(RBDEFAULT.GetInt("NS_ANFANGSZEIT_MAX", 5), T(1));
    EXPECT_EQ(RBWARN.GetInt("RZ_DAUER_MIT_AUSGLEICH"), T(10));
    EXPECT_EQ(RBWARN.GetInt("RZ_DAUER_OHNE_AUSGLEICH"), T(11));
    EXPECT_EQ(RBFEHLER.GetInt("RZ_DAUER_OHNE_AUSGLEICH"), T(9));
    EXPECT_EQ(RBWARN.GetInt("ERSTE_PAUSE"), T(6));
    EXPECT_EQ(RBFEHLER.GetInt("SL_DAUER_MAX"), T(10, 45));
    EXPECT_EQ(RBFEHLER.GetDecimal("WAZ").Cents(), 4800);
    EXPECT_EQ(RBFEHLER.GetInt("FREIE_SONNTAGE"), 6);
}

// A new worksheet's constraints raise nothing against the installed limits, except the daily
// working time with compensation, which is allowed only under its conditions by its nature.
TEST_F(InstalledConfig, DefaultsPassTheInstalledLimits)
{
    RB.CopyFrom(RBDEFAULT);
    for (int n = 1; n <= kRahmenbedingungen; ++n) {
        SCOPED_TRACE(n);
        const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(n);
        EXPECT_EQ(rb->CheckLimits(false), n == 14 ? LIMIT_CONDITIONAL : LIMIT_ALLOWED);
        EXPECT_EQ(rb->CheckLimits(true), n == 14 ? LIMIT_CONDITIONAL : LIMIT_ALLOWED);
        rb->StoreToRB();
    }
    // Nothing was put back, the shift windows follow each other and the weekend minimum is its
    // whole span already: checking and storing leave the defaults as they are.
    for (size_t i = 0; i < RB.Bytes().size(); ++i)
        ASSERT_EQ(RB.Bytes()[i], RBDEFAULT.Bytes()[i]) << "byte " << i;
}

// Every field of the RB layout, element by element: a field with a limit is one the checks read,
// its error limit lies strictly beyond its warning limit in the field's direction (so there is
// always a band allowed only under conditions), the default lies within the warning limit, and
// no upper limit is 0, which would put every value back (or make every value warn).
TEST_F(InstalledConfig, EveryErrorLimitLiesBeyondItsWarningLimit)
{
    enum Kind {
        kLower,        // below the limit is beyond it
        kUpper,        // above the limit is beyond it
        kLowerGiven,   // lower; the warning record holds the value given when switched on
        kUpperGiven,   // upper; likewise
        kLowerError,   // lower, error limit only
        kUpperError,   // upper, error limit only
    };
    const std::map<std::string, Kind> kinds = {
        {"NACHTAZ_ANFANG", kLower},   // the night start may lie from the error limit to 2 hours later
        {"NACHTAZ_LAENGE", kLower}, {"NACHTAZ_DAUER_MIN", kLower},
        {"RZ_DAUER_OHNE_AUSGLEICH", kLower}, {"RZ_DAUER_MIT_AUSGLEICH", kLowerGiven},
        {"RZ_AUSGLEICHSZEITRAUM", kUpper}, {"FREIE_SONNTAGE", kLower},
        {"WRZ_DAUER_MIN", kLower}, {"ERSATZ_WRZ_DAUER_MIN", kLower},
        {"SAZ_VERSCHIEBUNG", kUpper}, {"SAZ_AUSGLEICHSZEITRAUM", kUpper},
        {"KONTAZ_MIN", kLower}, {"KONTAZ_MAX", kUpper},
        {"SL_DAUER_MIN", kLower}, {"SL_DAUER_MAX", kUpper},
        {"ERSTE_PAUSE", kUpper}, {"MINDESTPAUSENLAENGE", kLower},
        {"WTAZ_OHNE_AUSGLEICH", kUpper}, {"WTAZ_MIT_AUSGLEICH", kUpperGiven},
        {"WTAZ_AUSGLEICHSZEITRAUM_NORMAL", kUpper}, {"WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT", kUpper},
        {"WAZ", kUpper}, {"WAZ_AUSGLEICHSZEITRAUM", kUpper}, {"WAZ_MAX", kUpperError},
        {"WE_DAUER_MIN", kLowerError}, {"RZNACHTARBEIT_MIN", kLowerError},
        {"NS_DAUER_MIN", kLowerError}, {"SZ_DAUER_MIN", kLowerError}, {"FZ_DAUER_MIN", kLowerError},
        {"NS_KONT_STOERUNGEN", kUpperError}, {"SZ_KONT_STOERUNGEN", kUpperError},
        {"FZ_KONT_STOERUNGEN", kUpperError}, {"NS_EINZELSTOERUNGEN", kUpperError},
        {"SZ_EINZELSTOERUNGEN", kUpperError}, {"FZ_EINZELSTOERUNGEN", kUpperError},
    };
    auto value = [](const RecordBuffer& r, const Field& f, int i) {
        return f.type == FieldType::Decimal ? r.GetDecimal(f, i).Cents() : r.GetInt(f, i);
    };
    std::set<std::string> seen;
    for (const auto& field : RBFEHLER.GetLayout().Fields()) {
        const Field& f = *field;
        if (f.type == FieldType::String || f.type == FieldType::Group || f.name == "ID" || f.name == "STEP")
            continue;
        for (int i = 1; i <= f.count; ++i) {
            SCOPED_TRACE(f.name + "[" + std::to_string(i) + "]");
            const int64_t d = value(RBDEFAULT, f, i), w = value(RBWARN, f, i), e = value(RBFEHLER, f, i);
            const auto kind = kinds.find(f.name);
            if (kind == kinds.end()) {
                EXPECT_EQ(w, 0) << "a limit no check reads";
                EXPECT_EQ(e, 0) << "a limit no check reads";
                continue;
            }
            seen.insert(f.name);
            switch (kind->second) {
            case kLower:
            case kLowerGiven:
                EXPECT_LT(e, w) << "the error limit must lie below the warning limit";
                if (kind->second == kLower) {
                    EXPECT_LE(w, d) << "a new worksheet must raise no warning";
                }
                break;
            case kUpper:
            case kUpperGiven:
                EXPECT_NE(w, 0);
                EXPECT_GT(e, w) << "the error limit must lie above the warning limit";
                if (kind->second == kUpper) {
                    EXPECT_LE(d, w) << "a new worksheet must raise no warning";
                }
                break;
            case kLowerError:
                EXPECT_EQ(w, 0) << "no warning limit is read";
                EXPECT_LE(e, d);
                break;
            case kUpperError:
                EXPECT_EQ(w, 0) << "no warning limit is read";
                EXPECT_NE(e, 0) << "0 would put every value back";
                EXPECT_LE(d, e);
                break;
            }
        }
    }
    EXPECT_EQ(seen.size(), kinds.size()) << "a name in the table is not in the layout";
    // The night start is a window: the warning limit (the legal start) lies inside it.
    EXPECT_LE(RBWARN.GetInt("NACHTAZ_ANFANG"), RBFEHLER.GetInt("NACHTAZ_ANFANG") + T(2) - 1);
}

TEST_F(InstalledConfig, EveryConstraintHasItsTextInWindows1252)
{
    std::set<std::string> keys;
    ASSERT_EQ(Access::WARNTXT->TryOpen(), 0);
    FileSet(WARNTXT);
    while (Access::WARNTXT->TryNext() == 0) {
        const std::string key = WARNTXT.GetString("RAHMENBEDINGUNG");
        const std::string text = WARNTXT.GetString("INHALT");
        keys.insert(key);
        EXPECT_GT(text.size(), 60u) << key;
        EXPECT_EQ(Cp1252ToUtf8(Utf8ToCp1252(text)), text) << key;
        EXPECT_EQ(text.find("||"), std::string::npos) << key;   // no empty lines before the put-back sentence
    }
    Access::WARNTXT->Close();
    std::set<std::string> expected;
    for (int n = 1; n <= kRahmenbedingungen; ++n)
        expected.insert("RB" + std::to_string(n));
    EXPECT_EQ(keys, expected);

    // The constraints read them.
    CRahmenbedingungMindestruhezeit rest;
    EXPECT_NE(rest.WARNTEXT.find("§ 5 Abs. 2 ArbZG"), std::string::npos) << rest.WARNTEXT;
    EXPECT_EQ(rest.ERRORTEXT, rest.WARNTEXT);
}

} // namespace
