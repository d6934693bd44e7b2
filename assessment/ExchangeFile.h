#pragma once
// The record files of their own through which a worksheet's strain assessments and cost settings
// are edited ("Belastungseinschaetzungen.tmp", "Kosten.tmp") and exchanged (".eba", ".eco"):
// one table in one disk file, reached through its access object. A file is written whole or not
// at all, and reading refuses what is not ours before anything in memory changes. The functions
// return the file error code (platform/records/FileError.h), 0 when done.
#include <functional>
#include <string>
#include <string_view>

class FwFileManager;
class RecordFile;

// The name with trailing blanks removed and "." + ext appended, unless it already ends in
// "." + ext in any letter case.
std::string WithExtension(std::string_view name, std::string_view ext);

// Replaces the file's records by those that fill adds (FileAdd on the file, returning its error
// code): a failure leaves the file as it was. An open file is rewritten in one transaction; a file
// nobody has open is written whole into a scratch file that then takes its place (ExportRecords),
// so that it is never removed or emptied before its new content is safe.
int ReplaceRecords(FwFileManager& target, const std::function<int(RecordFile&)>& fill);

// Opens the file quietly (with mayCreate, a missing file is created empty; without it, a missing
// file is refused with 2), hands each record in stored order to take, and unless keep empties the
// file afterwards; closes it. take returns 0 to go on, a negative number to stop reading without
// error, or an error code, which ends the read with that code and leaves the file unchanged.
int ReadRecords(FwFileManager& source, bool keep, bool mayCreate,
                const std::function<int(const RecordFile&)>& take);

// Writes an exchange file: write fills a scratch file of the access object's layout, which is
// then copied over target in one piece (an existing file is replaced, a failure leaves it as it
// was). The access object keeps target as its name; it must not be open (52).
int ExportRecords(FwFileManager& access, const std::string& target,
                  const std::function<int(FwFileManager&)>& write);

// The German warning for a file that could not be read (saving false) or written, naming the
// file and the reason; kind names what the file should be ("EBA-Datei").
void ShowFileProblem(bool saving, const std::string& file, int code, std::string_view kind);

// Whether the edit file is in use by another edit (a dialog of another worksheet, or the frame's
// editor of a user's file, which lends it that file's name): then says so and returns true. An
// edit holds its file open from start to end, so that two edits never write into each other's.
bool EditFileBusy(FwFileManager& editFile, std::string_view what);
