#include "platform/values/Locale.h"

#include "PipeGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::string DataFile()
{
    const char* dir = std::getenv("VARN_DATA_DIR");
    return dir ? std::string(dir) + "/deutsch.env" : std::string();
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class LocaleTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(DataFile().empty()) << "VARN_DATA_DIR is not set";
        std::string error;
        ASSERT_TRUE(Locale::Load(DataFile(), &error)) << error;
    }

    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Writes a variant of the installed file and tries to load it.
    bool LoadVariant(const std::string& text, std::string* error)
    {
        std::filesystem::create_directories(dir_);
        const std::string path = (dir_ / "deutsch.env").string();
        std::ofstream(path, std::ios::binary) << text;
        return Locale::Load(path, error);
    }

    static std::string Without(std::string text, const std::string& line)
    {
        const size_t at = text.find(line + "\n");
        EXPECT_NE(at, std::string::npos) << line;
        return at == std::string::npos ? text : text.erase(at, line.size() + 1);
    }

    std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                                 ("varn-locale-" + std::to_string(::getpid()));
};

TEST_F(LocaleTest, NamesAndButtons)
{
    const Locale& loc = Locale::Current();
    EXPECT_EQ(loc.MonthName(1), "Januar");
    EXPECT_EQ(loc.MonthName(3), "März");
    EXPECT_EQ(loc.MonthName(12), "Dezember");
    EXPECT_EQ(loc.MonthName(13), "");
    EXPECT_EQ(loc.DayName(1), "Montag");
    EXPECT_EQ(loc.DayName(7), "Sonntag");
    EXPECT_EQ(loc.DayName(0), "");
    EXPECT_EQ(loc.ButtonText("Cancel"), "Abbrechen");
    EXPECT_EQ(loc.ButtonText("Retry"), "Wiederholen");
    EXPECT_EQ(loc.ButtonText("Yes"), "Ja");
}

TEST_F(LocaleTest, MessagesFillInTheirValues)
{
    EXPECT_EQ(LocaleMessage("Zeit.Ungueltig", {"25:00", "hh:mm"}),
              "Die Eingabe „25:00“ ist keine gültige Uhrzeit. Bitte geben Sie die Zeit als hh:mm zwischen "
              "00:00 und 24:00 ein.");
    EXPECT_EQ(LocaleMessage("Zahl.Ungueltig"), "Die Eingabe „%1“ ist keine gültige Zahl.");
    EXPECT_EQ(LocaleMessage("Gibt.Es.Nicht"), "Gibt.Es.Nicht");
}

TEST_F(LocaleTest, MessagesWithABuiltInTextPreferTheLocale)
{
    std::string error;
    ASSERT_TRUE(LoadVariant(Without(ReadAll(DataFile()), "Bericht.KeineSeiten = Der Bericht hat keine Seiten.") +
                                "Bericht.KeineSeiten = Nichts zu drucken.\n",
                            &error))
        << error;
    EXPECT_EQ(LocaleMessageOr("Bericht.KeineSeiten", "Der Bericht hat keine Seiten."), "Nichts zu drucken.");
    EXPECT_EQ(LocaleMessageOr("Datei.Fehler", "Error %1", {"7"}), "Fehler 7");
    // A key the file does not hold, and no locale at all (tests, start-up before the file is read).
    EXPECT_EQ(LocaleMessageOr("Gibt.Es.Nicht", "Eingebaut %1", {"3"}), "Eingebaut 3");
    EXPECT_EQ(Locale().MessageOr("Datei.Fehler", "Fehler %1", {"7"}), "Fehler 7");
    EXPECT_EQ(Locale().MessageOr("Fw.Unbekannt", "Unbekannte Meldung Nr. %1.|%Message", {"12"}),
              "Unbekannte Meldung Nr. 12.|%Message");
}

// Every message key in the sources that ask the locale for messages is in the installed file.
TEST_F(LocaleTest, EveryMessageKeyOfTheCodeIsInTheInstalledFile)
{
    const std::filesystem::path root = std::filesystem::path(DataFile()).parent_path().parent_path();
    // A key is a literal of capitalised words joined by dots: "Datei.NichtGefunden".
    auto isKey = [](const std::string& s) {
        bool wordStart = true, dot = false;
        for (char c : s) {
            if (c == '.') {
                if (wordStart)
                    return false;
                wordStart = dot = true;
            } else if (wordStart ? (c >= 'A' && c <= 'Z') : std::isalpha(static_cast<unsigned char>(c))) {
                wordStart = false;
            } else {
                return false;
            }
        }
        return dot && !wordStart;
    };
    std::set<std::string> keys;
    for (const char* folder : {"platform", "core", "app", "assessment", "generation", "worksheets"}) {
        if (!std::filesystem::exists(root / folder))
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
            if (entry.path().extension() != ".cpp")
                continue;
            const std::string code = ReadAll(entry.path().string());
            if (code.find("LocaleMessage") == std::string::npos || entry.path().filename() == "Locale.cpp")
                continue;
            for (size_t open = code.find('"'); open != std::string::npos;) {
                const size_t close = code.find('"', open + 1);
                if (close == std::string::npos)
                    break;
                if (std::string literal = code.substr(open + 1, close - open - 1); isKey(literal))
                    keys.insert(literal);
                open = code.find('"', close + 1);
            }
        }
    }
    for (const char* key : {"Datei.NichtGefunden", "Fw.Ursache", "Bericht.KeineSeiten", "Eingabe.KeinFenster",
                            "Zahl.Ungueltig"})
        EXPECT_TRUE(keys.count(key)) << "the scan misses " << key;
    for (const std::string& key : keys)
        EXPECT_NE(Locale::Current().MessageOr(key, "\x01"), "\x01") << key << " is not in " << DataFile();
}

