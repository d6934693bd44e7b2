// CSV exchange: the lines of the three formats, round trips of shift types, working-time plan and
// flex plan through real files, the files refused before anything changes, shift types that keep
// their identity by short name, the file name rules and a failed export.
#include "worksheets/CSVFile.h"

#include "../plans/PlanTestSupport.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/values/Date.h"
#include "platform/values/Windows1252.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/Schichttypen.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace plantest;

namespace {

const int32_t kMonday = int32_t(DateFromParts(2024, 1, 1));

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

CFlexSchicht Flex(int32_t date, uint32_t from, uint32_t to, uint8_t art = ART_NORMAL)
{
    CFlexSchicht s;
    s.Clear();
    s.DATUM = date;
    s.ART = art;
    s.TERMIN = {from, to > from ? to : to + kDay};
    return s;
}

// Every entry as "date begin-end kind | breaks".
std::vector<std::string> Entries(const CFlexAZ& flex)
{
    std::vector<std::string> out;
    for (long n = 1; n <= flex.Count(); ++n) {
        const QFLEXAZ& e = *flex.Entry(n);
        std::string t = std::to_string(e.DATUM - kMonday) + " " + std::to_string(e.TERMIN.BEGINN) + "-" +
                        std::to_string(e.TERMIN.ENDE) + " " + std::to_string(e.ART) + " |";
        for (const PAUSE& p : e.PAUSEN)
            if (p.DAUER)
                t += " " + std::to_string(p.LAGE) + "+" + std::to_string(p.DAUER) + (p.BEZAHLT ? "b" : "");
        out.push_back(t);
    }
    return out;
}

// A transfer run as thread 1 of a scripted user, who answers questions with `answer`, picks
// `path` in the file dialog (empty: cancels it) and confirms every notice. The captions of all
// messages shown are kept.
class CSVFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = store.dir + "/";
        early = Add(types, Shift("F", 360, 840, {240, 30, 0}));
        late = Add(types, Shift("S", 840, 1320));
        night = Add(types, Shift("N", 1320, 360));
        azp.SetSchichttypen(&types, 0);
    }

    bool Run(const std::function<bool(CCSVFile&)>& transfer, const std::string& path, int answer = BUTTON_YES)
    {
        captions.clear();
        texts.clear();
        bool result = false;
        HeadlessDriver driver;
        CCSVFile csv;
        driver.Start([&] { result = transfer(csv); });
        for (int guard = 0; guard < 20; ++guard) {
            if (driver.HasMessage()) {
                const MessageRequest m = driver.Message();
                captions.push_back(m.caption);
                texts.push_back(m.text);
                driver.AnswerMessage((m.buttonBits & BUTTON_YES) ? answer : BUTTON_OK);
            } else if (driver.HasFileDialog()) {
                dialogTitle = driver.FileDialogRequest().title;
                if (path.empty())
                    driver.CancelFileDialog();
                else
                    driver.AnswerFileDialog(path);
            } else {
                break;
            }
        }
        driver.WaitEnd();
        chosen = csv.FILENAME;
        return result;
    }

    std::vector<std::string> AZPRows()
    {
        std::vector<std::string> out;
        for (uint32_t g = 1; g <= azp.CountGroups(); ++g) {
            std::string row;
            for (uint32_t d = 1; d <= azp.CountDays(); ++d) {
                const CSchicht* s = azp.GetCellSchicht(d, g);
                row += s ? s->KURZBEZEICHNUNG : ".";
            }
            out.push_back(row);
        }
        return out;
    }

    void PlanRows(const std::vector<std::string>& rows)
    {
        azp.SetBezugsrahmen(uint16_t(rows[0].size() / 7));
        azp.SetGroupCount(uint32_t(rows.size()));
        for (uint32_t g = 1; g <= rows.size(); ++g)
            for (uint32_t d = 1; d <= rows[g - 1].size(); ++d) {
                const char c = rows[g - 1][d - 1];
                azp.SetCell(d, g, c == 'F' ? early : c == 'S' ? late : c == 'N' ? night : 0);
            }
    }

    ProjectStore store;
    std::string dir;
    CSchichttypen types;
    CAZPData azp;
    CFlexAZ flex;
    uint32_t early = 0, late = 0, night = 0;
    std::vector<std::string> captions, texts;
    std::string dialogTitle, chosen;
};

// ---- lines -----------------------------------------------------------------------------------------

