#include "texts/ManifestTexts.h"

#include <vector>

#include "inspection/ProgramState.h"
#include "platform/Text.h"
#include "texts/ShownPath.h"
#include "texts/Texts.h"

namespace ravlin {
namespace {

constexpr char kBreak[] = "\r\n";
constexpr char kParagraph[] = "\r\n\r\n";

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : ", ") + names[i];
  return text;
}

// "error 5: Access is denied." or "0x80029C4A: Error loading type library/DLL."
std::string Code(const std::string& prefix, uint32_t code, const std::string& systemWords) {
  const std::string words = CodeWords(code, systemWords);
  return prefix + (words.empty() ? "" : ": " + words);
}

std::string Where(const LeftOutControl& control, const std::string& programFolder) {
  return IsIn(control.path, programFolder) ? "beside the program" : "at " + ShownPath(control.path);
}

// One line of the left-out list.
std::string Line(const LeftOutControl& control, const std::string& programFolder) {
  using Reason = LeftOutControl::Reason;
  const std::string path = " (" + ShownPath(control.path) + ")";
  const std::string name = control.fileName + ": ";
  switch (control.reason) {
    case Reason::NotFound: return name + "found neither beside the program nor in the system folder.";
    case Reason::NoTypeLibrary:
      return name + "its type library could not be read (" + Code("0x" + Hex(control.code, 8), control.code, {}) +
             "), and nothing else says its classes" + path + ".";
    case Reason::Not32Bit: return name + "it is built for 64 bits, and the program runs as 32 bits" + path + ".";
    case Reason::DifferentCopy:
      return name + "another file of that name is beside the program already, and was left as it is" + path + ".";
    case Reason::CopyFailed:
      return name + "it could not be copied beside the program (" +
             Code("error " + std::to_string(control.code), control.code, control.words) + ")" + path + ".";
    case Reason::OtherName:
      return name + "only a registration names it, and that names a file of another name, " + ShownPath(control.path) +
             "; nothing is copied from it.";
    case Reason::NotTheControl:
      return control.fileName + " " + Where(control, programFolder) +
             " is not the control the program needs: it serves " + control.serves + "; the program needs " +
             control.needs + ".";
    case Reason::ClaimedAlready:
      return name + "it serves " + control.serves + ", which the manifest declares for " + control.needs +
             " already; a manifest may declare each once" + path + ".";
  }
  return {};
}

// "Left out:" and one line per control; "" when none was.
std::string LeftOut(const ManifestResult& result) {
  if (result.leftOut.empty()) return {};
  const std::string folder = FolderOf(result.manifestPath);
  std::string text = "Left out:";
  for (const LeftOutControl& control : result.leftOut) text += kBreak + Line(control, folder);
  return text;
}

std::string Why(const DescribedInstead& control) {
  using Failure = ControlDescription::CaptureFailure;
  switch (control.why) {
    case Failure::None: break;
    case Failure::NoProgram:
      return "no build of this program for the control's processor is beside it to catch what the control registers";
    case Failure::NotStarted: return "the copy of this program that catches what it registers could not be started";
    case Failure::TimedOut: return "its registration ran past 10 seconds";
    case Failure::Refused: return "its registration failed (" + Code("0x" + Hex(control.code, 8), control.code, {}) + ")";
    case Failure::NothingRegistered: return "its registration registered no class to this file";
    case Failure::StartedProgram: return "it tried to start a program while registering: not captured";
  }
  return {};
}

// The controls whose registration could not be caught, why, and whether their type library stood in; "" when none.
std::string DescribedInsteadText(const ManifestResult& result) {
  if (result.describedInstead.empty()) return {};
  std::string text = "What the control registers could not be caught:";
  for (const DescribedInstead& control : result.describedInstead)
    text += kBreak + control.fileName + ": " + Why(control) + (control.fromLibrary ? "; described from its type library." : ".");
  return text;
}

std::string Paragraphs(std::string first, const std::string& second) {
  if (second.empty()) return first;
  return first + kParagraph + second;
}

std::string Copies(const ManifestResult& result) {
  std::string text;
  for (size_t i = 0; i < result.copied.size() && i < result.copiedFrom.size(); ++i)
    text += (i == 0 ? "" : ", ") + FileNameOf(result.copied[i]) + " from " + ShownPath(result.copiedFrom[i]);
  return text;
}

std::string Written(const ManifestResult& result) {
  std::string text = "Wrote " + result.manifestPath + "." + kBreak + "It covers " + Joined(result.covered) + ".";
  if (!result.copied.empty()) text += kBreak + std::string("Copied beside the program: ") + Copies(result) + ".";
  if (!result.keptAs.empty()) text += kBreak + std::string("The earlier manifest is kept as ") + result.keptAs + ".";
  text += kParagraph +
          std::string("The program now finds these controls without the registry and without administrator rights.");
  return Paragraphs(Paragraphs(text, DescribedInsteadText(result)), LeftOut(result));
}

std::string WriteFailed(const ManifestResult& result) {
  std::string text = Code("The manifest could not be written (error " + std::to_string(result.error) + ")",
                          result.error, result.errorWords);
  if (text.back() != '.') text += ".";
  std::vector<std::string> removed;
  for (const std::string& copy : result.removed) removed.push_back(FileNameOf(copy));
  if (!removed.empty()) text += kBreak + std::string("The copies placed beside the program were removed again: ") +
                                Joined(removed) + ".";
  if (!result.keptAs.empty()) text += kBreak + std::string("The earlier manifest is kept as ") + result.keptAs + ".";
  return Paragraphs(Paragraphs(text, DescribedInsteadText(result)), LeftOut(result));
}

}  // namespace

std::string ManifestMessage(const ManifestResult& result) {
  using Kind = ManifestResult::Kind;
  switch (result.kind) {
    case Kind::Written:
      return Written(result);
    case Kind::NothingDescribed:
      return Paragraphs(Paragraphs("Nothing was written: none of the program's controls can be described.",
                                   DescribedInsteadText(result)),
                        LeftOut(result));
    case Kind::OwnManifest:
      return "Nothing was written: the program carries its own manifest, and Windows then ignores a manifest "
             "file beside it.";
    case Kind::BackupInTheWay:
      return "Nothing was written: " + result.manifestPath + " and its kept copy " + result.manifestPath +
             ".bak are both there already. Move one of them away, so that neither is lost.";
    case Kind::WriteFailed:
      return WriteFailed(result);
  }
  return {};
}

}  // namespace ravlin
