#pragma once
// The legend of the symbols that the criteria draw into the plan grids ("Legende"), modal on the
// calling thread. It edits nothing; "Schließen" or closing leaves RESPONSE_CANCELLED in LastResponse.
void Legende();
