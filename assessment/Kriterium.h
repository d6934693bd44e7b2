#pragma once
// CKriterium: one rule against which plans are judged, with its settings (mode, switched on,
// relevance), its weight in the plan quality value and the checking interfaces it implements.
// The individual criteria derive from it; a definitions pool owns one object of each.
//
// Settings travel through the KRI record buffer (element NUMMER of EINSTELLUNGEN); weights come
// from the settings file, section "Kriteriengewichtung".
#include "assessment/Verstossliste.h"
#include "core/Tree.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

class CAZPBewertung;
class CSchicht;
class RecordBuffer;
struct GridDC;

// ---- checking interfaces -------------------------------------------------------------------

// Checks a working-time plan evaluation and draws its records' markers into the plan grid.
class IAZPChecker {
public:
    virtual ~IAZPChecker() = default;
    // Appends records to the evaluation's cells. quick is 1 in the optimiser's assessments.
    virtual void Check(CAZPBewertung& evaluation, uint8_t quick) = 0;
    // Draws the record's marker into the cell's rectangle (see KriteriumMarker.h).
    virtual void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
                       int height) = 0;
    // Whether the quick check keeps to its own part: it adds records only in its own name and
    // changes nothing of the evaluation that another check reads. The search's incremental
    // assessment follows only such checks.
    virtual bool KeepsToItsOwn() const { return true; }
};

// Checks one shift type on a set of weekdays (bits 1 Monday .. 64 Sunday).
class ISTChecker {
public:
    virtual ~ISTChecker() = default;
    // The amount (0: no violation); when there is one, the explanation is written into text
    // (at most size characters).
    virtual uint32_t Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t size) = 0;
};

// Prices a shift for the shift demand generator's linear programs.
class ISTLPCost {
public:
    virtual ~ISTLPCost() = default;
    virtual double GetCost(const CSchicht& shift, uint16_t day, uint8_t flag) = 0;
    virtual uint8_t IsActive() = 0;
};

// ---- seams to what owns and shows criteria -------------------------------------------------

// What a criterion needs of its definitions pool: open the definitions dialog on it and tell
// the worksheet that the settings changed.
class IKriterienPool {
public:
    virtual ~IKriterienPool() = default;
    // 0 when the dialog ended with OK.
    virtual uint8_t EditKriterium(long number) = 0;
    virtual void NotifyArbeitsblatt() = 0;
};

// ---- the criterion -------------------------------------------------------------------------

// TYP
constexpr uint8_t TYP_GESETZLICH_GENERIERUNG = 1;
constexpr uint8_t TYP_ERGONOMISCH_GENERIERUNG = 2;
constexpr uint8_t TYP_ANZEIGE = 3;
constexpr uint8_t TYP_GESETZLICH_ANZEIGE = 4;
constexpr uint8_t TYP_ERGONOMISCH_ANZEIGE = 5;

constexpr double kTeilerStandard = 100000.0;
constexpr long kKriteriumNummerMax = 22;  // elements of KRI:EINSTELLUNGEN
constexpr std::size_t kKriteriumNameMax = 64;

class CKriterium : public ITreeEntry {
public:
    CKriterium();
    ~CKriterium() override;
    CKriterium(const CKriterium&) = delete;
    CKriterium& operator=(const CKriterium&) = delete;

    long NUMMER = 0;                  // 1..22, the element of KRI:EINSTELLUNGEN
    std::string NAME;                 // from BEZEICHNUNG, at most 64 characters
    std::string GROUPNAME;            // the criteria group it was last added to
    double TEILER = kTeilerStandard;  // divisor of the weight
    uint8_t TREEENTRYFORCERESET = 0;
    IKriterienPool* DEFINITIONSMANAGER = nullptr;  // the owning pool; nullptr outside one
    uint8_t TYP = 0;
    uint8_t AKTIVIERT = 0;
    uint8_t RELEVANZ = 0;
    // Set by a class whose FreeRecordText does more than drop the text: a list being cleared
    // calls the hook only for the records of such criteria, as the text goes with the record
    // anyway (and a call per record would cost every plan check).
    bool FREERECORDTEXT = false;