TEST_F(CSVFileTest, LinesAreWrittenAsTheFormatsSay)
{
    CSchicht frueh = Shift("F", 360, 840, {240, 30, 0});
    frueh.BEZEICHNUNG = "Früh";
    EXPECT_EQ(CCSVFile::SchichtLine(frueh), "normal,Früh,F,06:00,14:00,10:00,10:30,");

    // An end at midnight is its time of day, "00:00", and comes back on the next day; only a whole
    // day from midnight to midnight ends at "24:00", as "00:00" it would come back without length.
    struct MidnightCase {
        CSchicht shift;
        const char* line;
    };
    CSchicht spaet = Shift("S", 840, 1440);
    spaet.BEZEICHNUNG = "Spät";
    CSchicht nacht = Shift("N", 1320, 1800, {90, 30, 0});   // the break ends at midnight
    nacht.BEZEICHNUNG = "Nacht";
    CSchicht frei = Shift("X", 0, 1440, {}, ART_FREISCHICHT);
    frei.BEZEICHNUNG = "Frei";
    CSchicht ganz = Shift("G", 0, 1440, {1410, 30, 0});      // a whole day whose break ends with it
    ganz.BEZEICHNUNG = "Ganz";
    for (const MidnightCase& c : {MidnightCase{spaet, "normal,Spät,S,14:00,00:00,"},
                                  MidnightCase{nacht, "normal,Nacht,N,22:00,06:00,23:30,00:00,"},
                                  MidnightCase{frei, "Freischicht,Frei,X,00:00,24:00,"},
                                  MidnightCase{ganz, "normal,Ganz,G,00:00,24:00,23:30,24:00,"}}) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(CCSVFile::SchichtLine(c.shift), c.line);
        std::vector<CSchicht> back;
        ASSERT_FALSE(CCSVFile::ReadSchichttypen({c.line}, back));
        EXPECT_EQ(back[0].TERMIN, c.shift.TERMIN);
        EXPECT_EQ(back[0].PAUSEN, c.shift.PAUSEN);
    }
    // "24:00" written by earlier versions reads as before.
    std::vector<CSchicht> old;
    ASSERT_FALSE(CCSVFile::ReadSchichttypen({"normal,Spät,S,14:00,24:00,"}, old));
    EXPECT_EQ(old[0].TERMIN, (TERMIN{840, 1440}));

    PlanRows({"FF.SSNN"});
    EXPECT_EQ(CCSVFile::AZPLine(azp, 1), "F    ,F    ,,S    ,S    ,N    ,N    ,");

    CFlexSchicht e = Flex(kMonday + 2, 1320, 360, ART_BEREITSCHAFT);
    e.PAUSEN[1] = {240, 30, 1};   // packed: the second break is written first
    CFlexAZ one;
    one.Add(e);
    EXPECT_EQ(CCSVFile::FlexLine(*one.Entry(1)), "03.01.2024,22:00,06:00,3,02:00,02:30,");
    CFlexAZ late;
    late.Add(Flex(kMonday, 960, 1440));
    EXPECT_EQ(CCSVFile::FlexLine(*late.Entry(1)), "01.01.2024,16:00,00:00,1,");
}

