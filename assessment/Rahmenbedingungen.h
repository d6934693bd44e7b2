#pragma once
// All 22 constraint classes, and a way to make one by its number.
#include <memory>

#include "assessment/Rahmenbedingung.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungPausen.h"
#include "assessment/RahmenbedingungRelevanteZeiten.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/RahmenbedingungSchichten.h"
#include "assessment/RahmenbedingungWochenende.h"

constexpr int kRahmenbedingungen = 22;

// A new constraint RB<number> (1..22), constructed from the RB record buffer and with its texts
// from "warntexte"; nullptr for any other number.
std::unique_ptr<CRahmenbedingung> NewRahmenbedingung(int number);
