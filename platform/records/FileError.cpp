#include "platform/records/FileError.h"

#include "platform/values/Locale.h"

namespace {

struct Entry { int code; const char* key; const char* text; };

// The one table of file error texts: the locale's message of the key, else the text here.
constexpr Entry kTexts[] = {
    {ERR_NONE, "Datei.KeinFehler", "Kein Fehler"},
    {ERR_FILE_NOT_FOUND, "Datei.NichtGefunden", "Datei nicht gefunden"},
    {ERR_PATH_NOT_FOUND, "Datei.PfadNichtGefunden", "Pfad nicht gefunden"},
    {ERR_ACCESS_DENIED, "Datei.ZugriffVerweigert", "Zugriff verweigert"},
    {ERR_FILE_IN_USE, "Datei.Benutzt", "Die Datei wird bereits von einem anderen Programm benutzt"},
    {ERR_NO_RECORD, "Datei.KeinWeitererSatz", "Kein weiterer Datensatz vorhanden"},
    {ERR_RECORD_NOT_FOUND, "Datei.SatzNichtGefunden", "Datensatz nicht gefunden"},
    {ERR_INVALID_FILE, "Datei.Ungueltig", "Ungültige oder beschädigte Datendatei"},
    {ERR_DISK_FULL, "Datei.Voll", "Der Datenträger ist voll"},
    {ERR_NOT_OPEN, "Datei.NichtGeoeffnet", "Die Datei ist nicht geöffnet"},
    {ERR_DUPLICATE_KEY, "Datei.SchluesselVorhanden", "Der Schlüsselwert ist bereits vorhanden"},
    {ERR_INVALID_NAME, "Datei.NameUngueltig", "Ungültiger Dateiname"},
    {ERR_LAYOUT_MISMATCH, "Datei.SatzaufbauFalsch", "Der Satzaufbau der Datei passt nicht"},
    {ERR_TRANSACTION, "Datei.TransaktionFehlgeschlagen", "Die Transaktion ist fehlgeschlagen"},
    {ERR_ALREADY_OPEN, "Datei.BereitsGeoeffnet", "Die Datei ist bereits geöffnet"},
    {ERR_REMOVE_OPEN, "Datei.GeoeffnetLoeschen", "Eine geöffnete Datei kann nicht gelöscht werden"},
    {ERR_TRANSACTION_ACTIVE, "Datei.TransaktionAktiv", "Es ist bereits eine Transaktion aktiv"},
    {ERR_FILE_SYSTEM, "Datei.Dateisystem", "Fehler im Dateisystem"},
};

thread_local int tCode = 0;
thread_local std::string tFile;

} // namespace

int ErrorCode() { return tCode; }
std::string ErrorText() { return ErrorTextFor(tCode); }
std::string ErrorFile() { return tFile; }

std::string ErrorTextFor(int code) {
    for (const Entry& e : kTexts)
        if (e.code == code) return LocaleMessageOr(e.key, e.text);
    return LocaleMessageOr("Datei.Fehler", "Fehler %1", {std::to_string(code)});
}

int SetError(int code, std::string_view file) {
    tCode = code;
    if (code == 0) tFile.clear();
    else tFile.assign(file);
    return code;
}