TEST_F(CSVFileTest, FieldsSplitAtSemicolonsAndCommasAlike)
{
    const std::vector<std::string> expected = {"F", "", "S", "N"};
    for (const char* line : {"F,,S,N", "F;;S;N", "F;,S,N;", "F,;S;N,"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(CCSVFile::SplitFields(line), expected);
    }
}

TEST_F(CSVFileTest, ShiftTypeLinesTakeKindsNamesAndTimes)
{
    std::vector<CSchicht> read;
    ASSERT_FALSE(CCSVFile::ReadSchichttypen(
        {"normal,Früh,F,06:00,14:00,10:00,10:30,", "FREISCHICHT;Frei;X;00:00;00:00", "unbekannt,Nacht,N,22:00,06:00,02:00,02:30",
         "", "Rufbereitschaft,Ein sehr langer Name mit mehr als dreißig Zeichen,ABCDEFG,08:00,16:00"},
        read));
    ASSERT_EQ(read.size(), 5u);
    EXPECT_EQ(read[0].BEZEICHNUNG, "Früh");
    EXPECT_EQ(read[0].TERMIN, (TERMIN{360, 840}));
    EXPECT_EQ(read[0].PAUSEN[0], (PAUSE{240, 30, 0}));
    EXPECT_EQ(read[1].ART, ART_FREISCHICHT);
    EXPECT_EQ(read[2].ART, ART_FREISCHICHT) << "an unknown kind text keeps the kind of the line before";
    EXPECT_EQ(read[2].TERMIN, (TERMIN{1320, 1800}));
    EXPECT_EQ(read[2].PAUSEN[0], (PAUSE{240, 30, 0}));
    EXPECT_EQ(read[3].BEZEICHNUNG, "") << "an empty line is a shift type with empty names at midnight";
    EXPECT_EQ(read[3].TERMIN.BEGINN, 0u);
    EXPECT_EQ(read[4].ART, ART_RUFBEREITSCHAFT);
    EXPECT_EQ(read[4].BEZEICHNUNG, "Ein sehr langer Name mit mehr ");
    EXPECT_EQ(read[4].KURZBEZEICHNUNG, "ABCDE");
}

TEST_F(CSVFileTest, FlexLinesClampTheKindAndPutAnEndAfterMidnightOnTheNextDay)
{
    struct Case {
        const char* kind;
        uint8_t art;
    };
    for (const Case& c : {Case{"0", 1}, Case{"", 1}, Case{"2", 2}, Case{"200", 4}, Case{"256", 1}, Case{"x", 1}}) {
        SCOPED_TRACE(c.kind);
        CFlexAZ out;
        ASSERT_FALSE(CCSVFile::ReadFlexAZ({std::string("03.01.2024;22:00;06:00;") + c.kind + ";02:00;02:30"}, out));
        ASSERT_EQ(out.Count(), 1);
        EXPECT_EQ(out.Entry(1)->ART, c.art);
        EXPECT_EQ(out.Entry(1)->TERMIN, (TERMIN{1320, 1800}));
        EXPECT_EQ(out.Entry(1)->PAUSEN[0], (PAUSE{240, 30, 0}));
    }
}

struct AZPCase {
    const char* name;
    std::vector<std::string> lines;
    int weeks;                       // 0: refused
    std::vector<std::string> rows;
};

TEST_F(CSVFileTest, ThePlansWeeksComeFromItsFirstLine)
{
    const std::vector<AZPCase> cases = {
        {"eine Woche mit abschließendem Trenner", {"F    ,F    ,,S    ,S    ,N    ,N    ,"}, 1, {"FF.SSNN"}},
        {"14 Felder ohne abschließenden Trenner", {"F,F,F,F,F,F,F,S,S,S,S,S,S,S"}, 2, {"FFFFFFFSSSSSSS"}},
        {"Semikolon und Komma gemischt", {"F;f,;S;s,N;n,"}, 1, {"FF.SSNN"}},
        {"unbekannte Kurzbezeichnung bleibt leer", {"F,Q,F,Q,F,Q,F,"}, 1, {"F.F.F.F"}},
        {"leere Folgezeile ist eine leere Gruppe", {"F,F,F,F,F,F,F,", "", "N,,,,,,,"}, 1, {"FFFFFFF", ".......", "N......"}},
        {"Felder über den Plan hinaus zählen nicht", {",,,,,,,", "F,F,F,F,F,F,F,S,S,"}, 1, {".......", "FFFFFFF"}},
        {"12 Felder", {"F,F,F,F,F,F,F,S,S,S,S,S"}, 0, {}},
        {"leere erste Zeile", {"", "F,F,F,F,F,F,F,"}, 0, {}},
        {"mehr als 84 Tage", {std::string(91, ',')}, 0, {}},
        {"leere Datei", {}, 0, {}},
    };
    for (const AZPCase& c : cases) {
        SCOPED_TRACE(c.name);
        uint16_t weeks = 0;
        std::vector<std::vector<uint32_t>> groups;
        const auto fault = CCSVFile::ReadAZP(c.lines, types, weeks, groups);
        if (c.weeks == 0) {
            EXPECT_TRUE(fault.has_value());
            continue;
        }
        ASSERT_FALSE(fault.has_value()) << fault->TEXT;
        EXPECT_EQ(weeks, c.weeks);
        std::vector<std::string> rows;
        for (const auto& g : groups) {
            std::string row;
            for (uint32_t id : g)
                row += id == early ? "F" : id == late ? "S" : id == night ? "N" : id == 0 ? "." : "?";
            rows.push_back(row);
        }
        EXPECT_EQ(rows, c.rows);
    }
}

// ---- files -------------------------------------------------------------------------------------------

TEST_F(CSVFileTest, AllThreePartsComeBackFromTheirFiles)
{
    // Shift types.
    const std::string typesFile = dir + "typen.csv";
    types.GetByIndex(1)->BEZEICHNUNG = "Früh";
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ExportSchichttypen(types); }, typesFile));
    EXPECT_EQ(dialogTitle, "Schichttypen exportieren");
    const std::string bytes = Bytes(typesFile);
    EXPECT_NE(bytes.find("normal,Fr\xFCh,F,06:00,14:00,10:00,10:30,\r\n"), std::string::npos)
        << "Windows-1252 with CR LF";
    CSchichttypen back;
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ImportSchichttypen(back); }, typesFile));
    EXPECT_TRUE(captions.empty()) << "an empty list asks nothing";
    ASSERT_EQ(back.Count(), types.Count());
    for (long n = 1; n <= types.Count(); ++n) {
        EXPECT_EQ(back.GetByIndex(n)->BEZEICHNUNG, types.GetByIndex(n)->BEZEICHNUNG);
        EXPECT_EQ(back.GetByIndex(n)->TERMIN, types.GetByIndex(n)->TERMIN);
        EXPECT_EQ(back.GetByIndex(n)->PAUSEN, types.GetByIndex(n)->PAUSEN);
        EXPECT_NE(back.GetByIndex(n)->SYSID, 0u);
    }

    // Working-time plan: two weeks, three groups.
    const std::string planFile = dir + "plan.csv";
    PlanRows({"FF.SSNNFFFFFFF", "..............", "NNNNNNN.S.S.S."});
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ExportAZP(azp); }, planFile));
    const std::vector<std::string> rows = AZPRows();
    CAZPData plan;
    plan.SetSchichttypen(&types, 0);
    plan.SetBezugsrahmen(1);
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ImportAZP(plan); }, planFile));
    EXPECT_EQ(plan.CountDays(), 14);
    azp.DeleteAllGroups();
    azp.SetBezugsrahmen(2);
    azp.SetGroupCount(plan.CountGroups());
    for (uint32_t g = 1; g <= plan.CountGroups(); ++g)
        for (uint32_t d = 1; d <= 14; ++d)
            azp.SetCell(d, g, plan.GetCell(d, g));
    EXPECT_EQ(AZPRows(), rows);

    // Flex plan.
    const std::string flexFile = dir + "flex.csv";
    CFlexSchicht a = Flex(kMonday + 1, 1320, 360);
    a.PAUSEN[0] = {240, 30, 0};
    a.PAUSEN[1] = {300, 15, 0};
    flex.Add(a);
    flex.Add(Flex(kMonday, 480, 960, ART_FREISCHICHT));
    flex.Add(Flex(kMonday + 40, 0, 1440, ART_RUFBEREITSCHAFT));
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ExportFlexAZ(flex); }, flexFile));
    CFlexAZ flexBack;
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ImportFlexAZ(flexBack); }, flexFile));
    EXPECT_EQ(Entries(flexBack), Entries(flex));
}

