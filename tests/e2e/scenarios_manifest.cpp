// What No registry declares, one row per case: a control under another
// control's name, two files of one class, the program named by its short
// name, a write that fails. The test program is only read here, never run,
// so the rows run where no 32-bit program can; its controls are 32-bit, so in
// the 64-bit build they are described from their type libraries, and the
// message says why. (The capture itself, and that it leaves the registry as
// it was, is proven with the 64-bit control by the platform tests.)
#include <fstream>
#include <iterator>
#include <string>

#include "Driver.h"
#include "NoRegistrySteps.h"

using namespace ravlin;

namespace e2e {
namespace {

const bool k64 = sizeof(void*) == 8;
const std::string kGauge = k64 ? "gauge32.ocx" : "gauge.ocx";
const std::string kBeside = k64 ? "realclass32.ocx" : "realclass.ocx";
const std::string kGaugeId = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE22}";
// Where 32-bit programs run, the prefix's 32-bit scripting host is registered and so described.
const bool kShellThere = GetEnvironmentVariableA("RAVLIN_NO_32BIT", nullptr, 0) == 0;
constexpr GUID kShell = {0x72C24DD5, 0xD70A, 0x438B, {0x8A, 0x42, 0x98, 0x42, 0x4B, 0x88, 0xAF, 0xB8}};
constexpr GUID kNowhere = {0x0B5E2C7A, 0x51D4, 0x4C6B, {0x8E, 0x07, 0x3F, 0x9A, 0x12, 0x64, 0xD8, 0x21}};
constexpr GUID kGaugeGuid = {0x6A3B1E20, 0x7C41, 0x4F0E, {0x9D, 0x2A, 0x52, 0xA1, 0xC0, 0xFF, 0xEE, 0x22}};

std::string Bytes(const GUID& guid) { return std::string(reinterpret_cast<const char*>(&guid), sizeof guid); }
std::string Name(const std::string& name) { return name + std::string(1, '\0'); }

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The program's table changed as a patched copy of a real program is: an entry's file and class.
bool Patch(const std::string& path, const std::vector<std::pair<std::string, std::string>>& changes) {
  std::string bytes = Contents(path);
  for (const auto& change : changes) {
    const size_t at = bytes.find(change.first);
    if (at == std::string::npos) return false;
    bytes.replace(at, change.second.size(), change.second);
  }
  return static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes);
}

std::string SystemFolder() { return CompanionPath().substr(0, CompanionPath().find_last_of('\\')); }

struct Row {
  const char* name;
  std::string program;                                        // its name in the folder
  std::vector<std::pair<std::string, std::string>> patches;   // on its table
  std::vector<std::pair<std::string, std::string>> beside;    // fixture, name
  bool gaugeInSystemFolder, manifestFolder, shortName;
  std::vector<std::string> lines;  // in the message
};

