#pragma once
// What installing a setup folder did, written beside the program as
// <AppExe>.install.txt so that it can be undone exactly: the folders it made,
// the files it copied and what it registered of them. Nothing else is ever
// undone: a file that was there before is in it only when it was replaced, and
// then undoing puts back its copy from the program's folder.
#include <string>
#include <vector>

namespace ravlin {

struct InstallRecord {
  enum class Kind { Folder, File, Control, ServerProgram, TypeLibrary, Replaced };
  struct Entry {
    Kind kind = Kind::File;
    std::string path;  // in full
  };
  std::string setup;           // the setup folder it came from
  std::vector<Entry> entries;  // in the order they were done
};

// One line per entry, after a line naming the setup folder; UTF-8, "\r\n".
std::string RecordText(const InstallRecord& record);

// The record a text holds; a line it does not know is passed over, so a
// damaged record undoes less, never more.
InstallRecord ReadInstallRecord(const std::string& text);

// Where a file replaced is kept: <program folder>\Replaced\<its name>.
std::string BackupPathFor(const std::string& programFolder, const std::string& fileName);

// "pdfPrint.exe.install.txt"; "setup.install.txt" for a list without AppExe.
std::string RecordNameFor(const std::string& appExe);

}  // namespace ravlin