TEST_F(CSVFileTest, TheFileIsReadAsUtf8OrWindows1252WithEitherLineEnd)
{
    for (const std::string& bytes : {std::string("normal,Fr\xFCh,F,06:00,14:00\r\nnormal,Sp\xE4t,S,14:00,22:00\r\n"),
                                     std::string("normal,Früh,F,06:00,14:00\nnormal,Spät,S,14:00,22:00\n"),
                                     std::string("\xEF\xBB\xBFnormal,Früh,F,06:00,14:00\r\nnormal,Spät,S,14:00,22:00")}) {
        Write(dir + "in.csv", bytes);
        CSchichttypen read;
        ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ImportSchichttypen(read); }, dir + "in.csv"));
        ASSERT_EQ(read.Count(), 2);
        EXPECT_EQ(read.GetByIndex(1)->BEZEICHNUNG, "Früh");
        EXPECT_EQ(read.GetByIndex(2)->BEZEICHNUNG, "Spät");
    }
}

struct RefusedCase {
    const char* name;
    int part;            // 1 shift types, 2 working-time plan, 3 flex plan
    std::string bytes;   // empty with missing: no file at all
    bool missing;
    const char* caption;
    long line = 0;       // the line the message names (0: none checked)
};

// `count` copies of `line`, each ended by CR LF.
std::string Repeated(const std::string& line, size_t count)
{
    std::string out;
    out.reserve((line.size() + 2) * count);
    for (size_t n = 0; n < count; ++n)
        out += line + "\r\n";
    return out;
}

std::string Utf16LE(const std::string& ascii, bool bom)
{
    std::string out = bom ? "\xFF\xFE" : "";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST_F(CSVFileTest, ARefusedFileChangesNothingAndIsToldOnce)
{
    std::string binary;
    for (int n = 0; n < 600; ++n)
        binary += char((n * 131 + 7) % 256);
    const std::vector<RefusedCase> cases = {
        {"Flex: Datum fehlt", 3, "01.01.2024,08:00,16:00,1,\r\n,09:00,17:00,1,\r\n", false, "Dateiformat nicht kompatibel ", 2},
        {"Flex: Datum unlesbar", 3, "31.02.2024,08:00,16:00,1,\r\n", false, "Dateiformat nicht kompatibel ", 1},
        {"Flex: Zeit unlesbar", 3, "01.01.2024,acht,16:00,1,\r\n", false, "Dateiformat nicht kompatibel ", 1},
        {"Flex: nur Leerzeilen", 3, "\r\n\r\n", false, "Dateiformat nicht kompatibel "},
        {"Flex: Datei fehlt", 3, "", true, "Fehler beim Import"},
        {"Flex: mehr als 100000 Zeilen", 3, Repeated("01.01.2024,08:00,16:00,1,", 100001), false,
         "Dateiformat nicht kompatibel ", 100001},
        {"Flex: Tabulator im Feld", 3, "01.01.2024,08:00,16:00,1,\r\n02.01.2024,\t08:00,16:00,1,\r\n", false,
         "Dateiformat nicht kompatibel ", 2},
        {"AZP: 12 Felder", 2, "F,F,F,F,F,F,F,S,S,S,S,S\r\n", false, "Dateiformat nicht kompatibel ", 1},
        {"AZP: mehr als 84 Tage", 2, std::string(98, ',') + "\r\n", false, "Dateiformat nicht kompatibel ", 1},
        {"AZP: leere Datei", 2, "", false, "Dateiformat nicht kompatibel "},
        {"AZP: UTF-16 mit BOM", 2, Utf16LE("F,F,F,F,F,F,F,\r\nS,S,S,S,S,S,S,\r\n", true), false,
         "Dateiformat nicht kompatibel "},
        {"AZP: UTF-16 ohne BOM", 2, Utf16LE("F,F,F,F,F,F,F,\r\n", false), false, "Dateiformat nicht kompatibel ", 1},
        {"AZP: 70000 Gruppen", 2, Repeated("F,S,N,,F,S,N,", 70000), false, "Dateiformat nicht kompatibel ", 65536},
        {"AZP: Zeile über 4096 Zeichen", 2, "F,F,F,F,F,F,F," + std::string(5000, ' ') + "\r\n", false,
         "Dateiformat nicht kompatibel ", 1},
        {"AZP: binäre Datei in einer Zeile", 2, binary, false, "Dateiformat nicht kompatibel ", 1},
        {"AZP: ein Ordner", 2, "", true, "Fehler beim Import"},
        {"Schichttypen: Pause unlesbar", 1, "normal,Früh,F,06:00,14:00,zehn,10:30\r\n", false,
         "Dateiformat nicht kompatibel ", 1},
        {"Schichttypen: Datei fehlt", 1, "", true, "Fehler beim Import"},
        {"Schichttypen: Nullzeichen im Namen", 1,
         std::string("normal,Früh,F,06:00,14:00,\r\nnormal,Sp\0t,S,14:00,22:00,\r\n", 53), false,
         "Dateiformat nicht kompatibel ", 2},
        {"Schichttypen: Steuerzeichen im Namen", 1, "normal,Fr\x01h,F,06:00,14:00,\r\n", false,
         "Dateiformat nicht kompatibel ", 1},
        {"Schichttypen: C1-Steuerzeichen (Windows-1252 undefiniert)", 1, "normal,Fr\x81h,F,06:00,14:00,\r\n", false,
         "Dateiformat nicht kompatibel ", 1},
        {"Schichttypen: binäre Datei in einer Zeile", 1, binary, false, "Dateiformat nicht kompatibel ", 1},
        {"Schichttypen: 70000 Zeilen", 1, Repeated("normal,Früh,F,06:00,14:00,", 70000), false,
         "Dateiformat nicht kompatibel ", 1001},
    };
    PlanRows({"FS.NNNN"});
    flex.Add(Flex(kMonday, 480, 960));
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "bad.csv";
        std::filesystem::remove_all(path);
        if (!c.missing)
            Write(path, c.bytes);
        else if (std::string(c.name).find("Ordner") != std::string::npos)
            std::filesystem::create_directory(path);
        const auto planBefore = AZPRows();
        const auto flexBefore = Entries(flex);
        const long typesBefore = types.Count();
        bool result = true;
        if (c.part == 1)
            result = Run([&](CCSVFile& f) { return f.ImportSchichttypen(types); }, path);
        else if (c.part == 2)
            result = Run([&](CCSVFile& f) { return f.ImportAZP(azp); }, path);
        else
            result = Run([&](CCSVFile& f) { return f.ImportFlexAZ(flex); }, path);
        EXPECT_FALSE(result);
        // The question first, then the one message.
        ASSERT_EQ(captions.size(), 2u);
        EXPECT_EQ(captions[1], c.caption);
        if (c.line > 0)
            EXPECT_NE(texts[1].find("Zeile " + std::to_string(c.line) + ":"), std::string::npos) << texts[1];
        EXPECT_EQ(AZPRows(), planBefore);
        EXPECT_EQ(azp.CountDays(), 7u);
        EXPECT_EQ(Entries(flex), flexBefore);
        EXPECT_EQ(types.Count(), typesBefore);
        EXPECT_EQ(azp.GetSchichttypen()->FindBySysId(early), types.GetByIndex(1));
    }
    std::filesystem::remove_all(dir + "bad.csv");
}

