#pragma once
// The relevant-times criteria: how often shifts disturb night sleep (KR11, KR12), social times
// (KR13, KR14) and family times (KR15, KR16). For every weekday the linked constraint (RB18, RB19,
// RB20) gives a relevant time of a length that may begin anywhere between an earliest and a
// latest clock time; a shift that leaves no room for it disturbs the day. The single criteria
// limit the disturbed days per week, the continuous ones the runs of consecutive disturbed days.
// All six share CKriteriumRelevanteZeiten and differ in number, mode and marker icon; they also
// price shifts for the shift demand generator.
#include "assessment/Kriterium.h"
#include "core/Termin.h"

#include <cstdint>
#include <vector>

class CRahmenbedingungRelevanteZeiten;
class CSchichtNode;

constexpr uint8_t PRUEFMODUS_EINZEL = 1;  // disturbed days per week
constexpr uint8_t PRUEFMODUS_KONT = 2;    // runs of consecutive disturbed days

class CKriteriumRelevanteZeiten : public CKriterium, public IAZPChecker, public ISTLPCost {
public:
    CRahmenbedingungRelevanteZeiten* RBRELEVANTEZEITEN = nullptr;  // not owned
    uint8_t PRUEFMODUS = 0;

    // Links the constraint; the weight is read now (default 20, x 1000).
    void SetRahmenbedingung(CRahmenbedingungRelevanteZeiten* constraint);
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override
    {
        PaintIcon(cell, record, dc, left, top, width, height);
    }
    // The disturbance of the shift type's own interval, without its rest.
    double GetCost(const CSchicht& shift, uint16_t day, uint8_t flag) override;
    uint8_t IsActive() override { return AKTIVIERT; }

    // The class's icon at the top centre of the cell.
    virtual void PaintIcon(long, const VERSTOSSINFO&, const GridDC&, int, int, int, int) {}

    // How much a shift interval disturbs the relevant time of its weekday - or, when not at all,
    // that of the weekday before, which may reach into the morning: the overlap with the latest
    // placement of the time when the earliest one is disturbed too, else 0. With checkRest a
    // placement the shift does not touch is still disturbed by the part of the relevant time
    // that the rest after the shift cannot hold.
    uint32_t Disturbance(const ::TERMIN& interval, bool checkRest, uint32_t rest) const;

protected:
    CKriteriumRelevanteZeiten(long number, uint8_t mode);
    void PaintClassIcon(const GridDC& dc, int left, int top, int width, const char* icon) const;

private:
    struct Entry {
        long TAG;               // the cell of the shift's begin day
        const CSchichtNode* S;
    };
    uint32_t ForWeekday(int weekday, const ::TERMIN& interval, bool dayBefore, bool checkRest, uint32_t rest) const;
    // Records for a group or run of entries in the order given, when more than limit.
    void Report(CAZPBewertung& evaluation, const std::vector<Entry>& entries, std::size_t from, std::size_t to,
                uint16_t limit);

    // Scratch lists of one check, kept so that repeated checks do not allocate.
    std::vector<Entry> entries_;
    std::vector<Entry> run_;
};

class CKriteriumNachtschlafEinzel : public CKriteriumRelevanteZeiten {
public:
    CKriteriumNachtschlafEinzel();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumNachtschlafKont : public CKriteriumRelevanteZeiten {
public:
    CKriteriumNachtschlafKont();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumSozialzeitEinzel : public CKriteriumRelevanteZeiten {
public:
    CKriteriumSozialzeitEinzel();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumSozialzeitKont : public CKriteriumRelevanteZeiten {
public:
    CKriteriumSozialzeitKont();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumFamilienzeitEinzel : public CKriteriumRelevanteZeiten {
public:
    CKriteriumFamilienzeitEinzel();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumFamilienzeitKont : public CKriteriumRelevanteZeiten {
public:
    CKriteriumFamilienzeitKont();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};
