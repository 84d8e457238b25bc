#include "registration/SetupInstall.h"

#include "inspection/PlatformFile.h"
#include "platform/FileWrite.h"
#include "platform/Owned.h"
#include "platform/ResumeNext.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

using Kind = InstallRecord::Kind;
constexpr size_t kLargestRecord = 1 << 20;
constexpr int32_t kTypeLibraryNotRegistered = static_cast<int32_t>(0x80004005u);  // E_FAIL

// Each level of folder that is not there yet, made from the top down; those made are added to made.
bool MakeFolders(Platform& platform, const std::string& folder, std::vector<std::string>& made) {
  std::vector<std::string> missing;
  for (std::string at = folder; !at.empty() && !IsFolder(platform, at); at = FolderOf(at)) missing.push_back(at);
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
    if (!platform.CreateDirectoryA(level->c_str())) return false;
    made.push_back(*level);
  }
  return true;
}

// What was replaced is put back from its backup under the program's folder.
void Rollback(Platform& platform, const std::string& program, const std::vector<std::string>& replaced,
              const std::vector<std::string>& copied, const std::vector<std::string>& made) {
  for (const std::string& file : replaced)
    platform.MoveFileExA(BackupPathFor(program, FileNameOf(file)).c_str(), file.c_str(), kMoveFileReplaceExisting);
  for (auto file = copied.rbegin(); file != copied.rend(); ++file) platform.DeleteFileA(file->c_str());
  for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
    platform.RemoveDirectoryA(folder->c_str());
}

std::optional<Kind> RecordKindOf(SetupRegistration registration) {
  switch (registration) {
    case SetupRegistration::DllSelfRegister: return Kind::Control;
    case SetupRegistration::ExeSelfRegister: return Kind::ServerProgram;
    case SetupRegistration::TlbRegister: return Kind::TypeLibrary;
    default: return std::nullopt;
  }
}

void Register(Platform& platform, Registrar& registrar, Kind kind, const std::string& file, Action action,
              std::optional<Outcome>& outcome, std::optional<int32_t>& typeLibrary, const std::function<void()>& onBusy) {
  if (kind == Kind::Control) outcome = registrar.Run(file, action, onBusy);
  if (kind == Kind::ServerProgram) outcome = registrar.RunServerProgram(file, action, onBusy);
  if (kind != Kind::TypeLibrary) return;
  typeLibrary = kTypeLibraryNotRegistered;
  ResumeNext([&] {
    typeLibrary = action == Action::Register ? platform.RegisterTypeLibraryA(file.c_str())
                                             : platform.UnRegisterTypeLibraryA(file.c_str());
  });
}

bool Succeeded(const UndoneEntry& entry) {
  if (entry.typeLibrary) return *entry.typeLibrary >= 0;
  return entry.outcome && (entry.outcome->kind == Outcome::Kind::Completed ||
                           (entry.outcome->kind == Outcome::Kind::HandedOver && entry.outcome->code == 0));
}

// The cabinets' members were only ever needed for the copies.
void RemoveUnpacked(Platform& platform, const SetupSources& sources) {
  if (sources.unpacked.empty()) return;
  for (const std::string& name : sources.written)
    platform.DeleteFileA((sources.unpacked + "\\" + name).c_str());
  platform.RemoveDirectoryA(sources.unpacked.c_str());
}

// Folders and copies, all or none; the record of them and of what is to be registered.
bool CopyFiles(Platform& platform, const SetupPlan& plan, SetupRun& run, InstallRecord& record) {
  std::vector<std::string> made, copied;
  std::vector<std::string> replaced;
  const auto fail = [&](SetupRun::Why why, const std::string& path) {
    run.error = platform.GetLastError();
    Rollback(platform, plan.folders.program, replaced, copied, made);
    run.why = why;
    run.failedPath = path;
    return false;
  };
  if (!MakeFolders(platform, plan.folders.program, made)) return fail(SetupRun::Why::FolderNotMade, plan.folders.program);
  for (const PlannedFile& planned : plan.files) {
    if (planned.step != PlannedFile::Step::Install) continue;
    if (!MakeFolders(platform, FolderOf(planned.target), made)) return fail(SetupRun::Why::FolderNotMade, FolderOf(planned.target));
    if (planned.why == PlannedFile::Why::Replaces) {
      if (!MakeFolders(platform, FolderOf(planned.backup), made)) return fail(SetupRun::Why::FolderNotMade, FolderOf(planned.backup));
      // The one there copied to its backup, the package's copied in beside it under a name of its own, then
      // moved over it in one step; on a failure, what this made is removed again.
      const std::string partial = TemporaryNameFor(platform, planned.target);
      if (!platform.CopyFileA(planned.target.c_str(), planned.backup.c_str(), 1)) return fail(SetupRun::Why::CopyFailed, planned.backup);
      if (!platform.CopyFileA(planned.source.c_str(), partial.c_str(), 1) ||
          !platform.MoveFileExA(partial.c_str(), planned.target.c_str(), kMoveFileReplaceExisting)) {
        copied.push_back(planned.backup);
        copied.push_back(partial);
        return fail(SetupRun::Why::CopyFailed, planned.target);
      }
      replaced.push_back(planned.target);
      continue;
    }
    if (!platform.CopyFileA(planned.source.c_str(), planned.target.c_str(), 1)) return fail(SetupRun::Why::CopyFailed, planned.target);
    copied.push_back(planned.target);
  }
  for (const std::string& folder : made) record.entries.push_back({Kind::Folder, folder});
  for (const std::string& file : copied) record.entries.push_back({Kind::File, file});
  for (const std::string& file : replaced) record.entries.push_back({Kind::Replaced, file});
  for (const PlannedFile& planned : plan.files)
    // A shared file replaced stays registered when it is put back: other programs use it.
    if (planned.step == PlannedFile::Step::Install && planned.registers && planned.why != PlannedFile::Why::Replaces)
      record.entries.push_back({*RecordKindOf(planned.file.registration), planned.target});
  if (!WriteFileWhole(platform, run.record, RecordText(record))) return fail(SetupRun::Why::RecordNotWritten, run.record);
  return true;
}

}  // namespace

