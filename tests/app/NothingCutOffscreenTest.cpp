// Windows on the real renderer (offscreen) show what they hold whole: the list of shift types,
// narrower than it was laid out for (as it comes up on a small screen, as the user drags it
// narrower), keeps its buttons inside the window and clear of each other; the worksheet's shift
// demand plan shows its shift names whole at every zoom; every page of the generation wizards
// shows its texts whole and clear of the heading band and of each other.
#include "app/Program.h"
#include "app/SampleShifts.h"
#include "app/WindowPictures.h"
#include "assessment/DefinitionsDialog.h"
#include "assessment/KriteriumZeile.h"
#include "assessment/SchichttypDialoge.h"
#include "core/Files.h"
#include "core/MessageDialog.h"
#include "core/Projektmanager.h"
#include "generation/AZPOptimizer.h"
#include "generation/AZWizard.h"
#include "generation/SBPGenerator.h"
#include "generation/SBWizard.h"
#include "platform/fw/FwFileManager.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/Style.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"
#include "plans/AZPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"

#include "CutTextSupport.h"
#include "PictureRunSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QAbstractSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace apptest;

namespace {

class NothingCut : public PictureRun {
protected:
    void Save(QWidget* top, const QString& name)
    {
        const QString screens = QString::fromStdString((previous / "screens").string());
        QDir().mkpath(screens);
        top->grab().save(screens + QStringLiteral("/") + name + QStringLiteral(".png"));
    }
};

void OpenShiftTypes()
{
    UseScratchProgramFiles();
    InstallSchichttypDialoge();
    CSchichttypen types;
    CSchicht s;
    s.Clear();
    s.BEZEICHNUNG = "Nachtschicht";
    s.KURZBEZEICHNUNG = "N";
    s.TERMIN = {22 * 60, 30 * 60};
    types.AddSchicht(s, false);
    types.Edit();
}

TEST_F(NothingCut, ANarrowerDialogKeepsItsButtonsWhole)
{
    renderer = std::make_unique<Renderer>();
    renderer->Start(OpenShiftTypes);
    const int window = SettledWindow(*renderer, "Schichttypen", apptest::kScreenWaitMs);
    ASSERT_NE(window, 0);
    QWidget* top = renderer->WindowWidget(window)->window();
    const int designed = QtStyle::ToPixels(560);
    const struct {
        const char* what;
        int width;                       // 0: as it came up
    } cases[] = {
        {"as it comes up", 0},
        {"800 pixels wide", 800},
        {"as narrow as the user can drag it", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.width) {
            top->resize(c.width, top->height());
            QCoreApplication::processEvents();
            ASSERT_NE(SettledWindow(*renderer, "Schichttypen", apptest::kScreenWaitMs), 0);
        }
        if (c.width == 800) {
            ASSERT_EQ(top->width(), 800) << "the dialog refused the narrower width";
        }
        EXPECT_LE(top->width(), designed);
        std::vector<std::pair<QString, QRect>> buttons;
        for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
            if (b->isVisible())
                buttons.emplace_back(b->text(), QRect(b->mapTo(top, QPoint(0, 0)), b->size()));
        int found = 0;
        for (const auto& [text, place] : buttons) {
            if (text == QStringLiteral("OK") || text == QStringLiteral("Abbrechen"))
                ++found;
            EXPECT_TRUE(top->rect().contains(place)) << text.toStdString() << " reaches past the window";
            for (const auto& [other, there] : buttons)
                EXPECT_TRUE(&text == &other || !place.intersects(there))
                    << text.toStdString() << " overlaps " << other.toStdString();
        }
        EXPECT_EQ(found, 2);
        Save(top, QStringLiteral("schichttypen-%1").arg(top->width()));
    }
}

// The learning material's sample worksheet: early, late and night shifts.
void OpenWorksheet()
{
    UseScratchProgramFiles();
    GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ);
    auto& sheet = *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1));
    AddSampleShifts(sheet);
    sheet.Open();
}