void RunRow(const Row& row) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "ravlin-manifest", program = folder + "\\" + row.program;
  const std::string manifest = program + ".manifest", systemGauge = SystemFolder() + "\\" + kGauge;
  CreateDirectoryA(folder.c_str(), nullptr);
  bool ready = CopyFileA(FixturePath("vbprogram.exe").c_str(), program.c_str(), FALSE) && Patch(program, row.patches);
  for (const auto& file : row.beside)
    ready = CopyFileA(FixturePath(file.first).c_str(), (folder + "\\" + file.second).c_str(), FALSE) && ready;
  if (row.gaugeInSystemFolder) ready = CopyFileA(FixturePath(kGauge).c_str(), systemGauge.c_str(), FALSE) && ready;
  if (row.manifestFolder) ready = CreateDirectoryA(manifest.c_str(), nullptr) && ready;
  char shortName[MAX_PATH] = {};
  if (row.shortName) ready = GetShortPathNameA(program.c_str(), shortName, MAX_PATH) && program != shortName && ready;
  if (Check(ready, std::string(row.name) + ": set up")) {
    const std::string message = WriteThroughTheWindow(row.shortName ? shortName : program);
    for (std::string line : row.lines) {
      for (size_t at; (at = line.find('|')) != std::string::npos;) line.replace(at, 1, folder + "\\");
      Check(message.find(line) != std::string::npos, std::string(row.name) + ": [" + line + "] in [" + message + "]");
    }
    const std::string text = Contents(manifest);
    const size_t first = text.find("clsid=\"" + kGaugeId);
    Check(first == std::string::npos || text.find("clsid=\"" + kGaugeId, first + 1) == std::string::npos,
          std::string(row.name) + ": each class once in\n" + text);
    Check((message.find("described from its type library.") != std::string::npos) == k64,
          std::string(row.name) + ": the capture's fallback said only where it cannot run");
  }
  if (row.manifestFolder) {
    Check(!Contents(systemGauge).empty() && GetFileAttributesA((folder + "\\" + kGauge).c_str()) == INVALID_FILE_ATTRIBUTES,
          "the copy removed again, the original kept");
    RemoveDirectoryA(manifest.c_str());
  }
  DeleteFileA(systemGauge.c_str());
  for (const auto& file : row.beside) DeleteFileA((folder + "\\" + file.second).c_str());
  for (const std::string& name : {program, manifest, folder + "\\" + kGauge, folder + "\\wshom.ocx"})
    DeleteFileA(name.c_str());
  RemoveDirectoryA(folder.c_str());
}

SCENARIO(NoRegistryDeclaresOnlyTheRightControlsOnce) {
  const auto gaugeFor = [](const std::string& file, const GUID& guid) {
    return std::vector<std::pair<std::string, std::string>>{{Name(file), Name(kGauge)}, {Bytes(guid), Bytes(kGaugeGuid)}};
  };
  auto twoFiles = gaugeFor("ravlinnowhere.ocx", kNowhere);
  twoFiles.push_back({Name("wshom.ocx"), Name("gaugecopy.ocx")});
  twoFiles.push_back({Bytes(kShell), Bytes(kGaugeGuid)});
  auto failing = gaugeFor("ravlinnowhere.ocx", kNowhere);
  failing.push_back({Name("wshom.ocx"), Name("ravlingone.ocx")});
  const std::string fallback = kGauge + ": no build of this program for the control's processor is beside it to catch "
                               "what the control registers; described from its type library.";
  const Row rows[] = {
      {"a control under another control's name", "vbprogram.exe", {}, {{kGauge, kBeside}}, false, false, false,
       {kBeside + " beside the program is not the control the program needs: it serves RavlinDescribed.Gauge; the "
                  "program needs Ravlin.RealClass {6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE10}."}},
      {"two files of one class", "vbprogram.exe", twoFiles, {{kGauge, kGauge}, {kGauge, "gaugecopy.ocx"}}, false,
       false, false,
       {"It covers gaugecopy.ocx.", kGauge + ": it serves " + kGaugeId +
                                        ", which the manifest declares for gaugecopy.ocx already"}},
      {"the program by its short name", "vb program long name.exe", gaugeFor("ravlinnowhere.ocx", kNowhere),
       {{kGauge, kGauge}}, false, false, true,
       {std::string("Wrote |vb program long name.exe.manifest.\r\nIt covers ") + (kShellThere ? "wshom.ocx, " : "") + kGauge + ".",
        k64 ? fallback : "covers"}},
      {"a write that fails, undone", "vbprogram.exe", failing, {}, true, true, false,
       {"The manifest could not be written (error ", "The copies placed beside the program were removed again: " +
        kGauge + ".", "\r\n\r\nLeft out:\r\nravlingone.ocx: " +
            (kShellThere ? "only a registration names it, and that names a file of another name, " + SharedFolder() +
                               "\\wshom.ocx; nothing is copied from it."
                         : std::string("found neither beside the program nor in the system folder."))}},
  };
  for (const Row& row : rows) RunRow(row);
}

}  // namespace
}  // namespace e2e
