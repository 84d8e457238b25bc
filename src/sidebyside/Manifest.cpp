#include "sidebyside/Manifest.h"

#include <cctype>

#include "platform/Text.h"

namespace ravlin {
namespace {

const char kBreak[] = "\r\n";

// Text with its markup characters escaped.
std::string Escaped(const std::string& value) {
  std::string text;
  for (char ch : value) {
    switch (ch) {
      case '&': text += "&amp;"; break;
      case '<': text += "&lt;"; break;
      case '>': text += "&gt;"; break;
      case '"': text += "&quot;"; break;
      default: text += ch;
    }
  }
  return text;
}

std::string Attribute(const char* name, const std::string& value) {
  return std::string(" ") + name + "=\"" + Escaped(value) + "\"";
}

// The program's file name without its extension, in the characters an assembly name may hold.
std::string AssemblyName(const std::string& programFileName) {
  std::string name = programFileName.substr(0, programFileName.find_last_of('.'));
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '.' && ch != '-' && ch != '_') ch = '_';
  return name.empty() ? "program" : name;
}

// The loader matches these words exactly.
std::string ThreadingModel(const std::string& registered) {
  const std::string lower = Lower(registered);
  for (const char* model : {"Apartment", "Both", "Free", "Neutral"})
    if (lower == Lower(model)) return model;
  return {};
}

std::string LibraryFlags(uint16_t flags) {
  std::string text;
  const std::pair<uint16_t, const char*> words[] = {{kLibFlagRestricted, "RESTRICTED"},
                                                    {kLibFlagControl, "CONTROL"},
                                                    {kLibFlagHidden, "HIDDEN"},
                                                    {kLibFlagHasDiskImage, "HASDISKIMAGE"}};
  for (const auto& word : words)
    if (flags & word.first) text += (text.empty() ? "" : ",") + std::string(word.second);
  return text;
}

// One ProgID names one class: a later claim to it is dropped.
std::vector<std::string> Unclaimed(const std::vector<std::string>& progIds, std::vector<std::string>& claimed) {
  std::vector<std::string> kept;
  for (const std::string& progId : progIds) {
    if (progId.empty()) continue;
    bool taken = false;
    for (const std::string& other : claimed) taken = taken || Lower(other) == Lower(progId);
    if (taken) continue;
    claimed.push_back(progId);
    kept.push_back(progId);
  }
  return kept;
}

std::string ComClass(const DescribedControl& control, const ClassRegistration& described,
                     std::vector<std::string>& claimed) {
  const std::vector<std::string> progIds = Unclaimed(described.progIds, claimed);
  const std::string model = ThreadingModel(described.threadingModel);
  const std::string tlbid = control.description.LibraryOf(described);
  std::string text = "    <comClass" + Attribute("clsid", described.clsid);
  if (!tlbid.empty()) text += Attribute("tlbid", tlbid);
  if (!model.empty()) text += Attribute("threadingModel", model);
  if (!progIds.empty()) text += Attribute("progid", progIds.front());
  if (described.miscStatus != 0) text += Attribute("miscStatus", MiscStatusWords(described.miscStatus));
  if (progIds.size() < 2) return text + "/>" + kBreak;
  text += std::string(">") + kBreak;
  for (size_t i = 1; i < progIds.size(); ++i) text += "      <progid>" + Escaped(progIds[i]) + "</progid>" + kBreak;
  return text + "    </comClass>" + kBreak;
}

std::string FileElement(const DescribedControl& control, std::vector<std::string>& claimed) {
  std::string text = "  <file" + Attribute("name", control.fileName) + ">" + kBreak;
  for (const DescribedLibrary& library : control.description.libraries) {
    text += "    <typelib" + Attribute("tlbid", library.libid) + Attribute("version", library.version);
    const std::string flags = LibraryFlags(library.flags);
    if (!flags.empty()) text += Attribute("flags", flags);
    text += Attribute("helpdir", "") + "/>" + kBreak;
  }
  for (const ClassRegistration& described : control.description.classes) text += ComClass(control, described, claimed);
  return text + "  </file>" + kBreak;
}

}  // namespace

std::string MiscStatusWords(uint32_t miscStatus) {
  static const char* const kWords[] = {
      "recomposeonresize", "onlyiconic", "insertnotreplace", "static", "cantlinkinside", "canlinkbyole1",
      "islinkobject", "insideout", "activatewhenvisible", "renderingisdeviceindependent",
      "invisibleatruntime", "alwaysrun", "actslikebutton", "actslikelabel", "nouiactivate", "alignable",
      "simpleframe", "setclientsitefirst", "imemode", "ignoreactivatewhenvisible", "wantstomenumerge",
      "supportsmultilevelundo"};
  std::string text;
  for (size_t bit = 0; bit < sizeof(kWords) / sizeof(kWords[0]); ++bit)
    if (miscStatus & (1u << bit)) text += (text.empty() ? "" : ",") + std::string(kWords[bit]);
  return text;
}

std::string ManifestText(const ManifestRequest& request) {
  std::string text = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>") + kBreak;
  text += std::string("<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">") + kBreak;
  text += "  <assemblyIdentity type=\"win32\"" + Attribute("name", AssemblyName(request.programFileName)) +
          " version=\"1.0.0.0\" processorArchitecture=\"x86\"/>" + kBreak;
  std::vector<std::string> claimed;
  for (const DescribedControl& control : request.controls) text += FileElement(control, claimed);
  return text + "</assembly>" + kBreak;
}

}  // namespace ravlin