TEST_F(NothingCut, TheShiftDemandPlanShowsItsShiftNamesWholeAtEveryZoom)
{
    renderer = std::make_unique<Renderer>();
    renderer->Start(OpenWorksheet);
    const int window = SettledWindow(*renderer, "Arbeitszeitblatt", apptest::kScreenWaitMs);
    ASSERT_NE(window, 0);
    QWidget* top = renderer->WindowWidget(window)->window();
    // The shift demand plan: the list whose rows are named after the shifts.
    ListView* plan = nullptr;
    std::vector<QString> names;
    {
        Runtime::HostBaton b;
        for (ListView* list : top->findChildren<ListView*>())
            if (list->Source() && list->RowCount() == 3 && list->Source()->Field(3, 1) == "Nachtschicht") {
                plan = list;
                for (int64_t row = 1; row <= 3; ++row)
                    names.push_back(QString::fromStdString(list->Source()->Field(row, 1)));
            }
    }
    ASSERT_NE(plan, nullptr);
    for (const char* zoom : {"100 %", "150%", "50 %"}) {
        SCOPED_TRACE(zoom);
        if (std::string(zoom) != "100 %") {
            QAction* item = nullptr;
            for (QAction* a : top->findChildren<QAction*>())
                if (a->text() == QString::fromUtf8(zoom))
                    item = a;
            ASSERT_NE(item, nullptr);
            item->trigger();
            ASSERT_NE(SettledWindow(*renderer, "Arbeitszeitblatt", apptest::kScreenWaitMs), 0);
        }
        // The names are drawn in the column's style font (the zoom scales it with the column),
        // after its indent of one unit, two pixels clear of either border line.
        QFont font;
        {
            Runtime::HostBaton b;
            font = QtStyle::MapFont(PropertyGet(plan->Window(), plan->Control(), Prop::StyleFontName, 1).Str(),
                                    int(PropertyGet(plan->Window(), plan->Control(), Prop::StyleFontSize, 1).Int()));
        }
        const QFontMetrics metrics(font);
        const int room = plan->ColumnLeft(2) - plan->ColumnLeft(1) - plan->ToViewport(1) - 5;
        for (const QString& name : names)
            EXPECT_LE(metrics.horizontalAdvance(name), room) << name.toStdString() << " in " << font.family().toStdString();
        Save(top, QStringLiteral("schichtbedarf-") + QString::fromUtf8(zoom).remove(QLatin1Char(' ')).remove(QLatin1Char('%')));
    }
}

// The overall rating lists every criterion by its name: the longest ("Höchstzahl einzelner
// Störungen der Familienzeiten einhalten") is shown whole beside its count of violations.
TEST_F(NothingCut, TheOverallRatingShowsEveryCriterionNameWhole)
{
    renderer = std::make_unique<Renderer>();
    renderer->Start([] {
        OpenWorksheet();
        // A plan without groups has no rating: one group to rate.
        auto& sheet = *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1));
        sheet.GetAZP().SetGroupCount(1);
        sheet.ShowGesamtbewertung();
    });
    const int window = SettledWindow(*renderer, "Gesamtbewertung AZP", apptest::kScreenWaitMs);
    ASSERT_NE(window, 0);
    QWidget* top = renderer->WindowWidget(window)->window();
    ListView* list = nullptr;
    std::vector<QString> names;
    QFont font;
    {
        Runtime::HostBaton b;
        for (ListView* l : top->findChildren<ListView*>())
            list = l;
        ASSERT_NE(list, nullptr);
        for (int64_t row = 1; row <= list->RowCount(); ++row)
            names.push_back(QString::fromStdString(list->Source()->Field(row, 1)));
        font = QtStyle::MapFont(PropertyGet(window, 0, Prop::FontName, 0).Str(),
                                int(PropertyGet(window, 0, Prop::FontSize, 0).Int()));
    }
    ASSERT_GT(names.size(), 20u);
    const QFontMetrics metrics(font);
    const int room = list->ColumnLeft(2) - list->ColumnLeft(1) - list->ToViewport(1) - 5;
    for (const QString& name : names)
        EXPECT_LE(metrics.horizontalAdvance(name), room) << name.toStdString();
    Save(top, QStringLiteral("gesamtbewertung"));
}

// The defaults of the criteria: every criterion's name stands in an entry of its own, whole.
TEST_F(NothingCut, TheCriteriaDefaultsShowEveryNameWholeInItsEntry)
{
    renderer = std::make_unique<Renderer>();
    renderer->Start([] {
        UseDefaultRecords();
        UpdateDefinitionsmanager(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN | DEFINITIONS_KRITERIENVORGABEN, 0, nullptr);
    });
    const int window = SettledWindow(*renderer, nullptr, apptest::kScreenWaitMs);
    ASSERT_NE(window, 0);
    QWidget* top = renderer->WindowWidget(window)->window();
    int names = 0;
    for (QLineEdit* e : top->findChildren<QLineEdit*>()) {
        if (!e->text().contains(QStringLiteral(" ")))
            continue;   // times, numbers and the criteria's types
        ++names;
        // The entry's text stands two pixels inside its frame on either side.
        EXPECT_LE(e->fontMetrics().horizontalAdvance(e->text()), e->contentsRect().width() - 4) << e->text().toStdString();
    }
    EXPECT_GE(names, 15);
    Save(top, QStringLiteral("kriterienvorgaben"));
}

