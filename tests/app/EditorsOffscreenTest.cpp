// The three plan editors of a worksheet window on the real renderer (offscreen): a key typed into
// each grid opens its cell editor, Return completes it and the plan takes the value; in swap mode a
// cell dragged onto another exchanges the two. The window is saved as a picture to look at.
#include "AppTestSupport.h"

#include "../platform/qt/QtTestSupport.h"
#include "../worksheets/EditorTestSupport.h"

#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"

#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

using namespace editortest;

namespace {

class EditorsOffscreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        apptest::App();
        TMPSCHICHT.SetName(store.dir + "/schichttypen.tmp");
        for (auto [letter, from, to, name] : {std::tuple{'F', 6, 14, "Früh"}, std::tuple{'S', 14, 22, "Spät"},
                                              std::tuple{'N', 22, 6, "Nacht"}}) {
            CSchicht s = Shift(std::string(1, letter), uint32_t(from * 60), uint32_t(to * 60));
            s.BEZEICHNUNG = name;
            ids[letter] = Add(sheet.types, s);
        }
        sheet.weeks = 1;
        sheet.akb.SetBezugsrahmen(1);
        sheet.sbp.SetBezugsrahmen(1);
        sheet.sbp.SyncSchichttypen();
        sheet.azp.SetBezugsrahmen(1);
        sheet.azp.SetGroupCount(3);
        const char* rows[] = {"FFSSN..", "SSNNF..", "NN..FFS"};
        for (uint32_t g = 1; g <= 3; ++g)
            for (uint32_t d = 1; d <= 7; ++d)
                if (rows[g - 1][d - 1] != '.')
                    sheet.azp.SetCell(d, g, ids[rows[g - 1][d - 1]]);
        CAKBEintrag span;
        span.TERMIN = {480, 960};
        span.ANZAHL = 2;
        sheet.akb.MergeDemand(span, true);
        for (ISavable* s : {&sheet.types.GetSavable(), &sheet.akb.GetSavable(), &sheet.sbp.GetSavable(),
                            &sheet.azp.GetSavable()}) {
            ASSERT_EQ(s->Init(store.files, nullptr), STORE_DONE);
            ASSERT_EQ(s->StoreStep(), STORE_DONE);
            parts.push_back(s);
        }
        sheet.editors[0] = &akb;
        sheet.editors[1] = &sbp;
        sheet.editors[2] = &azp;
        PaneWindow::sheet = &sheet;
        PaneWindow::bind = [this](int window) {
            akb.Init(sheet, sheet.akb, AKB_LIST);
            sbp.Init(sheet, sheet.sbp, SBP_LIST);
            azp.Bind(AZP_LIST, sheet.azp, sheet, window, 1);
        };
        PaneWindow::release = [this] {
            akb.Release();
            sbp.Release();
            azp.Release();
        };
        renderer = std::make_unique<Renderer>();
        renderer->Start(PaneWindow::Main);
        ASSERT_TRUE(renderer->Settle());
        win = 1;
        ASSERT_NE(renderer->WindowWidget(win), nullptr);
    }
    void TearDown() override
    {
        renderer.reset();
        for (ISavable* s : parts)
            s->Release(store.files);
    }
    ListView* List(int control) { return qobject_cast<ListView*>(renderer->ControlWidget(win, control)); }
    // The middle of a cell of the list, in the viewport's pixels.
    QPoint At(int control, int column, int row)
    {
        ListView* l = List(control);
        Runtime::HostBaton b;
        const int width = int(PropertyGet(win, control, Prop::ColumnWidth, column).Int());
        return {l->ColumnLeft(column) + width / 2, l->HeaderHeight() + (row - 1) * l->LineHeight() + l->LineHeight() / 2};
    }
    void Click(int control, int column, int row)
    {
        qttest::Click(List(control)->viewport(), At(control, column, row));
        ASSERT_TRUE(renderer->Settle());
    }
    // Types one key into the list, then Return into the cell editor it opened.
    void TypeInto(int control, int qtKey, const QString& text)
    {
        qttest::Press(List(control), qtKey, Qt::NoModifier, text);
        ASSERT_TRUE(renderer->Settle());
        int field = 0;
        {
            Runtime::HostBaton b;
            field = int(PropertyGet(win, 0, Prop::Focus, 0).Int());
        }
        ASSERT_NE(field, control) << "no cell editor opened";
        QWidget* editor = renderer->ControlWidget(win, field);
        ASSERT_NE(editor, nullptr);
        qttest::Screenshot(renderer->WindowWidget(win), QStringLiteral("plan_editoren_feld_%1").arg(control));
        QWidget* target = editor->focusProxy() ? editor->focusProxy() : editor;
        qttest::Press(target, Qt::Key_Return);
        ASSERT_TRUE(renderer->Settle());
    }

    ProjectStore store;
    FakeWorksheet sheet;
    CAKBEditor akb;
    CSBPEditor sbp;
    CAZPEditor azp;
    std::map<char, uint32_t> ids;
    std::vector<ISavable*> parts;
    std::unique_ptr<Renderer> renderer;
    int win = 0;
};

TEST_F(EditorsOffscreen, KeysTypedIntoEachGridAndACellDraggedInSwapMode)
{
    // Working-time plan: "S" on Saturday of group 1 completes to "Spät".
    Click(AZP_LIST, 7, 1);
    TypeInto(AZP_LIST, Qt::Key_S, QStringLiteral("s"));
    // Shift demand plan: "3" on Tuesday of the first row.
    Click(SBP_LIST, 3, 1);
    TypeInto(SBP_LIST, Qt::Key_3, QStringLiteral("3"));
    // Staff demand: "5" on Monday's count.
    Click(AKB_LIST, 3, 1);
    TypeInto(AKB_LIST, Qt::Key_5, QStringLiteral("5"));
    {
        Runtime::HostBaton b;
        EXPECT_EQ(sheet.azp.GetCell(6, 1), ids['S']);
        EXPECT_EQ(sheet.sbp.GetCount(2, 1), 3);
        ASSERT_NE(sheet.akb.GetEntry(1, 1), nullptr);
        EXPECT_EQ(sheet.akb.GetEntry(1, 1)->ANZAHL, 5);
        EXPECT_EQ(sheet.steps, 3);
    }

    // Swap mode: Monday of group 1 (Früh) dragged onto Wednesday of group 3 (empty).
    {
        Runtime::HostBaton b;
        azp.ToggleSwapMode();
    }
    ASSERT_TRUE(renderer->Settle());
    QWidget* vp = List(AZP_LIST)->viewport();
    const QPoint from = At(AZP_LIST, 2, 1), to = At(AZP_LIST, 4, 3);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(from), QPointF(vp->mapToGlobal(from)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &press);
    ASSERT_TRUE(renderer->Settle());
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(vp->mapToGlobal(to)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &move);
    ASSERT_TRUE(renderer->Settle());
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(to), QPointF(vp->mapToGlobal(to)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &release);
    ASSERT_TRUE(renderer->Settle());
    {
        Runtime::HostBaton b;
        EXPECT_EQ(sheet.azp.GetCell(1, 1), 0u);
        EXPECT_EQ(sheet.azp.GetCell(3, 3), ids['F']);
        EXPECT_EQ(sheet.steps, 4);
    }
    qttest::Screenshot(renderer->WindowWidget(win), QStringLiteral("plan_editoren"));
}

} // namespace
