#include "platform/records/FileError.h"

namespace {

struct Entry { int code; const char* text; };

// The one table of file error texts.
constexpr Entry kTexts[] = {
    {ERR_NONE, "Kein Fehler"},
    {ERR_FILE_NOT_FOUND, "Datei nicht gefunden"},
    {ERR_PATH_NOT_FOUND, "Pfad nicht gefunden"},
    {ERR_ACCESS_DENIED, "Zugriff verweigert"},
    {ERR_FILE_IN_USE, "Die Datei wird bereits von einem anderen Programm benutzt"},
    {ERR_NO_RECORD, "Kein weiterer Datensatz vorhanden"},
    {ERR_RECORD_NOT_FOUND, "Datensatz nicht gefunden"},
    {ERR_INVALID_FILE, "Ungültige oder beschädigte Datendatei"},
    {ERR_NOT_OPEN, "Die Datei ist nicht geöffnet"},
    {ERR_DUPLICATE_KEY, "Der Schlüsselwert ist bereits vorhanden"},
    {ERR_INVALID_NAME, "Ungültiger Dateiname"},
    {ERR_LAYOUT_MISMATCH, "Der Satzaufbau der Datei passt nicht"},
    {ERR_TRANSACTION, "Die Transaktion ist fehlgeschlagen"},
    {ERR_ALREADY_OPEN, "Die Datei ist bereits geöffnet"},
    {ERR_REMOVE_OPEN, "Eine geöffnete Datei kann nicht gelöscht werden"},
    {ERR_TRANSACTION_ACTIVE, "Es ist bereits eine Transaktion aktiv"},
    {ERR_FILE_SYSTEM, "Fehler im Dateisystem"},
};

thread_local int tCode = 0;
thread_local std::string tFile;

} // namespace

int ErrorCode() { return tCode; }
std::string ErrorText() { return ErrorTextFor(tCode); }
std::string ErrorFile() { return tFile; }

std::string ErrorTextFor(int code) {
    for (const Entry& e : kTexts)
        if (e.code == code) return e.text;
    return "Fehler " + std::to_string(code);
}

int SetError(int code, std::string_view file) {
    tCode = code;
    if (code == 0) tFile.clear();
    else tFile.assign(file);
    return code;
}
