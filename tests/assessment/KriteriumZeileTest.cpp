// A criterion row of the definitions dialog in a small window of two rows: its check box and
// relevance choice bound to the KRI buffer, the stored name, the editable name and type of the
// defaults editor and the rule that switches the relevance choice with the check box.
#include "assessment/KriteriumZeile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/Files.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"

namespace {

// Row 1 (controls 1-5) has a relevance choice, row 2 (6-9) has none; 10 is OK. Controls created
// by the rows are numbered from 11 on.
constexpr int kRow1 = 1, kRow2 = 6, kOk = 10, kFirstCreated = 11;

class RowWindow : public FwWindow {
public:
    RowWindow(int n1, int n2, uint8_t mode, CKriteriumZeile& row1, CKriteriumZeile& row2)
        : FwWindow(), n1_(n1), n2_(n2), mode_(mode), row1_(row1), row2_(row2) {}

    int Setup() override
    {
        FwWindow::Setup();
        WindowDesc d;
        d.title = "Kriterien";
        d.Add(Ctl::Group().Name("?KRITERIUM1").At(0, 0, 300, 20))
            .Add(Ctl::Check("Text aus dem Fenster").Name("?KR1_AKTIVIERT").At(10, 20, 150, 10))
            .Add(Ctl::Prompt("unwichtig").At(10, 32))
            .Add(Ctl::Prompt("sehr wichtig").At(200, 32))
            .Add(Ctl::Option({}).Name("?KR1_RELEVANZ").At(40, 30, 200, 16))
            .Add(Ctl::Group().Name("?KRITERIUM2").At(0, 60, 300, 20))
            .Add(Ctl::Check("Zweite Zeile").Name("?KR2_AKTIVIERT").At(10, 70, 150, 10))
            .Add(Ctl::Prompt("unwichtig").At(10, 82))
            .Add(Ctl::Prompt("sehr wichtig").At(200, 82))
            .Add(Ctl::Button("OK").Name("?OK"));
        CreateWindow(d);
        SetOkControl(kOk);
        OpenWindow();
        row1_.Init(kRow1, n1_, mode_);
        row2_.Init(kRow2, n2_, mode_);
        AddComponent(row1_);
        AddComponent(row2_);
        Refresh(true);
        return LEVEL_BENIGN;
    }

private:
    int n1_, n2_;
    uint8_t mode_;
    CKriteriumZeile& row1_;
    CKriteriumZeile& row2_;
};

void SetCriterion(int n, int typ, int aktiviert, int relevanz, const std::string& name)
{
    KRI.SetInt("TYP", typ, n);
    KRI.SetInt("AKTIVIERT", aktiviert, n);
    KRI.SetInt("RELEVANZ", relevanz, n);
    KRI.SetString("BEZEICHNUNG", name, n);
}

class KriteriumZeileTest : public ::testing::Test {
protected:
    void SetUp() override { KRI.Clear(); }
    void TearDown() override { KRI.Clear(); }

    // A fresh window (and driver) for each run, so a table of cases can open one per case.
    void Open(int n1, int n2, uint8_t mode = 0)
    {
        row1 = CKriteriumZeile{};
        row2 = CKriteriumZeile{};
        driver = std::make_unique<HeadlessDriver>();
        driver->Start([this, n1, n2, mode] {
            RowWindow window(n1, n2, mode, row1, row2);
            window.RunWindow();
        });
        w = driver->Window("Kriterien");
    }
    void Close()
    {
        driver->Press(w, kOk);
        driver->WaitEnd();
        driver.reset();
    }
    bool Disabled(int control) { return driver->Disabled(w, control); }
    PropValue Property(int control, Prop p) { return driver->Property(w, control, p); }

    CKriteriumZeile row1, row2;
    std::unique_ptr<HeadlessDriver> driver;
    int w = 0;
};

TEST_F(KriteriumZeileTest, CheckBoxAndRelevanceAreBoundToTheCriterionsElement)
{
    SetCriterion(3, 1, 1, 2, "");
    SetCriterion(7, 3, 0, 0, "");
    Open(3, 7);
    EXPECT_EQ(row1.CHECKFEQ, kRow1 + 1);
    EXPECT_EQ(row1.OPTIONFEQ, kRow1 + 4);
    EXPECT_EQ(row2.OPTIONFEQ, 0);   // display criterion
    EXPECT_TRUE(Property(kRow1 + 1, Prop::Checked).Bool());
    // Five radios with the values 1 .. 5 inside the option, the stored relevance chosen.
    for (int i = 0; i < 5; ++i) {
        const int radio = kFirstCreated + i;
        EXPECT_EQ(Property(radio, Prop::Value).Str(), std::to_string(i + 1));
        EXPECT_EQ(Property(radio, Prop::Checked).Bool(), i == 1) << i;
        EXPECT_EQ(Property(radio, Prop::Xpos).Int(), 40 + 56 + 24 * i);
        EXPECT_EQ(Property(radio, Prop::Ypos).Int(), 30 + 5);
    }
    driver->Choose(w, kFirstCreated + 3);
    EXPECT_EQ(KRI.GetInt("RELEVANZ", 3), 4);
    driver->Check(w, kRow2 + 1, true);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 7), 1);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 3), 1);   // the other element stays
    Close();
}

