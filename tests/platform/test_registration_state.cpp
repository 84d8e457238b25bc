// The state reader against Wine's real registry: its own controls, a test
// control that registers a class, and a class left pointing at a missing copy.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "inspection/RegistrationState.h"
#include "Fixtures.h"
#include "platform/win32/WinPlatform.h"

namespace ravlin {
namespace {

// Both copies of Wine's scripting host, as this program names them: its own
// architecture's and, on a 64-bit system whose 32-bit half ran, the other's.
std::vector<std::string> ScriptingHosts() {
  char system[MAX_PATH] = {}, wow64[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string name = "\\wshom.ocx";
  if (GetSystemWow64DirectoryA(wow64, MAX_PATH) == 0) return {system + name};
  if (sizeof(void*) == 8) return HostRuns32Bit() ? std::vector<std::string>{system + name, wow64 + name}
                                                 : std::vector<std::string>{system + name};
  return {wow64 + name, std::string(windows) + "\\Sysnative" + name};
}

std::vector<std::string> ProgIds(const RegistrationState& state) {
  std::vector<std::string> ids;
  for (const RegisteredClass& registered : state.classes) ids.push_back(registered.progId);
  return ids;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Runs one of a test control's exports in this process, as regsvr32 would.
HRESULT RunExport(const std::string& control, const char* exportName) {
  HMODULE library = LoadLibraryA(control.c_str());
  if (!library) return HRESULT_FROM_WIN32(GetLastError());
  using Export = HRESULT(STDAPICALLTYPE*)();
  const auto entry = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(library, exportName)));
  const HRESULT result = entry ? entry() : E_NOINTERFACE;
  FreeLibrary(library);
  return result;
}

TEST(RegistrationStateUnderWine, WinesScriptingHostIsRegisteredToItsOwnFile) {
  WinPlatform platform;
  for (const std::string& host : ScriptingHosts()) {
    SCOPED_TRACE(host);
    const RegistrationState state = ReadRegistrationState(platform, host);
    ASSERT_TRUE(state.read);
    EXPECT_TRUE(Contains(ProgIds(state), "WScript.Shell"));
    EXPECT_FALSE(state.typeLibraries.empty());
  }
}

TEST(RegistrationStateUnderWine, ATestControlsClassComesAndGoesWithItsRegistration) {
  WinPlatform platform;
  const std::string control = Fixture("realclass.ocx");
  ASSERT_EQ(RunExport(control, "DllRegisterServer"), S_OK);
  const RegistrationState registered = ReadRegistrationState(platform, control);
  char shortPath[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameA(control.c_str(), shortPath, MAX_PATH), 0u);
  const RegistrationState byShortName = ReadRegistrationState(platform, shortPath);
  ASSERT_EQ(RunExport(control, "DllUnregisterServer"), S_OK);
  const RegistrationState unregistered = ReadRegistrationState(platform, control);

  ASSERT_EQ(registered.classes.size(), 1u);
  EXPECT_EQ(registered.classes[0].clsid, "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE10}");
  EXPECT_EQ(registered.classes[0].progId, "Ravlin.RealClass");
  EXPECT_EQ(registered.classes[0].name, "Ravlin real class");
  EXPECT_TRUE(registered.otherCopies.empty());
  EXPECT_EQ(ProgIds(byShortName), ProgIds(registered)) << shortPath;
  EXPECT_TRUE(unregistered.read);
  EXPECT_TRUE(unregistered.classes.empty());
  EXPECT_TRUE(unregistered.otherCopies.empty());
}

// A per-user class of this program's own view, removed again however the test ends.
class PerUserClass {
 public:
  PerUserClass(const std::string& clsid, const std::string& server)
      : key_("Software\\Classes\\CLSID\\" + clsid) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\InprocServer32").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    created_ = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                              static_cast<DWORD>(server.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  ~PerUserClass() {
    RegDeleteKeyA(HKEY_CURRENT_USER, (key_ + "\\InprocServer32").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
  }
  PerUserClass(const PerUserClass&) = delete;
  PerUserClass& operator=(const PerUserClass&) = delete;
  bool created() const { return created_; }
  // Points the class's server elsewhere, leaving the class key itself untouched.
  bool SetServer(const std::string& server) {
    return RegSetKeyValueA(HKEY_CURRENT_USER, (key_ + "\\InprocServer32").c_str(), nullptr, REG_SZ, server.c_str(),
                           static_cast<DWORD>(server.size() + 1)) == ERROR_SUCCESS;
  }

