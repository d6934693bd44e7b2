// The list of shift types on the real renderer (offscreen), narrower than it was laid out for: as
// it comes up on a small screen and as the user drags it narrower. Its buttons must stay whole
// inside the window and clear of each other.
#include "app/WindowPictures.h"
#include "assessment/SchichttypDialoge.h"
#include "core/Files.h"
#include "core/MessageDialog.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/Style.h"
#include "platform/values/Locale.h"
#include "plans/Schichttypen.h"

#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

using namespace apptest;

namespace {

class ShiftTypesOffscreen : public ScratchProgramDir {
protected:
    void SetUp() override
    {
        ScratchProgramDir::SetUp();
        App();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
    }
    void TearDown() override
    {
        EndPictureRun(renderer);
        std::filesystem::current_path(previous);
        ScratchProgramDir::TearDown();
    }

    std::unique_ptr<Renderer> renderer;
    std::filesystem::path previous;
};

void OpenShiftTypes()
{
    Locale::Load("deutsch.env");
    InitFileAccess();
    NameProgramFiles(std::filesystem::current_path().string());
    InstallMessageDialog(true);
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

TEST_F(ShiftTypesOffscreen, ANarrowerDialogKeepsItsButtonsWhole)
{
    renderer = std::make_unique<Renderer>();
    renderer->Start(OpenShiftTypes);
    const int window = SettledWindow(*renderer, "Schichttypen", 30000);
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
            ASSERT_NE(SettledWindow(*renderer, "Schichttypen", 10000), 0);
        }
        if (c.width == 800)
            ASSERT_EQ(top->width(), 800) << "the dialog refused the narrower width";
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
        const QString screens = QString::fromStdString((previous / "screens").string());
        QDir().mkpath(screens);
        top->grab().save(screens + QStringLiteral("/schichttypen-%1.png").arg(top->width()));
    }
}

} // namespace