std::optional<InstallRecord> ReadInstallRecordAt(Platform& platform, const std::string& recordPath) {
  std::string text;
  return ReadWholeFile(platform, recordPath, kLargestRecord, text) ? std::optional<InstallRecord>(ReadInstallRecord(text)) : std::nullopt;
}

std::string RecordPathFor(const SetupPlan& plan) {
  return plan.folders.program + "\\" + RecordNameFor(FileNameOf(plan.program));
}

SetupRun InstallSetup(Platform& platform, Registrar& registrar, const SetupPlan& plan, const SetupProgress& onNext,
                      const std::function<void()>& onBusy) {
  SetupRun run;
  run.record = RecordPathFor(plan);
  InstallRecord record;
  record.setup = plan.folders.setup;
  if (IsOrdinaryFile(platform, run.record)) {
    run.why = SetupRun::Why::AlreadyInstalled;
  } else if (CopyFiles(platform, plan, run, record)) {
    size_t count = 0, position = 0;
    for (const PlannedFile& planned : plan.files) count += planned.registers ? 1 : 0;
    for (const PlannedFile& planned : plan.files) {
      SetupStepDone step{planned, planned.step == PlannedFile::Step::Install, std::nullopt, std::nullopt};
      if (planned.registers) {
        onNext(++position, count, planned.file.name);
        Register(platform, registrar, *RecordKindOf(planned.file.registration), planned.target, Action::Register,
                 step.outcome, step.typeLibrary, onBusy);
      }
      run.steps.push_back(std::move(step));
    }
  }
  RemoveUnpacked(platform, plan.sources);
  return run;
}

SetupUndo UndoInstall(Platform& platform, Registrar& registrar, const std::string& recordPath,
                      const SetupProgress& onNext, const std::function<void()>& onBusy) {
  SetupUndo undo;
  undo.record = recordPath;
  std::string text;
  undo.recordRead = ReadWholeFile(platform, recordPath, kLargestRecord, text);
  if (!undo.recordRead) return undo;
  const InstallRecord record = ReadInstallRecord(text);
  size_t count = 0, position = 0;
  for (const InstallRecord::Entry& entry : record.entries)
    count += entry.kind != Kind::Folder && entry.kind != Kind::File && entry.kind != Kind::Replaced;
  std::vector<UndoneEntry> folders;
  for (auto entry = record.entries.rbegin(); entry != record.entries.rend(); ++entry) {
    UndoneEntry undone{*entry, false, std::nullopt, std::nullopt};
    if (entry->kind == Kind::Folder) {
      folders.push_back(std::move(undone));
      continue;
    }
    if (entry->kind == Kind::File) {
      undone.done = platform.DeleteFileA(entry->path.c_str()) || !IsOrdinaryFile(platform, entry->path);
    } else if (entry->kind == Kind::Replaced) {
      const std::string backup = BackupPathFor(FolderOf(recordPath), FileNameOf(entry->path));
      undone.done = platform.MoveFileExA(backup.c_str(), entry->path.c_str(), kMoveFileReplaceExisting) != 0;
    } else {
      onNext(++position, count, FileNameOf(entry->path));
      Register(platform, registrar, entry->kind, entry->path, Action::Unregister, undone.outcome, undone.typeLibrary, onBusy);
      undone.done = Succeeded(undone);
    }
    undo.entries.push_back(std::move(undone));
  }
  platform.DeleteFileA(recordPath.c_str());
  for (UndoneEntry& folder : folders) {
    folder.done = platform.RemoveDirectoryA(folder.entry.path.c_str()) != 0;
    undo.entries.push_back(std::move(folder));
  }
  return undo;
}

}  // namespace ravlin
