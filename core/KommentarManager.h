#pragma once
// The notes of a worksheet (workplace description, employees, free notes) and their tree node.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/Tree.h"
#include "core/Visual.h"

class RecordBuffer;

// The notes group; the worksheet keeps it and stores it in its BLATT record.
struct KommentarInfo {
    std::string KOMMENTAR;                   // 2048
    std::string BEZEICHNUNGARBEITSPLATZ;     // 255
    std::string KURZBEZEICHNUNG;             // 20
    std::array<std::string, 6> TAETIGKEITEN; // 20 each
    std::string ABTEILUNG;                   // 40
    int32_t ANZAHLARBEITSPLAETZE = 0;
    std::array<std::string, 15> ARBEITNEHMER; // 40 each
    int32_t BISHERIGESCHICHTZEIT = 0;        // clock value
    int32_t LETZTEAENDERUNG = 0;             // date
    std::string BEARBEITER;                  // 40
    std::string ANSPRECHPARTNER;             // 40

    void Clear() { *this = KommentarInfo{}; }
    // The fields of the same names in a BLATT-layout record.
    void ToRecord(RecordBuffer& record) const;
    void FromRecord(const RecordBuffer& record);
    bool operator==(const KommentarInfo&) const = default;
};

class CKommentarManager : public CVisual, public ITreeEntry {
public:
    CKommentarManager();
    ~CKommentarManager() override;

    // The worksheet's notes group; the node only refers to it.
    void SetInfo(KommentarInfo* info) { INFO = info; }
    // The notes dialog on the group; 0.
    int Edit();

    // ITreeEntry
    std::string GetIcon() override { return "~mini_notiz.ico"; }
    std::string GetText() override;
    bool IsExpanded() override { return true; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override { return 1; }
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override { return request == TREE_OPEN; }
    uint8_t TakeRequest(int request, const std::string& text) override;

    // The row text for a notes group (empty, workplace name, or the note shortened).
    static std::string TextFor(const KommentarInfo& info);

    KommentarInfo* INFO = nullptr;
    // Called after the dialog changed the notes (the worksheet marks the project changed).
    std::function<void()> ONCHANGED;
    CTreeStdBehaviour TREESTDBEHAVIOUR;
};
