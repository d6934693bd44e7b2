#pragma once
// CCSVFile: a worksheet's shift types, working-time plan and flex plan exchanged with
// comma-separated text files - no header line, no quoting, one record per line. Reading splits
// fields at ";" and ","; writing puts "," behind every field. Times are "HH:MM" (times of day),
// dates "dd.mm.yyyy".
//
// Files are written with CR LF, through a temporary file beside the target that replaces it only
// when every write succeeded; an export removes what killed exports to the same target left. They
// are read with LF or CR LF, as UTF-8 when the bytes are valid UTF-8 and as Windows-1252
// otherwise, so a file is written in Windows-1252 unless that would read back as other text; then
// in UTF-8 with a byte-order mark. What an export writes reads back as it was: names that the
// format cannot carry (a separator or a control character in them, a plan cell whose short name
// finds another shift type) and times that read back as others (a 24-hour shift not beginning at
// midnight) refuse the export with a message naming the shift type or entry. An import reads and checks the whole file
// into a staging copy first and replaces the plan part only when the file is good: a bad file
// leaves the part (and so its undo steps) as it was, and the user gets one German message.
//
// Every question and message goes through the message dialog. The transfer operations return
// true only when the part was replaced (import) or the file written (export); the worksheet's
// commands store an undo step only then.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CAZPData;
class CFlexAZ;
class CSchicht;
class CSchichttypen;
struct QFLEXAZ;

// What was wrong with a file: its line (1-based, 0 for the file as a whole) and why.
struct CSVFehler {
    long ZEILE = 0;
    std::string TEXT;
};

class CCSVFile {
public:
    CCSVFile() = default;
    ~CCSVFile() = default;

    std::string FILENAME;  // blank after construction: the file dialog starts without a name
    uint8_t EXPORT = 0;    // 1 when the dialog was last opened for an export

    bool ExportSchichttypen(CSchichttypen& types);
    bool ImportSchichttypen(CSchichttypen& types);
    bool ExportAZP(CAZPData& azp);
    bool ImportAZP(CAZPData& azp);
    bool ExportFlexAZ(CFlexAZ& flex);
    bool ImportFlexAZ(CFlexAZ& flex);

    // Kind 1 shift types, 2 plans. 0 when a name was chosen (".csv" appended unless the name ends
    // in ".csv" in any letter case), 5 otherwise.
    uint8_t AskFileName(uint8_t kind, uint8_t exportFlag);

    // ---- the file-free part, also for tests and benchmarks ----
    // The fields of a line split at ";" and ",".
    static std::vector<std::string> SplitFields(const std::string& line);
    static std::string SchichtLine(const CSchicht& shift);
    static std::string AZPLine(const CAZPData& azp, uint32_t group);
    static std::string FlexLine(const QFLEXAZ& entry);
    // Why the part cannot be exported so that it reads back as it is (a German message naming the
    // shift type); nothing when it can.
    static std::optional<std::string> CheckSchichttypen(const CSchichttypen& types);
    static std::optional<std::string> CheckAZP(const CAZPData& azp);
    static std::optional<std::string> CheckFlexAZ(const CFlexAZ& flex);
    // Each reads the lines into a staging list; an error names the first bad line.
    static std::optional<CSVFehler> ReadSchichttypen(const std::vector<std::string>& lines, std::vector<CSchicht>& out);
    // Weeks from the first line's field count; cells by short name (unknown names stay empty).
    static std::optional<CSVFehler> ReadAZP(const std::vector<std::string>& lines, const CSchichttypen& types,
                                            uint16_t& weeks, std::vector<std::vector<uint32_t>>& groups);
    static std::optional<CSVFehler> ReadFlexAZ(const std::vector<std::string>& lines, CFlexAZ& out);
    // The staged shift types replace the list; a type whose short name the list already has keeps
    // that type's SYSID (the first of the file with that name), the others get new ones.
    static void ReplaceSchichttypen(CSchichttypen& types, std::vector<CSchicht>& staged);

    // The bytes of a regular file; anything else (folder, pipe, device) and a file too large are
    // refused at once: false with the German reason in `error` (the platform's file error text).
    static bool ReadBytes(const std::string& path, std::string& bytes, std::string& error);
    // The lines of a file's bytes (UTF-8 or Windows-1252, LF or CR LF); UTF-16, control characters,
    // overlong lines and too many lines are refused with the line they are in.
    static std::optional<CSVFehler> DecodeLines(const std::string& bytes, std::vector<std::string>& lines);
    // Refused (false, the German reason in `error`) when the file would not read back as `lines`.
    static bool WriteLines(const std::string& path, const std::vector<std::string>& lines, std::string& error);

private:
    bool Export(uint8_t kind, const std::vector<std::string>& lines);
    // Asks the file and reads it; false after a cancelled dialog or a read error (told).
    bool AskAndRead(uint8_t kind, const std::string& what, std::vector<std::string>& lines);
};