// A named pipe, a folder or a device is refused at once: the import neither waits for a writer
// nor reads a stream without end. The import runs on a thread of its own; a pipe still blocking
// it after the time limit is released by opening its other end, and the case fails.
TEST_F(CSVFileTest, WhatIsNoRegularFileIsRefusedAtOnce)
{
    const std::string pipe = dir + "plan.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_directory(dir + "ordner.csv");
    PlanRows({"FS.NNNN"});
    const auto planBefore = AZPRows();
    for (const std::string& path : {pipe, dir + "ordner.csv", std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        std::promise<bool> done;
        std::future<bool> result = done.get_future();
        std::thread user([&] { done.set_value(Run([&](CCSVFile& f) { return f.ImportAZP(azp); }, path)); });
        const bool inTime = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!inTime) {
            const int release = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
            if (release >= 0)
                ::close(release);
        }
        user.join();
        EXPECT_TRUE(inTime) << "the import waited";
        EXPECT_FALSE(result.get());
        ASSERT_EQ(captions.size(), 2u);
        EXPECT_EQ(captions[1], "Fehler beim Import");
        EXPECT_NE(texts[1].find("Die Importdatei wurde nicht eingelesen."), std::string::npos);
        EXPECT_EQ(AZPRows(), planBefore);
    }
}

TEST_F(CSVFileTest, ImportedShiftTypesKeepTheIdentityOfTheirShortName)
{
    Write(dir + "typen.csv", "normal,Früh neu,f,05:00,13:00,\r\nnormal,Zwischen,Z,10:00,18:00,\r\n"
                             "normal,Noch ein F,F,07:00,15:00,\r\n");
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ImportSchichttypen(types); }, dir + "typen.csv"));
    EXPECT_EQ(captions, std::vector<std::string>{"bestehende Schichttypen werden überschrieben"});
    ASSERT_EQ(types.Count(), 3);
    const CSchicht* f = types.FindBySysId(early);
    ASSERT_NE(f, nullptr) << "cells and demand rows of F still find their shift type";
    EXPECT_EQ(f->BEZEICHNUNG, "Früh neu");
    EXPECT_EQ(f->TERMIN, (TERMIN{300, 780}));
    EXPECT_EQ(types.FindBySysId(late), nullptr) << "S is no longer in the file";
    uint32_t others = 0;
    for (long n = 1; n <= types.Count(); ++n)
        if (types.GetByIndex(n)->SYSID != early)
            others += types.GetByIndex(n)->SYSID != 0 && types.GetByIndex(n)->SYSID != late;
    EXPECT_EQ(others, 2u) << "the new name and the second F get new ids";
}

