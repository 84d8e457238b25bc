#include "texts/StateTexts.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/ResumeNext.h"
#include "registration/Registrar.h"
#include "texts/ShownPath.h"

namespace ravlin {
namespace {

// Names beyond these are counted, not listed.
constexpr size_t kNamesShown = 3;

std::string Counted(size_t count, const char* one, const char* many) {
  if (count == 1) return one;
  return std::to_string(count) + " " + many;
}

// "3 classes and a type library"; "" when there is neither.
std::string Contents(const RegistrationState& state) {
  std::string text;
  if (!state.classes.empty()) text = Counted(state.classes.size(), "1 class", "classes");
  if (!state.typeLibraries.empty()) {
    if (!text.empty()) text += " and ";
    text += Counted(state.typeLibraries.size(), "a type library", "type libraries");
  }
  return text;
}

std::string ClassName(const RegisteredClass& registered) {
  if (!registered.progId.empty()) return registered.progId;
  if (!registered.name.empty()) return registered.name;
  return registered.clsid;
}

std::string LibraryName(const RegisteredTypeLibrary& library) {
  return (library.name.empty() ? library.libid : library.name) + " " + library.version;
}

// "a, b, c and 4 more", or "a, b and c".
std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  const size_t shown = names.size() <= kNamesShown + 1 ? names.size() : kNamesShown;
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) text += i + 1 == shown && shown == names.size() ? " and " : ", ";
    text += names[i];
  }
  if (shown < names.size()) text += " and " + std::to_string(names.size() - shown) + " more";
  return text;
}

// "Classes: WScript.Shell, ...\r\nType library: ..."; "" when there is nothing.
std::string WhatIsRegistered(const RegistrationState& state) {
  std::vector<std::string> classes, libraries;
  for (const RegisteredClass& registered : state.classes) classes.push_back(ClassName(registered));
  for (const RegisteredTypeLibrary& library : state.typeLibraries) libraries.push_back(LibraryName(library));
  std::string text;
  if (!classes.empty()) text = (classes.size() == 1 ? "Class: " : "Classes: ") + Listed(classes) + ".";
  if (!libraries.empty()) {
    if (!text.empty()) text += "\r\n";
    text += (libraries.size() == 1 ? "Type library: " : "Type libraries: ") + Listed(libraries) + ".";
  }
  return text;
}

// As Windows compares file names: whatever the case (of ASCII letters).
bool SamePath(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The other files the classes point to, each once, in the order first met.
std::vector<const ClassOfAnotherCopy*> DistinctCopies(const RegistrationState& state) {
  std::vector<const ClassOfAnotherCopy*> copies;
  for (const ClassOfAnotherCopy& copy : state.otherCopies) {
    bool known = false;
    for (const ClassOfAnotherCopy* seen : copies) known = known || SamePath(seen->path, copy.path);
    if (!known) copies.push_back(&copy);
  }
  return copies;
}

// "Registered to another copy: C:\old\richtx32.ocx (that file is missing)."; "" when none.
std::string OtherCopiesSentence(const RegistrationState& state) {
  const std::vector<const ClassOfAnotherCopy*> copies = DistinctCopies(state);
  if (copies.empty()) return {};
  std::string text = copies.size() == 1 ? "Registered to another copy: " : "Registered to other copies: ";
  for (size_t i = 0; i < copies.size(); ++i) {
    if (i > 0) text += i + 1 == copies.size() ? " and " : ", ";
    text += ShownPath(copies[i]->path) + (copies[i]->exists ? "" : " (that file is missing)");
  }
  return text + ".";
}

std::string Lines(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  return second.empty() ? first : first + "\r\n" + second;
}

// "The registration state could not be read: Access denied. (error 5)"; ""
// when nothing refused the read.
std::string UnreadLine(const RegistrationState& state) {
  if (state.failure == 0) return {};
  const std::string error = "error " + std::to_string(state.failure);
  return "The registration state could not be read: " +
         (state.failureDescription.empty() ? error + "." : state.failureDescription + " (" + error + ")");
}

}  // namespace

std::string ConfirmationLine(const RegistrationState& state) {
  if (!state.read) return UnreadLine(state);
  const std::string contents = Contents(state);
  const std::string copies = OtherCopiesSentence(state);
  if (contents.empty()) return copies.empty() ? "Not registered." : copies;
  const std::string line = "Registered now: " + contents + ", to this file.";
  return copies.empty() ? line : line + " " + copies;
}

std::string AfterRegisteringText(const RegistrationState& state, bool expectsClasses) {
  if (!state.read) return UnreadLine(state);
  const std::string registered = WhatIsRegistered(state);
  const std::string copies = OtherCopiesSentence(state);
  if (registered.empty())
    return Lines(expectsClasses ? "The control reported success, but nothing is registered to this file."
                                : "No class or type library points to this file.",
                 copies);
  return Lines("Now registered to this file:\r\n" + registered, copies);
}

std::string AfterUnregisteringText(const RegistrationState& state) {
  if (!state.read) return UnreadLine(state);
  const std::string registered = WhatIsRegistered(state);
  const std::string copies = OtherCopiesSentence(state);
  if (registered.empty()) return Lines("Nothing points to this file any more.", copies);
  return Lines("Still registered to this file:\r\n" + registered, copies);
}

std::string RegistrationLineOf(Platform& platform, const std::string& fileSpec) {
  std::string line;
  ResumeNext([&] {
    const std::string path = CheckedPathOf(platform, fileSpec);
    if (!path.empty()) line = ConfirmationLine(ReadRegistrationState(platform, path));
  });
  return line;
}

}  // namespace ravlin