TEST_F(NothingCut, EveryWizardPageShowsItsTextsWholeAndClearOfEachOther)
{
    const struct {
        const char* title;
        int pages;
        std::function<void()> open;
    } wizards[] = {
        {"Schichtbedarfsplan generieren", 5, [] { UseScratchProgramFiles(); CSBPGenerator g; SBWizard(g, nullptr); }},
        {"Arbeitszeitplan generieren", 4,
         [] { UseScratchProgramFiles(); CAZPOptimizer o; AZWizard(o, 6, nullptr, AZWIZARD_GENERATE, 240.0); }},
    };
    for (const auto& wizard : wizards) {
        SCOPED_TRACE(wizard.title);
        renderer = std::make_unique<Renderer>();
        renderer->Start(wizard.open);
        const int window = SettledWindow(*renderer, wizard.title, apptest::kScreenWaitMs);
        ASSERT_NE(window, 0);
        QWidget* top = renderer->WindowWidget(window)->window();
        for (int page = 1; page <= wizard.pages; ++page) {
            SCOPED_TRACE("page " + std::to_string(page));
            const auto controls = VisibleControls(top);
            for (const auto& [w, place] : controls) {
                EXPECT_TRUE(top->rect().contains(place)) << Named(w) << " reaches past the window";
                for (const auto& [other, there] : controls)
                    EXPECT_TRUE(w == other || !place.intersects(there)) << Named(w) << " overlaps " << Named(other);
            }
            EXPECT_EQ(CutTexts(top), std::vector<std::string>{});
            Save(top, QStringLiteral("assistent-%1-%2").arg(wizard.pages).arg(page));
            if (page < wizard.pages) {
                QAbstractButton* next = nullptr;
                for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
                    if (b->isVisible() && b->text() == QStringLiteral("weiter >>"))
                        next = b;
                ASSERT_NE(next, nullptr);
                next->click();
                ASSERT_TRUE(renderer->Settle());
            }
        }
        EndPictureRun(renderer);
    }
}

} // namespace

namespace {

TEST_F(NothingCut, TheWorksheetWindowCanBeMadeSmallerButNotBelowItsMinimum)
{
    renderer = std::make_unique<Renderer>();
    renderer->Start(OpenWorksheet);
    const int window = SettledWindow(*renderer, "Arbeitszeitblatt", apptest::kScreenWaitMs);
    ASSERT_NE(window, 0);
    QWidget* client = renderer->WindowWidget(window);
    // Without the frame the worksheet window stands on its own.
    QWidget* sub = client->window();
    const QSize before = sub->size();
    sub->resize(before.width() - 200, before.height() - 150);
    ASSERT_NE(SettledWindow(*renderer, "Arbeitszeitblatt", apptest::kScreenWaitMs), 0);
    EXPECT_EQ(sub->size(), QSize(before.width() - 200, before.height() - 150));
    sub->resize(10, 10);
    ASSERT_NE(SettledWindow(*renderer, "Arbeitszeitblatt", apptest::kScreenWaitMs), 0);
    EXPECT_GE(client->width(), QtStyle::ToPixels(300));
    EXPECT_GE(client->height(), QtStyle::ToPixels(200));
    EXPECT_LT(sub->width(), before.width() - 200);
    Save(sub, QStringLiteral("arbeitsblatt-kleinst"));
}

} // namespace

namespace {

// The print's file dialog names its file type once: "PDF-Dateien (*.pdf)".
TEST_F(NothingCut, TheFileDialogNamesItsFileTypesOnce)
{
    renderer = std::make_unique<Renderer>();
    renderer->Start([] {
        UseScratchProgramFiles();
        std::string file = "Arbeitszeitplan.pdf";
        FileDialog("Arbeitszeitplan als PDF speichern", file, "PDF-Dateien (*.pdf)|*.pdf", FILE_SAVE);
        std::string eba = "Export.eba";
        FileDialog("EBA-Exportdatei speichern", eba, "Varn 4 EBA-Datei|*.eba|Alle Dateien|*.*", FILE_SAVE);
    });
    const QStringList expected[] = {{QStringLiteral("PDF-Dateien (*.pdf)")},
                                    {QStringLiteral("Varn 4 EBA-Datei (*.eba)"), QStringLiteral("Alle Dateien (*)")}};
    for (const QStringList& filters : expected) {
        QFileDialog* dialog = nullptr;
        ASSERT_TRUE(ProcessUntil([&] {
            renderer->Settle(100);
            return (dialog = qobject_cast<QFileDialog*>(renderer->RequestWidget(UiRequest::Kind::FileDialog))) != nullptr;
        }));
        EXPECT_EQ(dialog->nameFilters(), filters);
        QMetaObject::invokeMethod(dialog, "reject");
        ASSERT_TRUE(renderer->Settle());
    }
}

} // namespace
