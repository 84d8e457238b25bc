#pragma once
// What a control file serves, as a manifest declares it: its type libraries
// and the classes a program can create, each with its threading model,
// ProgIDs and MiscStatus. Caught from the control's own registration where
// that could run, otherwise read from its type library.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/RegistryKey.h"

namespace ravlin {

struct ClassRegistration {
  std::string clsid;                 // "{...}", any case
  std::string threadingModel;        // as written there; "" when it names none
  std::vector<std::string> progIds;  // the version-independent one first
  uint32_t miscStatus = 0;           // OLEMISC bits; 0 when none
  std::string tlbid;                 // the type library that describes it; "" when none
};

struct DescribedLibrary {
  std::string libid;    // "{...}"
  std::string version;  // decimal "major.minor", "2.10"
  uint16_t flags = 0;   // kLibFlag... of Platform.h
};

struct ControlDescription {
  enum class Source { Nothing, Capture, TypeLibrary };
  // Why the control's registration could not be caught, when it could not.
  enum class CaptureFailure {
    None,
    NoProgram,   // no build of this program for the control's processor is at hand
    NotStarted,  // that program could not be started
    TimedOut,    // the control ran past the limit
    Refused,     // captureCode: the control's failure code, or the fault that ended it
    NothingRegistered,  // it said yes, and registered no class to itself
    StartedProgram,     // it started another program, which no private key would hold
  };
  Source source = Source::Nothing;
  std::vector<DescribedLibrary> libraries;
  std::vector<ClassRegistration> classes;
  int32_t libraryResult = 0;  // the type library's read, when it was read and failed
  CaptureFailure captureFailure = CaptureFailure::None;
  uint32_t captureCode = 0;

  bool Serves(const std::string& clsid) const;
  // The library a class of this control names; "" when it names none.
  std::string LibraryOf(const ClassRegistration& described) const;
};

// A class key as registered (in the given registry view): its threading
// model, the ProgIDs owns() grants it, MiscStatus and type library.
ClassRegistration ReadClassKey(Platform& platform, const RegistryKey& classKey, const std::string& clsid,
                               uint32_t view, const std::function<bool(const std::string& progId)>& owns);

// Classes a program can create and the library, from the control's type
// library; a class registered to this very file keeps the registry's words.
ControlDescription DescribeFromTypeLibrary(Platform& platform, const std::string& filePath);

// What an unregistered control says of its display, as controls made by the
// common tools register it.
constexpr uint32_t kControlMiscStatus = 0x20191;

}  // namespace ravlin
