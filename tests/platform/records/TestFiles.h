#pragma once
// Small layouts and a scratch directory for the record-file tests.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/records/RecordFile.h"

inline std::shared_ptr<const Layout> ShiftLayout() {
    static const auto layout = LayoutBuilder("SCHICHT")
        .Long("ID").Long("STEP").Ulong("SYSID").Byte("ART")
        .String("BEZEICHNUNG", 30).String("KURZBEZEICHNUNG", 5)
        .Byte("AUSLASTUNG").Byte("AUSLASTUNG_BERUECKSICHTIGEN")
        .Group("TERMIN").Ulong("BEGINN").Ulong("ENDE").End()
        .Group("PAUSEN", 5).Ushort("LAGE").Ushort("DAUER").Byte("BEZAHLT").End()
        .Key("KeyID", {"ID", "STEP"}, KeyDup)
        .Key("KeyAnfangszeit", {"BEGINN", "ENDE"}, KeyDup)
        .Build();
    return layout;
}

inline std::shared_ptr<const Layout> TextLayout() {
    static const auto layout = LayoutBuilder("WARNTXT")
        .String("RAHMENBEDINGUNG", 20).String("INHALT", 100)
        .Key("KeyRahmenbedingung", {"RAHMENBEDINGUNG"}, KeyUnique)
        .Build();
    return layout;
}

inline std::shared_ptr<const Layout> PlainLayout() {
    static const auto layout = LayoutBuilder("STAMP").String("VERSION", 20).Long("IDSEED").Build();
    return layout;
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        std::string t = (std::filesystem::temp_directory_path() / "varnrecXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir_ = t;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::string dir_;
};