TEST_F(CSVFileTest, QuestionsAndTheFileDialogCanStopAnImport)
{
    flex.Add(Flex(kMonday, 480, 960));
    Write(dir + "flex.csv", "02.01.2024,06:00,14:00,1,\r\n");
    // "Nein" to the question; then "Ja" and a cancelled file dialog.
    EXPECT_FALSE(Run([&](CCSVFile& c) { return c.ImportFlexAZ(flex); }, dir + "flex.csv", BUTTON_NO));
    EXPECT_FALSE(Run([&](CCSVFile& c) { return c.ImportFlexAZ(flex); }, ""));
    EXPECT_EQ(Entries(flex), std::vector<std::string>{"0 480-960 1 |"});
    // A name without ".csv" gets it; ".CSV" in any case is kept.
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ExportFlexAZ(flex); }, dir + "plan.txt"));
    EXPECT_EQ(chosen, dir + "plan.txt.csv");
    EXPECT_TRUE(std::filesystem::exists(dir + "plan.txt.csv"));
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ExportFlexAZ(flex); }, dir + "Plan.CSV"));
    EXPECT_EQ(chosen, dir + "Plan.CSV");
    EXPECT_EQ(dialogTitle, "Arbeitszeitplan exportieren");
}

TEST_F(CSVFileTest, EmptyPartsAreNotExportedAndAFailedExportLeavesNoFile)
{
    CSchichttypen none;
    CFlexAZ empty;
    CAZPData noGroups;
    EXPECT_FALSE(Run([&](CCSVFile& c) { return c.ExportSchichttypen(none); }, dir + "x.csv"));
    EXPECT_FALSE(Run([&](CCSVFile& c) { return c.ExportAZP(noGroups); }, dir + "x.csv"));
    EXPECT_FALSE(Run([&](CCSVFile& c) { return c.ExportFlexAZ(empty); }, dir + "x.csv"));
    EXPECT_EQ(captions, std::vector<std::string>{"Exportdatei wurde nicht erstellt"});
    EXPECT_FALSE(std::filesystem::exists(dir + "x.csv"));

    flex.Add(Flex(kMonday, 480, 960));
    EXPECT_FALSE(Run([&](CCSVFile& c) { return c.ExportFlexAZ(flex); }, dir + "fehlt/x.csv"));
    EXPECT_EQ(captions, std::vector<std::string>{"Fehler beim Export"});
    // A target that cannot be replaced: the temporary file goes again.
    std::filesystem::create_directories(dir + "ordner.csv/inhalt");
    EXPECT_FALSE(Run([&](CCSVFile& c) { return c.ExportFlexAZ(flex); }, dir + "ordner.csv"));
    EXPECT_EQ(captions, std::vector<std::string>{"Fehler beim Export"});
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        files += entry.is_regular_file() && entry.path().filename().string().find("ordner") != std::string::npos;
    EXPECT_EQ(files, 0u);
    // An export over an existing file replaces it whole.
    Write(dir + "alt.csv", std::string(10000, 'x'));
    ASSERT_TRUE(Run([&](CCSVFile& c) { return c.ExportFlexAZ(flex); }, dir + "alt.csv"));
    EXPECT_EQ(Bytes(dir + "alt.csv"), "01.01.2024,08:00,16:00,1,\r\n");
}

// ---- what an export writes comes back, or the export is refused -----------------------------------

// A name as the refusal shows it: control characters as spaces.
std::string ShownName(std::string name)
{
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return name;
}

struct NameCase {
    const char* name;
    std::string bezeichnung, kurz;
    const char* typesRefused;   // the character the shift-type export names; nullptr: it reads back
    const char* planRefused;    // the same for the working-time plan, whose file holds short names
    bool utf8;                  // the file is written in UTF-8 (else in Windows-1252)
};

