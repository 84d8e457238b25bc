// The capture's copy of the program: the registry's roots pointed at the
// private key its caller made, then the control's DllRegisterServer run as
// the registration worker runs it.
#include <memory>
#include <vector>

#include "platform/Owned.h"

#include "platform/RegistryKey.h"
#include "registration/Capture.h"
#include "registration/Worker.h"

namespace ravlin {
namespace {

constexpr char kSwitch[] = "/capture ";
constexpr uint32_t kInfinite = 0xFFFFFFFF;
constexpr int kNoPrivateKey = static_cast<int>(0x80070002u);    // HRESULT of ERROR_FILE_NOT_FOUND
constexpr int kNotLoaded = static_cast<int>(0x8007007Eu);       // ERROR_MOD_NOT_FOUND
constexpr int kNoExport = static_cast<int>(0x8007007Fu);        // ERROR_PROC_NOT_FOUND
constexpr int kNotRun = static_cast<int>(0x80004005u);          // E_FAIL

struct KeyCloser {
  Platform* platform;
  void operator()(void* key) const { platform->RegCloseKey(key); }
};
using OwnedKey = std::unique_ptr<void, KeyCloser>;

// Each root, written through, lands in its own part of the private key.
struct Redirection {
  Redirection(Platform& platform, RegKey privateKey) : platform_(platform) {
    const std::pair<RegKey, const char*> roots[] = {
        {HkeyClassesRoot(), "HKCR"}, {HkeyLocalMachine(), "HKLM"}, {HkeyCurrentUser(), "HKCU"}, {HkeyUsers(), "HKU"}};
    for (const auto& root : roots) {
      RegKey part = nullptr;
      if (platform.RegCreateKeyExA(privateKey, root.second, kKeyAllAccess, &part, nullptr) != kErrorSuccess) return;
      parts_.emplace_back(part, KeyCloser{&platform});
      if (platform.RegOverridePredefKey(root.first, part) != kErrorSuccess) return;
      overridden_.push_back(root.first);
    }
  }
  ~Redirection() {
    for (RegKey root : overridden_) platform_.RegOverridePredefKey(root, nullptr);
  }
  Redirection(const Redirection&) = delete;
  Redirection& operator=(const Redirection&) = delete;
  bool Complete() const { return overridden_.size() == 4; }

 private:
  Platform& platform_;
  std::vector<OwnedKey> parts_;
  std::vector<RegKey> overridden_;
};

// The export on a worker of its own, so a fault ends that thread and is told.
int RunExport(Platform& platform, Proc entryPoint) {
  WorkerJob job{&platform, entryPoint};
  platform.InstallCrashFilter();
  uint32_t threadId = 0;
  const OwnedHandle thread(platform.CreateThread(nullptr, 0, &RegistrationWorker, &job, 0, &threadId),
                           HandleReleaser{&platform});
  if (!thread || platform.WaitForSingleObject(thread.get(), kInfinite) != kWaitObject0) return kNotRun;
  CrashRecord crash;
  if (platform.TakeCrashRecord(threadId, &crash)) return static_cast<int>(crash.code);
  uint32_t code = static_cast<uint32_t>(kNotRun);
  platform.GetExitCodeThread(thread.get(), &code);
  return job.returned ? static_cast<int>(code) : kNotRun;
}

}  // namespace

bool IsCaptureRequest(const std::string& commandLine) {
  return commandLine.compare(0, sizeof kSwitch - 1, kSwitch) == 0;
}

int RunCapture(Platform& platform, const std::string& commandLine) {
  const std::string rest = commandLine.substr(sizeof kSwitch - 1);
  const size_t space = rest.find(' ');
  if (space == std::string::npos) return kNoPrivateKey;
  std::string control = rest.substr(space + 1);
  if (control.size() >= 2 && control.front() == '"' && control.back() == '"') control = control.substr(1, control.size() - 2);
  RegKey opened = nullptr;
  if (platform.RegOpenKeyExA(HkeyCurrentUser(), rest.substr(0, space).c_str(), 0, kKeyAllAccess, &opened) !=
      kErrorSuccess)
    return kNoPrivateKey;
  const OwnedKey privateKey(opened, KeyCloser{&platform});
  const Redirection redirection(platform, privateKey.get());
  if (!redirection.Complete()) return kNoPrivateKey;
  const OwnedLibrary library(platform.LoadLibraryExA(control.c_str(), nullptr, kLoadWithAlteredSearchPath),
                             LibraryFreer{&platform});
  if (!library) return kNotLoaded;
  const Proc entryPoint = platform.GetProcAddress(library.get(), "DllRegisterServer");
  return entryPoint ? RunExport(platform, entryPoint) : kNoExport;
}

}  // namespace ravlin
