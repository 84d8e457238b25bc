#include "texts/ManifestTexts.h"

#include <vector>

namespace ravlin {
namespace {

constexpr char kBreak[] = "\r\n";
constexpr char kParagraph[] = "\r\n\r\n";

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : ", ") + names[i];
  return text;
}

std::string Why(const LeftOutControl& control) {
  using Reason = LeftOutControl::Reason;
  switch (control.reason) {
    case Reason::NotFound: return "found neither beside the program nor in the system folder";
    case Reason::NoTypeLibrary: return "it has no type library to say its classes (" + control.path + ")";
    case Reason::Not32Bit: return "it is built for 64 bits, and the program runs as 32 bits (" + control.path + ")";
    case Reason::DifferentCopy:
      return "another file of that name is beside the program already, and was left as it is (" + control.path + ")";
    case Reason::CopyFailed: return "it could not be copied beside the program (" + control.path + ")";
  }
  return {};
}

// "Left out:" and one line per control; "" when none was.
std::string LeftOut(const ManifestResult& result) {
  if (result.leftOut.empty()) return {};
  std::string text = "Left out:";
  for (const LeftOutControl& control : result.leftOut) text += kBreak + control.fileName + ": " + Why(control) + ".";
  return text;
}

std::string Paragraphs(std::string first, const std::string& second) {
  if (second.empty()) return first;
  return first + kParagraph + second;
}

std::string Written(const ManifestResult& result) {
  std::string text = "Wrote " + result.manifestPath + "." + kBreak + "It covers " + Joined(result.covered) + ".";
  if (!result.copied.empty()) text += kBreak + std::string("Copied beside the program: ") + Joined(result.copied) + ".";
  if (!result.keptAs.empty()) text += kBreak + std::string("The earlier manifest is kept as ") + result.keptAs + ".";
  text += kParagraph +
          std::string("The program now finds these controls without the registry and without administrator rights.");
  return Paragraphs(text, LeftOut(result));
}

}  // namespace

std::string ManifestMessage(const ManifestResult& result) {
  using Kind = ManifestResult::Kind;
  switch (result.kind) {
    case Kind::Written:
      return Written(result);
    case Kind::NothingDescribed:
      return Paragraphs("Nothing was written: none of the program's controls can be described.", LeftOut(result));
    case Kind::OwnManifest:
      return "Nothing was written: the program carries its own manifest, and Windows then ignores a manifest "
             "file beside it.";
    case Kind::BackupInTheWay:
      return "Nothing was written: " + result.manifestPath + " and its kept copy " + result.manifestPath +
             ".bak are both there already. Move one of them away, so that neither is lost.";
    case Kind::WriteFailed: {
      std::string text = "The manifest could not be written (error " + std::to_string(result.error) + ").";
      if (!result.keptAs.empty()) text += kBreak + std::string("The earlier manifest is kept as ") + result.keptAs + ".";
      return text;
    }
  }
  return {};
}

}  // namespace ravlin