TEST_F(CSVFileTest, NamesComeBackFromTheirFilesOrTheExportIsRefused)
{
    const std::vector<NameCase> cases = {
        {"Komma in der Bezeichnung", "Frühdienst, kurz", "FK", "\",\" (Komma)", nullptr, false},
        {"Semikolon in der Bezeichnung", "Spät; lang", "SL", "\";\" (Semikolon)", nullptr, false},
        {"Komma in der Kurzbezeichnung", "Spät 1", "S,1", "\",\" (Komma)", "\",\" (Komma)", false},
        {"Semikolon in der Kurzbezeichnung", "Spät 2", "S;2", "\";\" (Semikolon)", "\";\" (Semikolon)", false},
        {"Tabulator in der Bezeichnung", "Früh\tspät", "FS", "Tabulator", nullptr, false},
        {"Steuerzeichen in der Kurzbezeichnung", "Früh", "F\x01", "Steuerzeichen", "Steuerzeichen", false},
        {"Anführungszeichen", "Früh \"lang\"", "\"F\"", nullptr, nullptr, false},
        {"Umlaute", "Frühdienst Süd", "Ä", nullptr, nullptr, false},
        {"Eurozeichen", "Zulage 5 €", "€", nullptr, nullptr, false},
        {"Leerzeichen vorn", " Früh", " f", nullptr, nullptr, false},
        // Their Windows-1252 bytes would read as UTF-8: "Ã¼" as "ü", a leading "ï»¿" as the mark.
        {"Windows-1252, das als UTF-8 gelesen würde", "Ã¼berstunden", "Ã¼", nullptr, nullptr, true},
        {"Bytefolgenmarke als Kurzbezeichnung", "Marke", "ï»¿", nullptr, nullptr, true},
        {"Zeichen, die Windows-1252 nicht hat", "Łódź → Kraków", "Ł", nullptr, nullptr, true},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        CSchichttypen list;
        list.CopyFrom(types);
        CSchicht odd = Shift(c.kurz, 300, 780);
        odd.BEZEICHNUNG = c.bezeichnung;
        const uint32_t oddId = Add(list, odd);
        CAZPData plan;
        plan.SetSchichttypen(&list, 0);
        plan.SetBezugsrahmen(1);
        plan.SetGroupCount(2);
        const uint32_t row1[7] = {oddId, early, 0, late, oddId, night, 0};
        for (uint32_t d = 1; d <= 7; ++d) {
            plan.SetCell(d, 1, row1[d - 1]);
            plan.SetCell(d, 2, row1[7 - d]);
        }

        // A refusal names the shift type and the character, and leaves no file.
        const auto refused = [&](const char* what, const std::string& file) {
            ASSERT_EQ(captions, std::vector<std::string>{"Exportdatei wurde nicht erstellt"});
            EXPECT_NE(texts[0].find("\"" + ShownName(c.bezeichnung) + "\""), std::string::npos) << texts[0];
            EXPECT_NE(texts[0].find(what), std::string::npos) << texts[0];
            EXPECT_FALSE(std::filesystem::exists(file));
        };
        const auto encoding = [&](const std::string& file) {
            const std::string bytes = Bytes(file);
            EXPECT_EQ(bytes.starts_with("\xEF\xBB\xBF"), c.utf8);
            if (!c.utf8) {
                EXPECT_NE(bytes.find(Utf8ToCp1252(c.kurz)), std::string::npos) << "Windows-1252";
            }
        };

        const std::string typesFile = dir + "typen-" + std::to_string(&c - cases.data()) + ".csv";
        const bool typesWritten = Run([&](CCSVFile& f) { return f.ExportSchichttypen(list); }, typesFile);
        EXPECT_EQ(typesWritten, c.typesRefused == nullptr);
        if (!typesWritten) {
            refused(c.typesRefused, typesFile);
        } else {
            encoding(typesFile);
            CSchichttypen back;
            ASSERT_TRUE(Run([&](CCSVFile& f) { return f.ImportSchichttypen(back); }, typesFile));
            ASSERT_EQ(back.Count(), list.Count());
            for (long n = 1; n <= list.Count(); ++n) {
                EXPECT_EQ(back.GetByIndex(n)->BEZEICHNUNG, list.GetByIndex(n)->BEZEICHNUNG);
                EXPECT_EQ(back.GetByIndex(n)->KURZBEZEICHNUNG, list.GetByIndex(n)->KURZBEZEICHNUNG);
                EXPECT_EQ(back.GetByIndex(n)->TERMIN, list.GetByIndex(n)->TERMIN);
            }
        }

        const std::string planFile = dir + "plan-" + std::to_string(&c - cases.data()) + ".csv";
        const bool planWritten = Run([&](CCSVFile& f) { return f.ExportAZP(plan); }, planFile);
        EXPECT_EQ(planWritten, c.planRefused == nullptr);
        if (!planWritten) {
            refused(c.planRefused, planFile);
        } else {
            encoding(planFile);
            CAZPData back;
            back.SetSchichttypen(&list, 0);
            ASSERT_TRUE(Run([&](CCSVFile& f) { return f.ImportAZP(back); }, planFile));
            ASSERT_EQ(back.CountGroups(), 2u);
            ASSERT_EQ(back.CountDays(), 7u);
            for (uint32_t g = 1; g <= 2; ++g)
                for (uint32_t d = 1; d <= 7; ++d)
                    EXPECT_EQ(back.GetCell(d, g), plan.GetCell(d, g)) << "day " << d << ", group " << g;
        }
    }
}

