#include "generation/Schichtliste.h"

#include "core/Schicht.h"
#include "platform/values/Random.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

void CSchichtliste::Construct()
{
    TAGE = std::make_unique<Queue<ListenTag>>();
    TAG = 0;
    POSITION = 0;
}

void CSchichtliste::Release()
{
    FreeAll();
    TAGE.reset();
}

void CSchichtliste::FreeAll()
{
    if (TAGE)
        QueueFree(*TAGE);
    TAG = 0;
    POSITION = 0;
}

void CSchichtliste::Put(Queue<ListenSchicht>& day, const ListenSchicht& entry, uint16_t groups)
{
    if (groups < kZufallsreihenfolgeAb) {
        QueueAdd(day, entry);
        return;
    }
    const int32_t n = static_cast<int32_t>(QueueRecords(day));
    QueueAdd(day, entry, static_cast<std::size_t>(RandomBetween(1, n + 1)));
}

void CSchichtliste::BuildFromSBP(const CSBPData& sbp, uint16_t groups)
{
    if (!TAGE)
        Construct();
    FreeAll();
    const CSchichttypen* types = sbp.GetSchichttypen();
    const long typeCount = types ? types->Count() : 0;
    const uint16_t days = sbp.CountDays();
    for (uint16_t d = 1; d <= days; ++d) {
        ListenTag tag;
        tag.SCHICHTEN = std::make_unique<Queue<ListenSchicht>>();
        Queue<ListenSchicht>& day = *tag.SCHICHTEN;
        for (long i = 1; i <= typeCount; ++i) {
            if (QueueRecords(day) >= groups)
                break;
            const CSchicht* type = types->GetByIndex(i);
            if (!type || type->ART != ART_NORMAL)
                continue;
            // Rows and shift types are paired by identity: rows of equal begins may stand in
            // another order than the types.
            const uint8_t count = sbp.GetCountBySysId(d, type->SYSID);
            const ListenSchicht entry{type->TERMIN, type->SYSID, LISTE_ARBEIT};
            for (uint8_t k = 0; k < count; ++k)
                Put(day, entry, groups);
        }
        while (QueueRecords(day) < groups)
            Put(day, ListenSchicht{::TERMIN{}, 0, LISTE_FREI}, groups);
        QueueAdd(*TAGE, std::move(tag));
    }
}

Queue<ListenSchicht>* CSchichtliste::Day(uint16_t day) const
{
    if (!TAGE || day == 0)
        return nullptr;
    ListenTag* tag = QueueGet(*TAGE, day);
    return tag ? tag->SCHICHTEN.get() : nullptr;
}

void CSchichtliste::SelectTag(uint16_t day)
{
    if (!Day(day))
        return;
    TAG = day;
    POSITION = 0;
}

uint8_t CSchichtliste::SelectSchicht(uint16_t n, ListenSchicht& record)
{
    Queue<ListenSchicht>* day = Day(TAG);
    const ListenSchicht* entry = day && n != 0 ? QueueGet(*day, n) : nullptr;
    if (!entry)
        return 5;
    record = *entry;
    POSITION = n;
    return 0;
}

uint8_t CSchichtliste::NextSchicht(ListenSchicht& record)
{
    Queue<ListenSchicht>* day = Day(TAG);
    if (!day)
        return 5;
    const uint32_t next = (POSITION == 0 ? 1 : POSITION) + 1;
    const ListenSchicht* entry = QueueGet(*day, next);
    if (!entry)
        return 5;
    record = *entry;
    POSITION = next;
    return 0;
}

uint8_t CSchichtliste::FindFreeSchicht(uint16_t* position)
{
    if (position)
        *position = 0;
    Queue<ListenSchicht>* day = Day(TAG);
    if (!day)
        return 5;
    for (std::size_t n = 1; n <= QueueRecords(*day); ++n) {
        if (QueueGet(*day, n)->ART == LISTE_FREI) {
            POSITION = static_cast<uint32_t>(n);
            if (position)
                *position = static_cast<uint16_t>(n);
            return 0;
        }
    }
    return 5;
}

uint8_t CSchichtliste::DeleteCurrent()
{
    if (Queue<ListenSchicht>* day = Day(TAG); day && POSITION != 0)
        QueueDelete(*day, POSITION);
    POSITION = 0;
    return 0;
}

uint32_t CSchichtliste::CountCurrentDay() const { return CountDay(TAG); }

uint32_t CSchichtliste::CountDay(uint16_t day) const
{
    const Queue<ListenSchicht>* d = Day(day);
    return d ? static_cast<uint32_t>(QueueRecords(*d)) : 0;
}

const ListenSchicht* CSchichtliste::Get(uint16_t day, uint32_t n) const
{
    const Queue<ListenSchicht>* d = Day(day);
    return d ? QueueGet(*d, n) : nullptr;
}
