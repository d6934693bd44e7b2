// Start-up of the shift planner. Until the frame window exists, the program
// only says what it is.
#include <cstdio>

int main()
{
    std::puts("Varn 4 - Schichtplanung (Arbeitszeit- und Schichtbedarfsplanung)");
    std::puts("Die Programmoberfläche ist noch nicht vorhanden.");
    return 0;
}