// The plan's file names a day's shift type by its short name only: a short name that would find
// another shift type (or none) when the file is read back refuses the export.
TEST_F(CSVFileTest, APlansShortNamesMustFindTheirShiftTypesAgain)
{
    struct Case {
        const char* name;
        std::string kurz;
        uint32_t begin;     // by its begin the type stands before or after F (06:00) in the list
        bool withEarly;     // F is in the plan too
        const char* refused;   // a piece of the message; nullptr: written and read back
    };
    const std::vector<Case> cases = {
        {"dieselbe Kurzbezeichnung in anderer Schreibung", "f", 400, false, "dieselbe Kurzbezeichnung \"f\""},
        {"dieselbe Kurzbezeichnung, beide im Plan", "F", 300, true, "dieselbe Kurzbezeichnung \"F\""},
        {"dieselbe Kurzbezeichnung, nur die erste im Plan", "F", 300, false, nullptr},
        {"keine Kurzbezeichnung", "", 400, false, "keine Kurzbezeichnung"},
        {"nur Leerzeichen", "   ", 400, false, "keine Kurzbezeichnung"},
        {"länger als fünf Zeichen", "Früh12", 400, false, "länger als 5 Zeichen"},
        {"fünf Zeichen mit Umlaut", "Früh1", 400, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSchichttypen list;
        list.CopyFrom(types);
        CSchicht odd = Shift(c.kurz, c.begin, 900);
        odd.BEZEICHNUNG = "Sonder";
        const uint32_t oddId = Add(list, odd);
        CAZPData plan;
        plan.SetSchichttypen(&list, 0);
        plan.SetBezugsrahmen(1);
        plan.SetGroupCount(1);
        plan.SetCell(2, 1, oddId);
        plan.SetCell(4, 1, c.withEarly ? early : late);
        const std::string file = dir + "plan.csv";
        std::filesystem::remove(file);
        const bool written = Run([&](CCSVFile& f) { return f.ExportAZP(plan); }, file);
        EXPECT_EQ(written, c.refused == nullptr);
        if (!written) {
            ASSERT_EQ(captions, std::vector<std::string>{"Exportdatei wurde nicht erstellt"});
            EXPECT_NE(texts[0].find(c.refused), std::string::npos) << texts[0];
            EXPECT_NE(texts[0].find("\"Sonder\""), std::string::npos) << texts[0];
            EXPECT_FALSE(std::filesystem::exists(file));
            continue;
        }
        CAZPData back;
        back.SetSchichttypen(&list, 0);
        ASSERT_TRUE(Run([&](CCSVFile& f) { return f.ImportAZP(back); }, file));
        for (uint32_t d = 1; d <= 7; ++d)
            EXPECT_EQ(back.GetCell(d, 1), plan.GetCell(d, 1)) << "day " << d;
    }
}

// Times are written as times of day: those that would read back as others refuse the export too.
TEST_F(CSVFileTest, TimesThatWouldComeBackAsOthersRefuseTheExport)
{
    // A whole day from 00:43 (its duration set in the dialog) would come back without length.
    CSchicht day = Shift("T", 43, 43);
    day.BEZEICHNUNG = "Tag";
    ASSERT_EQ(day.TERMIN, (TERMIN{43, 43 + kDay}));
    CSchichttypen list;
    list.CopyFrom(types);
    Add(list, day);
    EXPECT_FALSE(Run([&](CCSVFile& f) { return f.ExportSchichttypen(list); }, dir + "typen.csv"));
    ASSERT_EQ(captions, std::vector<std::string>{"Exportdatei wurde nicht erstellt"});
    EXPECT_NE(texts[0].find("Der Schichttyp \"Tag\""), std::string::npos) << texts[0];
    EXPECT_FALSE(std::filesystem::exists(dir + "typen.csv"));
    // From midnight it is written "24:00" and comes back.
    Add(types, Shift("G", 0, 0));
    EXPECT_TRUE(Run([&](CCSVFile& f) { return f.ExportSchichttypen(types); }, dir + "typen.csv"));

    // A break that ends before its start (as a damaged file gives one) has no times of day.
    CFlexSchicht broken = Flex(kMonday + 1, 1320, 360);
    broken.PAUSEN[0] = {300, 65476, 0};
    flex.Add(Flex(kMonday, 480, 960));
    flex.Add(broken);
    EXPECT_FALSE(Run([&](CCSVFile& f) { return f.ExportFlexAZ(flex); }, dir + "flex.csv"));
    ASSERT_EQ(captions, std::vector<std::string>{"Exportdatei wurde nicht erstellt"});
    EXPECT_NE(texts[0].find("Der Eintrag vom 02.01.2024 (22:00 bis 06:00)"), std::string::npos) << texts[0];
    EXPECT_FALSE(std::filesystem::exists(dir + "flex.csv"));
}

// Exports killed with SIGKILL in the middle of writing (each child stops itself at its first
// write past 1 MB, so the kill always finds it mid-way) leave their temporary files; the next
// export to that target removes them, and only them: each killed export already removed the one
// before it, and the completed one removes the last.
TEST_F(CSVFileTest, WhatKilledExportsLeftGoesWithTheNextExport)
{
    const std::string target = dir + "plan.csv";
    Write(target, "alt,\r\n");
    const std::vector<std::string> large(20000, std::string(200, 'F') + ",");   // about 4 MB
    for (int n = 0; n < 3; ++n) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::alarm(120);   // a child that cannot go on ends by itself
            struct sigaction stop {};
            stop.sa_handler = [](int) { ::kill(::getpid(), SIGSTOP); };
            ::sigaction(SIGXFSZ, &stop, nullptr);
            const rlimit limit{rlim_t(1) << 20, rlim_t(1) << 20};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::string error;
            CCSVFile::WriteLines(target, large, error);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
        ASSERT_TRUE(WIFSTOPPED(status)) << "the export ended before its kill";
        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    }
    const auto hidden = [&] {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(".") && name.find(".csv.") != std::string::npos)
                names.insert(name);
        }
        return names;
    };
    ASSERT_EQ(hidden().size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(dir + *hidden().begin()), uintmax_t(1) << 20);
    EXPECT_EQ(Bytes(target), "alt,\r\n") << "the target is the old file";

    // Not leftovers of this target: one a live export still holds, one of the user's, one of
    // another target, and an empty one that may not be locked yet. An empty one of an hour ago is.
    Write(dir + ".plan.csv.Lebt01", "F    ,\r\n");
    const int live = ::open((dir + ".plan.csv.Lebt01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
    Write(dir + ".plan.csv.backup", "Notizen zum Plan\n");
    Write(dir + ".andere.csv.AbCd12", "F    ,\r\n");
    Write(dir + ".plan.csv.Leer01", "");
    Write(dir + ".plan.csv.Leer02", "");
    const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir + ".plan.csv.Leer02").c_str(), hourAgo, 0), 0);

    PlanRows({"FF.SSNN"});
    ASSERT_TRUE(Run([&](CCSVFile& f) { return f.ExportAZP(azp); }, target));
    EXPECT_EQ(Bytes(target), "F    ,F    ,,S    ,S    ,N    ,N    ,\r\n");
    EXPECT_EQ(hidden(), (std::set<std::string>{".andere.csv.AbCd12", ".plan.csv.Leer01", ".plan.csv.Lebt01",
                                               ".plan.csv.backup"}));
    ::close(live);
}

} // namespace
