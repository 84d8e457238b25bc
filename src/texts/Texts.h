#pragma once
// Every text the program tells the user, but the captions of the layout table:
// the fixed texts, and the messages made from an outcome or a summary. A
// message's first line is the plain outcome; what it adds follows a blank line.
#include <string>

#include "inspection/LoadDiagnosis.h"
#include "inspection/VersionSummary.h"
#include "registration/Outcome.h"

namespace ravlin {
namespace text {

// Start-up and the companion control.
constexpr char kFileSpecLabel[] = "File specification of OCX/DLL";
constexpr char kFileSpecExample[] = "    e.g. c:\\Windows\\System\\mswinsck.ocx";
constexpr char kFound[] = "Found";
constexpr char kNotFound[] = "NOT FOUND:";
constexpr char kPleasePlace[] = "Please place RICHTX32.OCX in ";
constexpr char kInZip[] = "RICHTX32.OCX file isincluded in zip file";
constexpr char kIfNotSuccessful[] = "If not successful then ";
constexpr char kRightClickOn[] = "rightclick on '";
constexpr char kRunAsAdministrator[] = " and select 'Run as Adminstrator'";

// The confirmation workflow.
constexpr char kNoFileYet[] = "No path and filename yet";
constexpr char kFileNotFound[] = "File not found";
constexpr char kConfirmation[] = "WWW";
constexpr char kNoVersion[] = "(No Product Version available for this file)";
// A program's control whose file changed between Register and Proceed.
constexpr char kControlChanged[] = "its file has changed since it was confirmed: not run.";
constexpr char kChangedSinceConfirmed[] =
    "The file has changed since it was confirmed: nothing was run.\r\n\r\n"
    "What it is now is shown: check it, then press Proceed again or Cancel.";
constexpr char kNameChangedWhileConfirming[] =
    "The file name was changed while waiting for Proceed: nothing was run. Press Register again.";

// The registration's first lines.
constexpr char kCompleted[] = "Process completed";
constexpr char kLoadFailed[] = "Failure loading control DLL";
constexpr char kUnknownCommand[] = "Unknown command handle";
constexpr char kNoEntryPoint[] = "Process failed in obtaining entry point or creating thread.";
constexpr char kTimedOut[] = "Process failed in signaled state or time-out.";

}  // namespace text

// The message box that tells an outcome.
// The words for an error or result code: the system's when it has them,
// otherwise the program's own for the codes registration meets most; "" for none.
std::string CodeWords(uint32_t code, const std::string& systemWords);

std::string MessageFor(const Outcome& outcome);
// Why a load failed, in a sentence; "" when nothing is known.
std::string ReasonFor(const LoadDiagnosis& diagnosis);
// Under the text box, when the command line named several files: how many,
// and that the first is in the box; "" for one or none.
std::string NamedFilesLine(size_t count);
// lblFileInfo's caption for a summary.
std::string FileInfoCaption(const VersionSummary& summary);

}  // namespace ravlin
