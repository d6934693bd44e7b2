// The installed configuration file that the build makes from data/config: its tables as the
// program opens them, a few values, the warning texts, and that the defaults pass the installed
// limits. The installation directory comes from VARN_INSTALL_DIR (set for the tests by the
// build); the test works on a copy so the installed file stays as built.
#include "assessment/Rahmenbedingungen.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
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
    const int64_t eba = Records(EBA);   // one, or none when data/config has no source for it
    EXPECT_TRUE(eba == 0 || eba == 1) << eba;
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
    EXPECT_EQ(RBFEHLER.GetInt("RZ_DAUER_OHNE_AUSGLEICH"), T(11));
    EXPECT_EQ(RBFEHLER.GetInt("ERSTE_PAUSE"), T(6));
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

// Each warning limit lies between the default and the error limit.
TEST_F(InstalledConfig, WarningLimitsLieWithinTheErrorLimits)
{
    struct Limit {
        const char* field;
        bool lower;
    };
    const Limit limits[] = {
        {"NACHTAZ_LAENGE", true}, {"NACHTAZ_DAUER_MIN", true}, {"RZ_DAUER_OHNE_AUSGLEICH", true},
        {"RZ_AUSGLEICHSZEITRAUM", false}, {"FREIE_SONNTAGE", true}, {"WRZ_DAUER_MIN", true},
        {"ERSATZ_WRZ_DAUER_MIN", true}, {"SAZ_VERSCHIEBUNG", false}, {"SAZ_AUSGLEICHSZEITRAUM", false},
        {"KONTAZ_MIN", true}, {"KONTAZ_MAX", false}, {"SL_DAUER_MIN", true}, {"SL_DAUER_MAX", false},
        {"ERSTE_PAUSE", false}, {"MINDESTPAUSENLAENGE", true}, {"WTAZ_OHNE_AUSGLEICH", false},
        {"WTAZ_AUSGLEICHSZEITRAUM_NORMAL", false}, {"WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT", false},
        {"WAZ", false}, {"WAZ_AUSGLEICHSZEITRAUM", false},
    };
    auto value = [](const RecordBuffer& r, const char* f) {
        return r.GetLayout().At(f).type == FieldType::Decimal ? r.GetDecimal(f).Cents() : r.GetInt(f);
    };
    for (const Limit& l : limits) {
        SCOPED_TRACE(l.field);
        const int64_t d = value(RBDEFAULT, l.field), w = value(RBWARN, l.field), f = value(RBFEHLER, l.field);
        if (l.lower) {
            EXPECT_LE(f, w);
            EXPECT_LE(w, d);
        } else {
            EXPECT_LE(d, w);
            EXPECT_LE(w, f);
        }
    }
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
