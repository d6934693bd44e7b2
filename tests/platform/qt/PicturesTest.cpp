// Every icon and picture the program names is one of our drawings, found by the program's name.
#include "QtTestSupport.h"

#include "platform/qt/Pictures.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace qttest;

namespace {

// The names as the program writes them: case, "~" and the original extensions vary.
const char* const kNames[] = {
    "oeffnen.ico", "speichern.ico", "mini_belastung.ico", "generieren.ico", "bezugsrahmen.ICO", "Schichtgruppen.ico", "schichtgruppen.ICO",
    "~unchecked.ico", "~exclamation.ico", "~checked.ico", "mini_oeko.ico", "~tick.ico", "~application.ico",
    "mini_schichten.ico", "mini_kalender.ico", "mini_defpool.ico", "message.ico", "Tabelle.ico", "DELETE.ICO",
    "~mini_belastung.ico", "~folders.ico", "~checked_gesetzlich.ico", "~OekoInsp.ico", "~BewertungsInsp.ico",
    "undo.ICO", "swap.ICO", "redo.ICO", "new.ico", "neu.ico", "mini_tabelle.ico", "mini_settings.ico",
    "mini_notiz.ico", "mini_info.ico", "info.ico", "inet.ico", "delete2.ico", "BewertungsInsp.ico",
    "~warning.ico", "~swap.ico", "~select.ico", "~projekt.ico", "~mini_tabelle.ico", "~mini_schichten.ico",
    "~mini_oeko.ico", "~mini_notiz.ico", "~mini_kalender.ico", "~mini_info.ico", "~mini_defpool.ico",
    "~mini_bewertung.ico", "~information.ico", "~help.ico", "~crossed.ico", "~critical.ico",
    "~checked_partly.ico", "~TabellenInsp.ico", "minimized.ico", "maximized.ico", "mini_tabelle_neu.ico",
    "mini_tabelle_group.ico", "mini_tabelle_delete.ico", "mini_tabelle_copy.ico", "mini_Bewertung.ico",
    "kalender.ico", "delete.ico", "calculator.ico", "TabellenInsp.ico", "Projekt.ico", "OekoInsp.ico",
    "INSERT.ICO", "EDIT.ICO", "varn4.ico",
    "Exclamation_ico", "KR10_anfang_ico", "KR10_ende_ico", "KR7_anfang_ico", "KR7_anfang_warnung_ico",
    "KR7_ende_ico", "KR7_ende_warnung_ico", "KR_FZ_ico", "KR_NS_ico", "KR_SZ_ico", "KR_WE_ico", "KR_WRZ_ico",
    "LeftArrowGrn_ico", "LeftArrow_ico", "RightArrowGrn_ico", "RightArrow_ico",
    "splash.gif", "wallpaper.bmp", "Varn4.bmp", "zaubrhut.wmf", "PAPFRAGE.WMF", "GLHBRNE3.WMF",
    "Legende_KRWAZ_Grenzen.bmp", "Legende_KRWAZ.bmp", "Legende_KRSZ.bmp", "Legende_KRNS.bmp",
    "Legende_KRFZ.bmp", "Legende_KR7_grn.bmp", "Legende_KR7.bmp", "Legende_KR3_grn.bmp", "Legende_KR3.bmp",
    "Legende_KR2_grn.bmp", "Legende_KR2.bmp", "Legende_KR18.bmp", "Legende_KR17.bmp", "Legende_KR10.bmp",
};

TEST(PicturesTest, EveryNameTheProgramUsesIsDrawn)
{
    App();
    Pictures::ClearCache();
    const int n = static_cast<int>(sizeof kNames / sizeof kNames[0]);
    const int columns = 12, cell = 44;
    QImage sheet(columns * cell, ((n + columns - 1) / columns) * cell, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int i = 0; i < n; ++i) {
        QPixmap pm = Pictures::Picture(kNames[i], 40, 40);
        EXPECT_FALSE(pm.isNull()) << kNames[i];
        EXPECT_FALSE(Pictures::Icon(kNames[i]).isNull()) << kNames[i];
        p.drawPixmap((i % columns) * cell + 2, (i / columns) * cell + 2, pm);
    }
    p.end();
    QDir().mkpath(QStringLiteral("screens"));
    sheet.save(QStringLiteral("screens/symbole.png"));
}

TEST(PicturesTest, PictureNamesAndIconNamesOfOneBaseStayApart)
{
    App();
    // "Varn4.bmp" is the wide header picture, "varn4.ico" the square program icon.
    QPixmap header = Pictures::Picture("Varn4.bmp");
    QPixmap icon = Pictures::Picture("varn4.ico");
    ASSERT_FALSE(header.isNull());
    ASSERT_FALSE(icon.isNull());
    EXPECT_GT(header.width(), header.height());
    EXPECT_EQ(icon.width(), icon.height());
    // The legend pictures keep the sizes the legend lays them out by.
    EXPECT_EQ(Pictures::Picture("Legende_KR7.bmp").size(), QSize(40, 9));
    EXPECT_EQ(Pictures::Picture("Legende_KRWAZ.bmp").size(), QSize(40, 30));
}

TEST(PicturesTest, UnknownOrUnreadableNamesGiveNothing)
{
    App();
    EXPECT_TRUE(Pictures::Picture("gibt_es_nicht.ico").isNull());
    EXPECT_TRUE(Pictures::Icon("").isNull());
    // A file that claims to be a picture but is none is not an image.
    QDir().mkpath(QStringLiteral("screens"));
    QFile f(QStringLiteral("screens/kaputt.jpg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("kein Bild");
    f.close();
    EXPECT_TRUE(Pictures::Picture(QFileInfo(f).absoluteFilePath().toStdString()).isNull());
}

TEST(PicturesTest, UserImagesAreReadThroughQtsReaders)
{
    App();
    QDir().mkpath(QStringLiteral("screens"));
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::red);
    QString path = QDir(QStringLiteral("screens")).absoluteFilePath(QStringLiteral("foto.jpg"));
    ASSERT_TRUE(img.save(path, "JPG"));
    QPixmap pm = Pictures::Picture(path.toStdString());
    ASSERT_FALSE(pm.isNull());
    EXPECT_EQ(pm.size(), QSize(20, 10));
}

} // namespace
