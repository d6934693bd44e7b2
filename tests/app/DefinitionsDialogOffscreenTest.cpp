// The definitions dialog on the real renderer (offscreen), with real keys and clicks: a limit typed
// into a field and left with Tab, Shift+Tab, Enter or a click on another field is checked the same
// way each time - the German message, the value put back on the screen and in the record, and a
// warning-level value kept.
#include "AppTestSupport.h"

#include "../assessment/InstalledDefaultsSupport.h"
#include "../platform/qt/QtTestSupport.h"

#include "assessment/DefinitionsDialog.h"
#include "assessment/Definitionspool.h"
#include "assessment/Rahmenbedingungen.h"
#include "core/Files.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/qt/Renderer.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/Input.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>

#include <atomic>
#include <memory>
#include <string>

namespace {

constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }

class DefinitionsDialogOffscreen : public apptest::ScratchProgramDir {
protected:
    void SetUp() override
    {
        ScratchProgramDir::SetUp();
        apptest::App();
        InitFileAccess();
        NameProgramFiles(dir);
        ASSERT_NO_FATAL_FAILURE(ReadInstalledDefaults());
        renderer = std::make_unique<Renderer>();
        renderer->Start([this] { response = UpdateDefinitionsmanager(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN, 0, nullptr); });
        ASSERT_TRUE(apptest::ProcessUntil([&] { return renderer->Settle(100) && (win = Window("Definitionspool")) != 0; }));
    }
    void TearDown() override
    {
        renderer.reset();
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file))
                FileClose(*f.file);
        ScratchProgramDir::TearDown();
    }
    static int Window(const std::string& title)
    {
        Runtime::HostBaton b;
        for (int id : WindowList())
            if (const WindowModel* m = WindowFind(id); m && m->state == WindowState::Open &&
                                                       PropertyGet(id, 0, Prop::Text, 0).Str() == title)
                return id;
        return 0;
    }
    QLineEdit* Field(const std::string& name)
    {
        int id = 0;
        {
            Runtime::HostBaton b;
            if (ControlModel* c = WindowFind(win)->FindByName(name))
                id = c->id;
        }
        return qobject_cast<QLineEdit*>(renderer->ControlWidget(win, id));
    }
    // Types into a field as the user does: focus, the old text selected and replaced key by key.
    void TypeInto(QLineEdit* field, const QString& text)
    {
        // The dialog is the active window, as on a screen (a message box had been): focus moves
        // send their events.
        QWidget* top = field->window();
        top->activateWindow();
        ASSERT_TRUE(apptest::ProcessUntil([&] { return QApplication::activeWindow() == top; }));
        field->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(renderer->Settle());
        field->selectAll();
        for (QChar ch : text)
            qttest::Press(field, ch.unicode(), Qt::NoModifier, QString(ch));   // digits and ":" are their own key codes
    }
    // The caption of the message box that came up, answered with its first button; "" when none.
    std::string Answer()
    {
        QMessageBox* box = nullptr;
        apptest::ProcessUntil([&] {
            renderer->Settle(100);
            return (box = qobject_cast<QMessageBox*>(renderer->RequestWidget(UiRequest::Kind::Message))) != nullptr;
        }, 1500);
        if (!box)
            return {};
        const std::string caption = box->windowTitle().toStdString();
        box->buttons().front()->click();
        renderer->Settle();
        return caption;
    }
    int64_t Stored(const char* field)
    {
        Runtime::HostBaton b;
        return RB.GetInt(field);
    }

    std::unique_ptr<Renderer> renderer;
    std::atomic<int> response{0};
    int win = 0;
};

TEST_F(DefinitionsDialogOffscreen, EveryWayOfLeavingAFieldChecksItsValue)
{
    // Rest without compensation: below 09:00 refused (put back to 09:00), 09:00 - 11:00 warned.
    struct Case {
        const char* typed;
        const char* how;         // "tab", "backtab", "click"
        const char* message;     // the message's caption, "" for none
        int32_t stored;
        const char* shown;
    };
    const Case cases[] = {
        {"08:00", "tab", "Diese Einstellung ist nicht erlaubt", T(9), "09:00"},
        {"07:30", "backtab", "Diese Einstellung ist nicht erlaubt", T(9), "09:00"},
        {"06:00", "click", "Diese Einstellung ist nicht erlaubt", T(9), "09:00"},
        {"10:00", "tab", "Einstellung ist nur unter Voraussetzungen erlaubt", T(10), "10:00"},
        {"12:00", "tab", "", T(12), "12:00"},
        {"12:00", "tab", "", T(12), "12:00"},
    };
    {
        Runtime::HostBaton b;
        int tab = 0;
        for (const ControlModel& c : WindowFind(win)->controls)
            if (c.kind == ControlKind::Tab && c.Get(Prop::Text).Str() == "Ruhezeit")
                tab = c.id;
        ASSERT_EQ(InputChoose(win, tab), "");
    }
    ASSERT_TRUE(renderer->Settle());
    QLineEdit* rest = Field("?RZ_DAUER_OHNE_AUSGLEICH");
    QLineEdit* other = Field("?ERSTE_PAUSE");
    ASSERT_TRUE(rest && other);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " " + c.how);
        TypeInto(rest, QString::fromUtf8(c.typed));
        if (std::string(c.how) == "tab")
            qttest::Press(rest, Qt::Key_Tab);
        else if (std::string(c.how) == "backtab")
            qttest::Press(rest, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            other->setFocus(Qt::MouseFocusReason);   // what a click on it does (a sent click is not spontaneous)
        EXPECT_EQ(Answer(), c.message);
        EXPECT_TRUE(renderer->Settle());
        EXPECT_EQ(Stored("RZ_DAUER_OHNE_AUSGLEICH"), c.stored);
        EXPECT_EQ(rest->text().toStdString(), c.shown);
    }
    Runtime::HostBaton b;
    ASSERT_EQ(InputPress(win, WindowFind(win)->FindByName("?Abbrechen")->id), "");
}

TEST_F(DefinitionsDialogOffscreen, EnterOnARefusedValueStoresTheValuePutBackNotTheOneTyped)
{
    QLineEdit* daily = Field("?WTAZ_OHNE_AUSGLEICH");
    ASSERT_NE(daily, nullptr);
    TypeInto(daily, QStringLiteral("17:00"));
    qttest::Press(daily, Qt::Key_Return);
    EXPECT_EQ(Answer(), "Diese Einstellung ist nicht erlaubt");
    // Enter then confirms the dialog, with the value the field was put back to.
    ASSERT_TRUE(apptest::ProcessUntil([&] { return renderer->Settle(100) && response != 0; }));
    EXPECT_EQ(response, RESPONSE_COMPLETED);
    EXPECT_EQ(Stored("WTAZ_OHNE_AUSGLEICH"), T(10));
}

} // namespace