TEST_F(KriteriumZeileTest, SwitchingOffAGenerationCriterionDisablesItsRelevanceOnly)
{
    struct Case {
        int typ;
        bool relevanceFollows;   // prompts and choice follow the check box
    };
    const Case cases[] = {{1, true}, {2, true}, {3, false}, {4, false}, {5, false}};
    for (const Case& c : cases) {
        KRI.Clear();
        SetCriterion(10, c.typ, 1, 3, "");
        SetCriterion(9, 1, 1, 3, "");
        Open(10, 9);
        driver->Check(w, kRow1 + 1, false);
        EXPECT_EQ(KRI.GetInt("AKTIVIERT", 10), 0) << c.typ;
        for (int control = kRow1 + 2; control <= kRow1 + 4; ++control)
            EXPECT_EQ(Disabled(control), c.relevanceFollows) << c.typ << " " << control;
        driver->Check(w, kRow1 + 1, true);
        for (int control = kRow1 + 2; control <= kRow1 + 4; ++control)
            EXPECT_FALSE(Disabled(control)) << c.typ << " " << control;
        // Row 2 is a generation criterion without a relevance choice: the controls before and
        // after it are never switched by it.
        driver->Check(w, kRow2 + 1, false);
        EXPECT_FALSE(Disabled(kRow2 - 1)) << c.typ;
        EXPECT_FALSE(Disabled(kOk)) << c.typ;
        Close();
    }
}

TEST_F(KriteriumZeileTest, AGenerationCriterionSwitchedOffOpensWithItsRelevanceDisabled)
{
    SetCriterion(2, 2, 0, 5, "");
    SetCriterion(5, 1, 1, 1, "");
    Open(2, 5);
    for (int control = kRow1 + 2; control <= kRow1 + 4; ++control)
        EXPECT_TRUE(Disabled(control)) << control;
    EXPECT_FALSE(Property(kRow1 + 1, Prop::Checked).Bool());
    Close();
}

TEST_F(KriteriumZeileTest, NameAndTypeFromTheRecordAndInTheDefaultsEditor)
{
    struct Case {
        std::string stored;
        uint8_t mode;
        std::string checkText;   // the check box's caption
        std::string entryText;   // the name entry (defaults editor only)
        std::string nameAfter;   // BEZEICHNUNG once the row is set up
    };
    const Case cases[] = {
        {"", 0, "Text aus dem Fenster", "", ""},
        {"Ruhezeit zwischen Schichten", 0, "Ruhezeit zwischen Schichten", "", "Ruhezeit zwischen Schichten"},
        {"", DEFINITIONS_KRITERIENVORGABEN, "", "Text aus dem Fenster", "Text aus dem Fenster"},
        {"Eigener Name", DEFINITIONS_KRITERIENVORGABEN, "", "Eigener Name", "Eigener Name"},
    };
    for (const Case& c : cases) {
        KRI.Clear();
        SetCriterion(4, 3, 1, 0, c.stored);   // a display criterion: no radios are created
        SetCriterion(6, 3, 1, 0, "");
        Open(4, 6, c.mode);
        EXPECT_EQ(driver->Text(w, kRow1 + 1), c.checkText) << c.stored;
        EXPECT_EQ(KRI.GetString("BEZEICHNUNG", 4), c.nameAfter) << c.stored;
        if (c.mode & DEFINITIONS_KRITERIENVORGABEN) {
            // Row 1 creates its name entry and its type entry, then row 2 the same.
            const int name = kFirstCreated, typ = kFirstCreated + 1;
            EXPECT_EQ(driver->Text(w, name), c.entryText);
            EXPECT_EQ(Property(name, Prop::Xpos).Int(), 10 + 12);
            EXPECT_EQ(Property(typ, Prop::Xpos).Int(), 10 + 180);
            EXPECT_EQ(Property(typ, Prop::Tip).Str(),
                      "1 - gesetzlich (Generierung), 2 - ergonomisch (Generierung), 3 - Anzeige, "
                      "4 - gesetzlich (Verstossanzeige), 5 - ergonomisch (Verstossanzeige)");
            EXPECT_EQ(driver->Text(w, typ), "3");
            driver->Type(w, name, "Neuer Name");
            driver->Type(w, typ, "5");
            EXPECT_EQ(KRI.GetString("BEZEICHNUNG", 4), "Neuer Name");
            EXPECT_EQ(KRI.GetInt("TYP", 4), 5);
            EXPECT_EQ(KRI.GetString("BEZEICHNUNG", 6), "Zweite Zeile");
        }
        Close();
    }
}

} // namespace
