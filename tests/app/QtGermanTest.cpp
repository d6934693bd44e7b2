// Qt's own texts in German: the installed translations are loaded at start-up, so the file and
// printer dialogs, the standard buttons and the question before a file is replaced speak German.
#include "app/Program.h"

#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

TEST(QtGerman, QtsOwnDialogsAndButtonsSpeakGerman)
{
    apptest::App();
    ASSERT_TRUE(InstallQtGerman(*QCoreApplication::instance())) << "Qt's translations are not installed";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(box.button(QMessageBox::Save)->text(), QStringLiteral("Speichern"));
    const char* replace = "%1 already exists.\nDo you want to replace it?";
    const QString german = QCoreApplication::translate("QFileDialog", replace);
    EXPECT_NE(german, QString::fromLatin1(replace));
    EXPECT_TRUE(german.contains(QStringLiteral("überschrieben"))) << german.toStdString();
}

} // namespace
