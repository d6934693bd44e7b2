#include "platform/records/RecordBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "TestFiles.h"

TEST(Layout, OffsetsAndSizeFollowTheDeclaration) {
    const Layout& l = *ShiftLayout();
    EXPECT_EQ(l.Size(), 83);
    struct Case { const char* name; int offset; int width; int count; };
    const Case cases[] = {
        {"ID", 0, 4, 1}, {"SYSID", 8, 4, 1}, {"ART", 12, 1, 1}, {"BEZEICHNUNG", 13, 30, 1},
        {"KURZBEZEICHNUNG", 43, 5, 1}, {"TERMIN", 50, 8, 1}, {"BEGINN", 50, 4, 1}, {"ENDE", 54, 4, 1},
        {"PAUSEN", 58, 5, 5}, {"LAGE", 58, 2, 5}, {"DAUER", 60, 2, 5}, {"BEZAHLT", 62, 1, 5},
    };
    for (const Case& c : cases) {
        const Field& f = l.At(c.name);
        EXPECT_EQ(f.offset, c.offset) << c.name;
        EXPECT_EQ(f.width, c.width) << c.name;
        EXPECT_EQ(f.count, c.count) << c.name;
    }
    EXPECT_EQ(l.At("BEZAHLT").Offset(5), 82);
    EXPECT_EQ(l.At("bezeichnung").offset, 13);  // names are not case-sensitive
}

TEST(Layout, MisdeclarationsAreRefused) {
    EXPECT_THROW(LayoutBuilder("X").Long("A").Long("a"), std::logic_error);
    EXPECT_THROW(LayoutBuilder("X").Group("G", 2).Long("A", 3).End(), std::logic_error);
    EXPECT_THROW(LayoutBuilder("X").Long("A", 2).Key("K", {"A"}, KeyDup), std::logic_error);
    EXPECT_THROW(LayoutBuilder("X").Long("A").Key("K", {"B"}, KeyDup), std::logic_error);
    EXPECT_THROW(LayoutBuilder("X").Group("G").Long("A").Build(), std::logic_error);
}

TEST(RecordBuffer, ClearedRecordHasBlankStringsAndZeroNumbers) {
    const auto l = LayoutBuilder("T").Long("N").String("S", 4).Decimal("D").Build();
    RecordBuffer b(l);
    b.SetInt("N", 7);
    b.SetString("S", "ab");
    b.SetDecimal("D", Decimal::FromCents(-5));
    b.Clear();
    const auto bytes = b.Bytes();
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()),
              (std::vector<uint8_t>{0, 0, 0, 0, ' ', ' ', ' ', ' ', 0, 0, 0x0C}));
}

TEST(RecordBuffer, NumbersAreLittleEndianAndWrapLikeTheirWidth) {
    RecordBuffer b(ShiftLayout());
    b.SetInt("ID", -2);
    b.SetInt("SYSID", 4294967295LL);
    b.SetInt("ART", 300);
    EXPECT_EQ(b.GetInt("ID"), -2);
    EXPECT_EQ(b.GetInt("SYSID"), 4294967295LL);
    EXPECT_EQ(b.GetInt("ART"), 44);
    b.SetInt("LAGE", 0x1234, 2);
    EXPECT_EQ(b.Bytes()[63], 0x34);
    EXPECT_EQ(b.Bytes()[64], 0x12);
}

TEST(RecordBuffer, DimAndGroupMembersAreIndexedFromOne) {
    RecordBuffer b(ShiftLayout());
    for (int i = 1; i <= 5; ++i) {
        b.SetInt("LAGE", i * 10, i);
        b.SetInt("DAUER", i, i);
    }
    EXPECT_EQ(b.GetInt("LAGE", 1), 10);
    EXPECT_EQ(b.GetInt("DAUER", 5), 5);
    b.ClearField("PAUSEN", 3);
    EXPECT_EQ(b.GetInt("LAGE", 3), 0);
    EXPECT_EQ(b.GetInt("LAGE", 4), 40);
    b.ClearField("PAUSEN");
    EXPECT_EQ(b.GetInt("LAGE", 4), 0);
    EXPECT_THROW(b.GetInt("LAGE", 6), std::out_of_range);
    EXPECT_THROW(b.GetInt("LAGE"), std::out_of_range);     // an element must be named
    EXPECT_THROW(b.GetInt("NOSUCH"), std::out_of_range);
}

TEST(RecordBuffer, StringsAreWindows1252PaddedAndCutAtTheWidth) {
    RecordBuffer b(ShiftLayout());
    b.SetString("KURZBEZEICHNUNG", "Früh");
    const auto raw = b.Raw("KURZBEZEICHNUNG");
    EXPECT_EQ(std::string(raw.begin(), raw.end()), "Fr\xFCh ");
    EXPECT_EQ(b.GetString("KURZBEZEICHNUNG"), "Früh");
    b.SetString("KURZBEZEICHNUNG", "Spätdienst");   // 10 characters into 5 bytes
    EXPECT_EQ(b.GetString("KURZBEZEICHNUNG"), "Spätd");
    b.SetString("KURZBEZEICHNUNG", "夜班");
    EXPECT_EQ(b.GetString("KURZBEZEICHNUNG"), "??");
}

TEST(RecordBuffer, DecimalsArePackedAndClampedToTheField) {
    const auto l = LayoutBuilder("T").Decimal("WAZ").Build();
    RecordBuffer b(l);
    b.SetDecimal("WAZ", Decimal::FromCents(-3850));
    EXPECT_EQ(b.GetDecimal("WAZ").Cents(), -3850);
    EXPECT_DOUBLE_EQ(b.GetReal("WAZ"), -38.5);
    b.SetDecimal("WAZ", Decimal::FromCents(123456));
    EXPECT_EQ(b.GetDecimal("WAZ").Cents(), 99999);
    b.SetReal("WAZ", -1e12);
    EXPECT_EQ(b.GetDecimal("WAZ").Cents(), -99999);
    // Beyond 64 bits of cents a value still clamps on its own side.
    b.SetReal("WAZ", 1e30);
    EXPECT_EQ(b.GetDecimal("WAZ").Cents(), 99999);
    b.SetInt("WAZ", INT64_MAX);
    EXPECT_EQ(b.GetDecimal("WAZ").Cents(), 99999);
    b.SetInt("WAZ", INT64_MIN);
    EXPECT_EQ(b.GetDecimal("WAZ").Cents(), -99999);
    b.Raw("WAZ")[2] = 0x00;   // damaged sign: reads as 0, no fault
    EXPECT_EQ(b.GetDecimal("WAZ").Cents(), 0);
}
