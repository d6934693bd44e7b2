// The project tree on the real renderer (offscreen): a click on a row's box opens or closes that
// row, the selected row's box as well as any other's.
#include "../platform/qt/QtTestSupport.h"
#include "RealProgramSupport.h"

#include <QAbstractButton>

#include <gtest/gtest.h>

using namespace apptest;

namespace {

class ProjectTree : public RealProgramTest {};

TEST_F(ProjectTree, TheBoxOfAnyRowTogglesIt)
{
    const int welcome = WindowTitled("Willkommen bei Varn-4");
    ASSERT_NE(welcome, 0);
    QAbstractButton* create = nullptr;
    for (QAbstractButton* b : renderer->WindowWidget(welcome)->window()->findChildren<QAbstractButton*>())
        if (b->isVisible() && b->text().remove(QLatin1Char('&')) == QStringLiteral("ein neues Arbeitszeitblatt anlegen"))
            create = b;
    ASSERT_NE(create, nullptr);
    create->click();
    int manager = 0;
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && (manager = WindowTitled("Projektmanager")) != 0; }));
    auto* tree = renderer->View(manager)->Client()->findChild<ListView*>();
    ASSERT_NE(tree, nullptr);
    auto rows = [&] {
        Runtime::HostBaton b;
        return tree->RowCount();
    };
    const int64_t closed = rows();
    // The project's row: closed, then chosen by its box and opened, then closed and opened again
    // by the box of the row that is selected now.
    for (int click = 1; click <= 3; ++click) {
        SCOPED_TRACE(click);
        ClickTreeBox(tree, 1, 1);
        ASSERT_TRUE(renderer->Settle());
        if (click % 2 == 1)
            EXPECT_GT(rows(), closed);
        else
            EXPECT_EQ(rows(), closed);
    }
}

} // namespace