 private:
  std::string key_;
  bool created_ = false;
};

// The user's own registration of a class wins over the machine's: here it
// points at a copy that has since gone.
TEST(RegistrationStateUnderWine, AClassOfAMissingCopyIsReportedWithThatCopy) {
  WinPlatform platform;
  const std::string control = Fixture("realclass.ocx");
  const std::string missing = "C:\\RavlinGone\\realclass.ocx";
  ASSERT_EQ(RunExport(control, "DllRegisterServer"), S_OK);
  RegistrationState state;
  {
    const PerUserClass stale("{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE10}", missing);
    ASSERT_TRUE(stale.created());
    state = ReadRegistrationState(platform, control);
  }
  RunExport(control, "DllUnregisterServer");

  EXPECT_TRUE(state.classes.empty());
  ASSERT_EQ(state.otherCopies.size(), 1u);
  EXPECT_EQ(state.otherCopies[0].registeredClass.clsid, "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE10}");
  EXPECT_EQ(state.otherCopies[0].path, missing);
  EXPECT_FALSE(state.otherCopies[0].exists);
}

TEST(RegistrationStateUnderWine, AControlThatRegistersNoClassReadsAsNotRegistered) {
  WinPlatform platform;
  const std::string control = Fixture("server.ocx");
  ASSERT_EQ(RunExport(control, "DllRegisterServer"), S_OK);
  const RegistrationState state = ReadRegistrationState(platform, control);
  RunExport(control, "DllUnregisterServer");

  EXPECT_TRUE(state.read);
  EXPECT_TRUE(state.classes.empty());
  EXPECT_TRUE(state.typeLibraries.empty());
  EXPECT_TRUE(state.otherCopies.empty());
}

// --- The read after a yes, which starts from an earlier read ------------------

const char kRealClass[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE10}";
const char kOtherClass[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE24}";

RegistrationState ReadSince(Platform& platform, const std::string& file, const ReadBasis& basis) {
  return ReadRegistrationState(platform, file, 0, DefaultClassesRoots(), {&basis, nullptr});
}

// The keys planted here are seconds old at most. Moved on, the earlier read's
// start leaves only what that read saw naming the file or its name to tell
// them from the classes it may pass over.
ReadBasis Aged(ReadBasis basis) {
  basis.startedAt += 60 * 10000000ull;
  return basis;
}

// Classes and other copies, as one text to compare a read with.
std::string Found(const RegistrationState& state) {
  std::string found = state.read ? "read:" : "unread:";
  for (const RegisteredClass& registered : state.classes) found += " " + registered.clsid + "=" + registered.progId;
  for (const ClassOfAnotherCopy& other : state.otherCopies)
    found += " " + other.registeredClass.clsid + "@" + other.path;
  return found;
}

TEST(ReadAfterAYesUnderWine, FindsAClassWhoseServerAloneNowPointsAtTheFile) {
  WinPlatform platform;
  const std::string control = Fixture("realclass.ocx");
  PerUserClass moved(kOtherClass, "C:\\RavlinGone\\realclass.ocx");
  ASSERT_TRUE(moved.created());
  const RegistrationState before = ReadRegistrationState(platform, control);
  ASSERT_TRUE(moved.SetServer(control));
  const RegistrationState after = ReadSince(platform, control, Aged(before.basis));

  EXPECT_EQ(Found(before), std::string("read: ") + kOtherClass + "@C:\\RavlinGone\\realclass.ocx");
  EXPECT_EQ(Found(after), std::string("read: ") + kOtherClass + "=");
  EXPECT_EQ(Found(after), Found(ReadRegistrationState(platform, control)));
}

// The user's class hid the machine's; once it is gone the machine's shows.
TEST(ReadAfterAYesUnderWine, ARemovedClassGoesAndTheOneItHidShows) {
  WinPlatform platform;
  const std::string control = Fixture("realclass.ocx");
  ASSERT_EQ(RunExport(control, "DllRegisterServer"), S_OK);
  RegistrationState before;
  {
    const PerUserClass stale(kRealClass, "C:\\RavlinGone\\realclass.ocx");
    ASSERT_TRUE(stale.created());
    before = ReadRegistrationState(platform, control);
  }
  const RegistrationState after = ReadSince(platform, control, Aged(before.basis));
  const RegistrationState full = ReadRegistrationState(platform, control);
  RunExport(control, "DllUnregisterServer");

  EXPECT_EQ(Found(before), std::string("read: ") + kRealClass + "@C:\\RavlinGone\\realclass.ocx");
  EXPECT_EQ(Found(after), std::string("read: ") + kRealClass + "=Ravlin.RealClass");
  EXPECT_EQ(Found(after), Found(full));
}

TEST(ReadAfterAYesUnderWine, FindsAClassAddedSinceTheEarlierRead) {
  WinPlatform platform;
  const std::string control = Fixture("realclass.ocx");
  const RegistrationState before = ReadRegistrationState(platform, control);
  const PerUserClass added(kOtherClass, control);
  ASSERT_TRUE(added.created());
  const RegistrationState after = ReadSince(platform, control, before.basis);

  EXPECT_EQ(Found(before), "read:");
  EXPECT_EQ(Found(after), std::string("read: ") + kOtherClass + "=");
  EXPECT_EQ(Found(after), Found(ReadRegistrationState(platform, control)));
  // Written before a read that did not see it, it would be taken for some other file's.
  EXPECT_EQ(Found(ReadSince(platform, control, Aged(before.basis))), "read:");
}

}  // namespace
}  // namespace ravlin
