#pragma once
// The program's 25 record files: 14 layouts and 11 aliases that repeat a layout under a prefix of
// their own. Each file is one program-wide record buffer (the RecordFile itself, so code reads
// FileSet(AZP, "KeyID") and AZP.GetInt("GRUPPE")) and one program-wide access object, reached
// through the reference Access::AZP while the access objects are set up.
//
// Disk names: the project tables, STAMP, the temporary files, XIBEL and XIKOST read their name
// from GlobalFileName at every open, create and remove, until an access object gives its file a
// name of its own (SetName). The configuration tables, WARNTXT and EBA are named at start-up by
// NameProgramFiles; XISCHICHT is never named.
#include <string>
#include <string_view>
#include <vector>

#include "platform/fw/FwError.h"
#include "platform/fw/FwFileManager.h"
#include "platform/records/RecordFile.h"

// The shared name variable: the code that opens one of the files above sets it just before.
extern std::string GlobalFileName;

// Project tables (of the project's working copy).
extern RecordFile SCHICHT;     // "Schichttypen"
extern RecordFile AZP;         // "Schichtfolgen"
extern RecordFile AKB;         // "Arbeitskraeftebedarf"
extern RecordFile SBP;         // "Schichtbedarf"
extern RecordFile FLEX;        // "Flexzeiten"
extern RecordFile BEL;         // "Belastungseinschaetzungen"
extern RecordFile KOST;        // "Kosten"
extern RecordFile KRI;         // "Kriterien"
extern RecordFile RB;          // "Rahmenbedingungen"
extern RecordFile INFO;        // "Projektinfo"
extern RecordFile BLATT;       // "Arbeitsblatt"
extern RecordFile STAMP;       // "Filestamp"
// Configuration and strain constants.
extern RecordFile WARNTXT;     // "varn4.cfg" table "warntexte"
extern RecordFile EBA;         // "eba.cfg"
// Aliases.
extern RecordFile TMPSCHICHT;  // SCHICHT: "schichttypen.tmp-…~" in the temporary folder
extern RecordFile XISCHICHT;   // SCHICHT: declared only
extern RecordFile TMPFLEX;     // FLEX: "flexzeiten.tmp-…~", only its buffer is used
extern RecordFile TMPBEL;      // BEL: "Belastungseinschaetzungen.tmp-…~"
extern RecordFile XIBEL;       // BEL: the user's ".eba" file
extern RecordFile TMPKOST;     // KOST: "Kosten.tmp-…~"
extern RecordFile XIKOST;      // KOST: the user's ".eco" file
extern RecordFile KRIDEFAULT;  // KRI: "varn4.cfg" table "kriterienvorgaben"
extern RecordFile RBDEFAULT;   // RB: "varn4.cfg" table "rahmenbedingungenvorgaben"
extern RecordFile RBWARN;      // RB: "varn4.cfg" table "warngrenzen"
extern RecordFile RBFEHLER;    // RB: "varn4.cfg" table "fehlergrenzen"

// The program-wide references to the access objects: set by InitFileAccess, nullptr before it
// and after ReleaseFileAccess.
namespace Access {
extern FwFileManager* SCHICHT;
extern FwFileManager* AZP;
extern FwFileManager* AKB;
extern FwFileManager* SBP;
extern FwFileManager* FLEX;
extern FwFileManager* BEL;
extern FwFileManager* KOST;
extern FwFileManager* KRI;
extern FwFileManager* RB;
extern FwFileManager* INFO;
extern FwFileManager* BLATT;
extern FwFileManager* STAMP;
extern FwFileManager* WARNTXT;
extern FwFileManager* EBA;
extern FwFileManager* TMPSCHICHT;
extern FwFileManager* XISCHICHT;
extern FwFileManager* TMPFLEX;
extern FwFileManager* TMPBEL;
extern FwFileManager* XIBEL;
extern FwFileManager* TMPKOST;
extern FwFileManager* XIKOST;
extern FwFileManager* KRIDEFAULT;
extern FwFileManager* RBDEFAULT;
extern FwFileManager* RBWARN;
extern FwFileManager* RBFEHLER;
} // namespace Access

// One row per file, in the order of set-up (the first group, then the second).
struct ProgramFile {
    RecordFile* file;
    FwFileManager** access;   // the program-wide reference
    RecordFile* aliasOf;      // the file whose layout an alias repeats; nullptr for an own layout
    bool sharedName;          // takes its disk name from GlobalFileName
    int group;                // 1 or 2
};
const std::vector<ProgramFile>& ProgramFiles();

// Sets up every access object with its file, the error object, the name variable, the alias's
// base access object, lock recovery 10, read/write exclusive, creation when missing and the keys
// of its layout, and stores it in its reference.
void InitFileAccess(FwError& errors = GlobalErrorHandler);
// Releases every access object (closing what it opened) and clears each reference.
void ReleaseFileAccess();

// Names the files that live in the start-up directory or the current one: EBA as
// <directory>/eba.cfg, WARNTXT and the four defaults tables as tables of <directory>/varn4.cfg,
// the temporary files without a directory; cuts the link of every alias to its base. Returns the
// name of the configuration file.
std::string NameProgramFiles(std::string_view startDirectory);
