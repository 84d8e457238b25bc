// The command line as a script uses it: each command run with its output
// redirected, its exit code and first printed line read; no window may open.
#include "Driver.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace e2e {
namespace {

std::string Slurp(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// Its output into a file, as a shell's "> file" hands it over; the exit code.
DWORD RunSilently(const std::string& arguments, std::string& output, const std::string& into) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileA(into.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = file;
  std::string commandLine = "\"" + ProgramPath() + "\" " + arguments;
  PROCESS_INFORMATION process{};
  DWORD code = 0xFFFFFFFF;
  if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    // A window that opened would wait for a user: that fails too.
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, code);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(file);
  output = Slurp(into);
  return code;
}

struct Row {
  const char* what;
  std::string arguments;
  DWORD exitCode;
  std::string firstLine;  // one starting with a tab: /list's, whose word and path depend on the prefix
  bool needs32Bit;        // the test program's own control, which only the 32-bit regsvr32 loads here
};

SCENARIO(EachCommandRunsSilentlyWithItsExitCodeAndFirstLine) {
  char temp[MAX_PATH] = {}, shared[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  if (GetSystemWow64DirectoryA(shared, MAX_PATH) == 0) GetSystemDirectoryA(shared, MAX_PATH);
  const std::string folder = std::string(temp) + "ravlin-silent", program = folder + "\\vbprogram.exe";
  const std::string beside = sizeof(void*) == 8 ? "realclass32.ocx" : "realclass.ocx", report = folder + "\\report.txt";
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const std::string& file : {std::string("vbprogram.exe"), std::string("MSVBVM60.DLL"), beside})
    CopyFileA(FixturePath(file).c_str(), (folder + "\\" + file).c_str(), FALSE);
  // Where no 32-bit program ran, the prefix has no 32-bit scripting host to describe.
  const bool shell = GetFileAttributesA((std::string(shared) + "\\wshom.ocx").c_str()) != INVALID_FILE_ATTRIBUTES;
  const std::string server = "\"" + FixturePath("server.ocx") + "\"", key = "Software\\RavlinFixtures\\server";
  PlaceCompanion("server.ocx");  // of this build's own architecture, so that it loads here
  CloseHandle(CreateFileA((folder + "\\empty.ocx").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  CopyFileA(FixturePath("server.ocx").c_str(), (folder + "\\copy.ocx").c_str(), FALSE);
  const std::string programBytes = Slurp(program), serverBytes = Slurp(FixturePath("server.ocx"));

  const Row rows[] = {
      {"a control", "/s " + server, 0, "Process completed", false},
      {"-s, as regsvr32 takes it", "-s " + server, 0, "Process completed", false},
      {"unregistered", "/S /U " + server, 0, "Process completed", false},
      {"a program: one registered, one nowhere", "/s " + program, 3, "Registered 1 of 1 control.", true},
      {"a program unregistered", "/s /u " + program, 0, "Unregistered 1 of 1 control.", true},
      {"its manifest", "/s /manifest " + program, shell ? 0u : 1u,
       shell ? "Wrote " + program + ".manifest." : "Nothing was written: none of the program's controls can be described.",
       false},
      {"its controls", "/list " + program, 0, "\twshom.ocx\tIWshRuntimeLibrary.WshShell\t", false},
      {"the companion, reported to a file", "/s /companion /out " + report, 0, "", false},
      {"the companion unregistered", "/s /u /companion", 0, "Process completed", false},
      {"a bad switch", "/s /x " + server, 1, "Unknown switch: /x", false},
      {"a missing file", "/s " + folder + "\\missing.ocx", 3, "File not found", false},
      // As regsvr32 users expect, and no report over the file acted on, by any of its names.
      {"an unknown switch without /s", "/silent " + server, 1, "Unknown switch: /silent", false},
      {"a device in a folder", "/s " + folder + "\\CON.ocx", 3, "File not found", false},
      {"an empty file", "/list " + folder + "\\empty.ocx", 3, "Not a program or a library: nothing to list.", false},
      {"/out naming the control", "/s /u " + folder + "\\copy.ocx /out " + folder + "\\..\\ravlin-silent\\COPY.OCX", 1,
       "The report would replace the file it is about: nothing was done.", false},
      {"/out naming the program", "/s /manifest " + program + " /out " + program, 1,
       "The report would replace the file it is about: nothing was done.", false},
  };
  std::string output;
  for (const Row& row : rows) {
    if (row.needs32Bit && GetEnvironmentVariableA("RAVLIN_NO_32BIT", nullptr, 0) != 0) {
      std::printf("  (skipped %s: no 32-bit programs on this host)\n", row.what);
      continue;
    }
    const DWORD code = RunSilently(row.arguments, output, folder + "\\output.txt");
    CheckEq(std::to_string(code), std::to_string(row.exitCode), std::string(row.what) + ": exit code");
    const std::string first = FirstLine(output);
    Check(row.firstLine.find('\t') == 0 ? first.find(row.firstLine) != std::string::npos : first == row.firstLine,
          std::string(row.what) + ": first line [" + first + "], expected [" + row.firstLine + "]");
  }
  CheckEq(FirstLine(Slurp(report)), "Process completed", "the companion's report, in its file");
  Check(Slurp(program) == programBytes && Slurp(folder + "\\copy.ocx") == serverBytes, "no input overwritten");
  Check(!RegistryKeyExists(key), "unregistered at the end");
  RunSilently("/list " + program, output, folder + "\\output.txt");
  Check(output.find("\r\nfound\t" + beside + "\tRavlin.RealClass\t" + folder + "\\" + beside + "\r\n") != std::string::npos &&
            output.find("\r\nnot-found\travlinnowhere.ocx\tRavlinNowhere.Gone\t\r\n") != std::string::npos,
        "the other two lines: [" + output + "]");
  RemoveCompanion();
  for (const char* file : {"vbprogram.exe", "MSVBVM60.DLL", "realclass.ocx", "empty.ocx", "copy.ocx",
                           "realclass32.ocx", "wshom.ocx",
                           "vbprogram.exe.manifest", "report.txt", "output.txt"})
    DeleteFileA((folder + "\\" + file).c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace e2e
