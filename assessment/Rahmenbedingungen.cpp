#include "assessment/Rahmenbedingungen.h"

std::unique_ptr<CRahmenbedingung> NewRahmenbedingung(int number)
{
    switch (number) {
    case 1: return std::make_unique<CRahmenbedingungNachtschicht>();
    case 2: return std::make_unique<CRahmenbedingungFruehschicht>();
    case 3: return std::make_unique<CRahmenbedingungTagschicht>();
    case 4: return std::make_unique<CRahmenbedingungMindestruhezeit>();
    case 5: return std::make_unique<CRahmenbedingungFreieSonntage>();
    case 6: return std::make_unique<CRahmenbedingungKontWochenruhezeit>();
    case 7: return std::make_unique<CRahmenbedingungKontArbeitstage>();
    case 8: return std::make_unique<CRahmenbedingungBetriebstagsbeginn>();
    case 9: return std::make_unique<CRahmenbedingungSchichtuebergabezeit>();
    case 10: return std::make_unique<CRahmenbedingungSchichtzeit>();
    case 11: return std::make_unique<CRahmenbedingungPausen>();
    case 12: return std::make_unique<CRahmenbedingungErstePause>();
    case 13: return std::make_unique<CRahmenbedingungMindestpausenlaenge>();
    case 14: return std::make_unique<CRahmenbedingungWerktagAZ>();
    case 15: return std::make_unique<CRahmenbedingungWAZMittel>();
    case 16: return std::make_unique<CRahmenbedingungWAZGrenzen>();
    case 17: return std::make_unique<CRahmenbedingungWochenende>();
    case 18: return std::make_unique<CRahmenbedingungNachtschlafzeiten>();
    case 19: return std::make_unique<CRahmenbedingungSozialzeiten>();
    case 20: return std::make_unique<CRahmenbedingungFamilienzeiten>();
    case 21: return std::make_unique<CRahmenbedingungRZNachtarbeit>();
    case 22: return std::make_unique<CRahmenbedingungRZAnzeige>();
    default: return nullptr;
    }
}
