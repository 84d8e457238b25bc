#include <gtest/gtest.h>

#include <functional>

#include "texts/Texts.h"

namespace ravlin {
namespace {

using Kind = Outcome::Kind;

constexpr char kRightsAdvice[] =
    "Registering a control usually needs administrator rights: close this program, start it with "
    "'Run as administrator' and try again.";

// One outcome, built from its kind and whatever the row sets.
Outcome Of(Kind kind, const std::function<void(Outcome&)>& set = {}) {
  Outcome outcome;
  outcome.kind = kind;
  if (set) set(outcome);
  return outcome;
}

LoadDiagnosis Diagnosis(LoadDiagnosis::Kind kind, const std::function<void(LoadDiagnosis&)>& set = {}) {
  LoadDiagnosis diagnosis;
  diagnosis.kind = kind;
  if (set) set(diagnosis);
  return diagnosis;
}

TEST(Texts, EveryOutcomeHasItsMessage) {
  using D = LoadDiagnosis::Kind;
  const std::string loadFailed = "Failure loading control DLL";
  const std::string kNoEntry = "Process failed in obtaining entry point or creating thread.\r\n\r\n";
  const struct Row {
    const char* name;
    Outcome outcome;
    std::string message;
  } rows[] = {
      {"completed", Of(Kind::Completed), "Process completed"},
      {"no entry point", Of(Kind::NoEntryPoint), "Process failed in obtaining entry point or creating thread."},
      {"timed out", Of(Kind::TimedOut),
       "Process failed in signaled state or time-out.\r\nThe control is still running and may yet finish its work."},
      // A failing export: its code, the system's words, else the well-known ones, and the advice.
      {"refused, with advice",
       Of(Kind::ExportFailed, [](Outcome& o) { o.code = 0x80070005; o.codeDescription = "Access is denied."; o.rightsAdvice = true; }),
       "Process failed with error code 0x80070005\r\nAccess is denied.\r\n\r\n" + std::string(kRightsAdvice)},
      {"well-known words", Of(Kind::ExportFailed, [](Outcome& o) { o.code = 0x800401F0; }),
       "Process failed with error code 0x800401F0\r\nCoInitialize has not been called."},
      {"the system's words first",
       Of(Kind::ExportFailed, [](Outcome& o) { o.code = 0x80040200; o.codeDescription = "Its own words"; }),
       "Process failed with error code 0x80040200\r\nIts own words"},
      {"no words at all", Of(Kind::ExportFailed, [](Outcome& o) { o.code = 0xFFFFFFFF; }),
       "Process failed with error code 0xFFFFFFFF"},
      {"crash in a module",
       Of(Kind::Crashed, [](Outcome& o) { o.crash = CrashRecord{0xC0000005, 0x10001010, "acc_crash.ocx", 0x1010}; }),
       "Process failed: the control crashed in DllRegisterServer (exception 0xC0000005, access violation at "
       "acc_crash.ocx+0x1010)."},
      {"crash nowhere known",
       Of(Kind::Crashed, [](Outcome& o) { o.action = Action::Unregister; o.crash = CrashRecord{0xE0000001, 0x1234, "", 0}; }),
       "Process failed: the control crashed in DllUnregisterServer (exception 0xE0000001, at 0x00001234)."},
      // The load failure's reasons.
      {"loader said nothing", Of(Kind::LoadFailed), loadFailed},
      {"not a library", Of(Kind::LoadFailed, [](Outcome& o) { o.diagnosis = Diagnosis(D::NotALibrary); }),
       loadFailed + "\r\n\r\nThe file is not a program library."},
      {"Itanium", Of(Kind::LoadFailed, [](Outcome& o) { o.diagnosis = Diagnosis(D::OtherProcessor, [](LoadDiagnosis& d) { d.machine = kMachineIa64; }); }),
       loadFailed + "\r\n\r\nThe file is a library for Itanium processors, which this program cannot load."},
      {"missing chain",
       Of(Kind::LoadFailed, [](Outcome& o) { o.diagnosis = Diagnosis(D::MissingDependency, [](LoadDiagnosis& d) { d.chain = {"a.dll", "b.dll"}; }); }),
       loadFailed + "\r\n\r\nIt needs a.dll, which needs b.dll, which was not found beside it or in the system folders."},
      {"loader's error", Of(Kind::LoadFailed, [](Outcome& o) { o.diagnosis = Diagnosis(D::LoaderError, [](LoadDiagnosis& d) { d.error = 193; }); }),
       loadFailed + "\r\n\r\nError 193."},
      {"loader's error described",
       Of(Kind::LoadFailed, [](Outcome& o) { o.diagnosis = Diagnosis(D::LoaderError, [](LoadDiagnosis& d) { d.error = 5; d.description = "Access denied."; }); }),
       loadFailed + "\r\n\r\nError 5: Access denied."},
      // The other architecture's tool, by its exit code.
      {"tool: done", Of(Kind::HandedOver), "Process completed"},
      {"tool: could not load", Of(Kind::HandedOver, [](Outcome& o) { o.code = 3; }), loadFailed},
      {"tool: could not load, chain",
       Of(Kind::HandedOver, [](Outcome& o) { o.code = 3; o.diagnosis = Diagnosis(D::MissingDependency, [](LoadDiagnosis& d) { d.chain = {"vb6.dll"}; }); }),
       loadFailed + "\r\n\r\nIt needs vb6.dll, which was not found beside it or in the system folders."},
      {"tool: no entry point", Of(Kind::HandedOver, [](Outcome& o) { o.code = 4; }),
       "Process failed in obtaining entry point or creating thread."},
      {"tool: export failed", Of(Kind::HandedOver, [](Outcome& o) { o.code = 5; }),
       "Process failed: the control's own registration reported an error."},
      {"ended its own thread", Of(Kind::EndedThread, [](Outcome& o) { o.code = 7; }),
       "Process failed: the control ended its thread without returning from DllRegisterServer (exit code 7)."},
      // The place named is the control, not the system library that raised the exception.
      {"C++ exception",
       Of(Kind::Crashed, [](Outcome& o) { o.file = "C:\\x\\cppthrow.ocx"; o.crash = CrashRecord{0xE06D7363, 0x7B000, "KERNELBASE.dll", 0x40}; }),
       "Process failed: a C++ exception was thrown out of DllRegisterServer of cppthrow.ocx (exception 0xE06D7363)."},
      {"start-up refused",
       Of(Kind::LoadFailed, [](Outcome& o) { o.diagnosis = Diagnosis(D::StartupRefused, [](LoadDiagnosis& d) { d.error = 1114; }); }),
       loadFailed + "\r\n\r\nThe control's own start-up code (DllMain) refused to load (error 1114)."},
      {"no export", Of(Kind::NoEntryPoint, [](Outcome& o) { o.action = Action::Unregister; o.instead = Outcome::Instead::NoExport; }),
       kNoEntry + "It has no DllUnregisterServer export: it is not a self-registering control."},
      {"DllInstall only", Of(Kind::NoEntryPoint, [](Outcome& o) { o.file = "C:\\i.dll"; o.instead = Outcome::Instead::DllInstallOnly; }),
       kNoEntry + "It has no DllRegisterServer export, but it has DllInstall: register it with regsvr32 /i /n \"C:\\i.dll\"."},
      {".NET", Of(Kind::NoEntryPoint, [](Outcome& o) { o.file = "C:\\n.dll"; o.instead = Outcome::Instead::DotNetAssembly; }),
       kNoEntry + "It is a .NET assembly, not a self-registering control: register it with RegAsm (regasm /codebase "
                  "\"C:\\n.dll\") from the .NET Framework."},
      {"EXE, unregistering", Of(Kind::NoEntryPoint, [](Outcome& o) { o.action = Action::Unregister; o.instead = Outcome::Instead::Program; }),
       kNoEntry + "It is a program (EXE), not a library: run it with /UnregServer to unregister it."},
      {"late", Of(Kind::Completed, [](Outcome& o) { o.late = true; o.file = "C:\\slow.ocx"; }),
       "C:\\slow.ocx has finished after the time limit:\r\n\r\nProcess completed"},
      {"tool: other code", Of(Kind::HandedOver, [](Outcome& o) { o.code = 0xC0000005; }),
       "Process failed: the registration tool ended with code 3221225477."},
  };
  for (const Row& row : rows) EXPECT_EQ(MessageFor(row.outcome), row.message) << row.name;
}

TEST(Texts, TheFileInfoCaptionNeedsAProductVersionThatIsMoreThanSpaces) {
  const struct Row {
    bool blockRead;
    const char* company;
    const char* version;
    std::string caption;
  } rows[] = {
      {true, "Ravlin", "4.2", "Company Name:  Ravlin\r\nProduct Version:  4.2"},
      {true, "", "4.2", "Company Name:  \r\nProduct Version:  4.2"},
      {true, "Ravlin", "  ", "(No Product Version available for this file)"},
      {false, "Ravlin", "4.2", "(No Product Version available for this file)"},
  };
  for (const Row& row : rows) {
    VersionSummary summary;
    summary.blockRead = row.blockRead;
    summary.company = row.company;
    summary.version = row.version;
    EXPECT_EQ(FileInfoCaption(summary), row.caption) << row.company << "|" << row.version;
  }
}

}  // namespace
}  // namespace ravlin