    // NUMMER := n, then the settings from the KRI buffer (called by each class's constructor).
    void SetNummer(long n);
    long GetNummer() const { return NUMMER; }
    // Copies NAME and GROUPNAME into the buffers that are given.
    void GetNames(std::string* name, std::string* groupName) const;
    void SetDefinitionsmanager(IKriterienPool* pool) { DEFINITIONSMANAGER = pool; }
    // The weight from "Kriteriengewichtung", key "Kriterium <NUMMER>", with d as default; the
    // value is written back at once. A value below 1 (or no number) would make the quality value
    // infinite or reward violations: the default is taken and written instead.
    long ReadWeight(long d);
    // TEILER by the criteria table: weight x factor for the weighted criteria, else 100000.
    void SetTableDivisor();
    // TYP 1 or 4.
    bool IsLegal() const { return TYP == TYP_GESETZLICH_GENERIERUNG || TYP == TYP_GESETZLICH_ANZEIGE; }

    // Tree node.
    std::string GetIcon() override;
    std::string GetText() override { return NAME; }
    bool IsExpanded() override { return true; }
    bool ForceReset() override { return TREEENTRYFORCERESET != 0; }
    int32_t CountEntries() override { return 1; }
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override;
    // 3 runs Edit; 10 toggles, stores to KRI and tells the pool. Always 0.
    uint8_t TakeRequest(int request, const std::string& text) override;

    // The base members from the other criterion, then DEFINITIONSMANAGER := pool. Classes with
    // members of their own copy those too.
    virtual void Assign(const CKriterium& other, IKriterienPool* pool);
    // Opens the definitions dialog on this criterion; its result (5 without a pool).
    virtual uint8_t Edit();
    virtual uint8_t ToggleActive();
    virtual void LoadFromKRI();
    virtual void LoadDefaults();  // from the KRIDEFAULT buffer
    virtual void StoreToKRI();    // TYP, AKTIVIERT, RELEVANZ; the name is not written
    // TEILER / ((90 + 10 x RELEVANZ) / 100)
    virtual double GetWeight() const;
    // Called for each record with a text when a list is cleared - if FREERECORDTEXT is set.
    virtual void FreeRecordText(VERSTOSSINFO& record);
    virtual ISTChecker* GetSTChecker() { return nullptr; }
    virtual IAZPChecker* GetAZPChecker() { return nullptr; }

private:
    void LoadFrom(const RecordBuffer& record);
};

// Destination i := source i (Assign with the pool), for every pair; used when a pool is copied.
void KriterienAssign(std::span<CKriterium* const> destination, std::span<CKriterium* const> source,
                     IKriterienPool* pool);

// ---- the criteria ---------------------------------------------------------------------------

// Interfaces of a criterion class.
constexpr uint8_t KR_AZP = 1;  // IAZPChecker
constexpr uint8_t KR_ST = 2;   // ISTChecker
constexpr uint8_t KR_LP = 4;   // ISTLPCost

struct KriteriumEintrag {
    long NUMMER;
    const char* KLASSE;
    const char* BEZEICHNUNG;      // the definitions dialog's label
    uint8_t SCHNITTSTELLEN;       // KR_AZP | KR_ST | KR_LP
    const char* VERKNUEPFUNGEN;   // what the pool links to it
    long GEWICHT;                 // default weight; 0: fixed divisor 100000
    double FAKTOR;                // divisor = weight x factor
};

// The 21 criteria in number order (there is no 20).
std::span<const KriteriumEintrag> KriterienTabelle();
// The row of a number; nullptr for 20 and numbers outside 1..22.
const KriteriumEintrag* FindKriteriumEintrag(long number);

// The order of a pool's criteria (KR3 before KR2).
constexpr std::array<long, 21> kKriterienReihenfolge = {1,  3,  2,  4,  5,  6,  7,  8,  9,  10, 11,
                                                        12, 13, 14, 15, 16, 17, 18, 19, 21, 22};