TEST_F(LocaleTest, UpperAndLowerCaseIncludeUmlauts)
{
    EXPECT_EQ(LocaleUpper("Größe äöü abc"), "GRÖßE ÄÖÜ ABC");
    EXPECT_EQ(LocaleLower("ÄRGER ÜBER ÖL"), "ärger über öl");
    EXPECT_EQ(LocaleUpper("Straße"), "STRAßE");  // ß has no upper case letter of its own
    EXPECT_TRUE(LocaleEqualNoCase("Rückschritte", "RÜCKSCHRITTE"));
    EXPECT_FALSE(LocaleEqualNoCase("Rückschritte", "Ruckschritte"));
}

TEST_F(LocaleTest, SortsAsInDin5007VariantOne)
{
    // Expected order: umlauts with their base letter, the plain spelling first; ß as ss.
    const std::vector<std::string> expected = {
        "Abend", "Ähre", "Arbeit", "Masse", "Maße", "Mast", "Muller", "Müller", "Mutter",
        "Ofen", "Öl", "Ort", "Straße", "Strasse2", "Tag", "Übung", "Uhr", "zehn",
    };
    std::vector<std::string> names = expected;
    std::reverse(names.begin(), names.end());
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return LocaleCompare(a, b) < 0; });
    EXPECT_EQ(names, expected);
}

TEST_F(LocaleTest, CaseDecidesOnlyBetweenOtherwiseEqualTexts)
{
    EXPECT_LT(LocaleCompare("abend", "Abend"), 0);
    EXPECT_LT(LocaleCompare("Abend", "abends"), 0);
    EXPECT_EQ(LocaleCompare("Abend", "Abend"), 0);
    EXPECT_EQ(LocaleCompareNoCase("ÄHRE", "ähre"), 0);
    EXPECT_NE(LocaleCompareNoCase("Ähre", "Ahre"), 0);
    EXPECT_LT(LocaleCompareNoCase("frühschicht", "SPÄTSCHICHT"), 0);
    EXPECT_EQ(LocaleCompare("", ""), 0);
    EXPECT_LT(LocaleCompare("", "a"), 0);
}

TEST_F(LocaleTest, MissingFileIsReportedInGerman)
{
    std::string error;
    EXPECT_FALSE(Locale::Load("/nicht/vorhanden/deutsch.env", &error));
    // Only what is wrong: what the program then does is for its start-up to say.
    EXPECT_EQ(error, "Die Sprachdatei „/nicht/vorhanden/deutsch.env“ fehlt oder kann nicht gelesen werden.");
    EXPECT_EQ(Locale::Current().MonthName(5), "Mai");  // the loaded locale stays
}

// A named pipe in the file's place would wait for a writer for good; it and a folder are refused
// at once, without being read.
TEST_F(LocaleTest, APipeOrAFolderInThePlaceOfTheFileIsRefusedAtOnce)
{
    PipeGuard guard;
    const std::string path = (dir_ / "deutsch.env").string();
    for (const char* kind : {"Pipe", "Ordner"}) {
        SCOPED_TRACE(kind);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        ASSERT_TRUE(std::string(kind) == "Pipe" ? guard.Make(path) : std::filesystem::create_directory(path));
        std::string error;
        EXPECT_FALSE(Locale::Load(path, &error));
        EXPECT_EQ(error, "Die Sprachdatei „" + path +
                             "“ ist keine gewöhnliche Datei (sondern etwa eine benannte Pipe, ein Ordner oder ein "
                             "Gerät) und wird nicht gelesen.");
        EXPECT_FALSE(guard.Late()) << "the load waited for a writer";
        EXPECT_EQ(Locale::Current().MonthName(5), "Mai");
    }
}

TEST_F(LocaleTest, MalformedFilesAreRefusedWithTheirLine)
{
    const std::string good = ReadAll(DataFile());
    const struct {
        std::string text;
        std::string says;
    } cases[] = {
        {good + "[Farben]\n", "unbekannter Abschnitt „Farben“"},
        {good + "ohne Gleichheitszeichen\n", "erwartet wird „Schlüssel = Wert“"},
        {good + "[Monate\n", "nicht mit „]“ abgeschlossen"},
        {"1 = Januar\n" + good, "(Zeile 1): der Eintrag steht vor dem ersten Abschnitt"},
        {good + "[Wochentage]\n", "steht zweimal in der Datei"},
        {Without(good, "3 = März"), "der Name des 3. Monats fehlt"},
        {Without(good, "Cancel = Abbrechen"), "die Schaltfläche „Cancel“ fehlt"},
        {Without(good, "Zahl.Negativ = Negative Zahlen sind in diesem Feld nicht erlaubt."),
         "die Meldung „Zahl.Negativ“ fehlt"},
        {good + "[Groß/Klein]\n", "steht zweimal"},
        {good + "\xFF\xFE\n", "kein gültiger UTF-8-Text"},
        {"", "der Abschnitt „Monate“ fehlt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        std::string error;
        EXPECT_FALSE(LoadVariant(c.text, &error));
        EXPECT_NE(error.find("Die Sprachdatei"), std::string::npos) << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    EXPECT_EQ(LocaleUpper("ä"), "Ä");  // nothing of the refused files was taken over
}

TEST_F(LocaleTest, LineNumberPointsAtTheFault)
{
    std::string error;
    EXPECT_FALSE(LoadVariant("[Monate]\n\n# note\n13 = Undecember\n", &error));
    EXPECT_NE(error.find("(Zeile 4): erwartet wird eine Monatszahl von 1 bis 12."), std::string::npos) << error;
}

} // namespace
