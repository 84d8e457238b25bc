#include "platform/win32/Runtime.h"

#include "platform/Toolkit.h"

namespace ravlin {

std::string DescribeError(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string description = length ? std::string(text, length) : std::string();
  LocalFree(text);
  while (!description.empty() && (description.back() == '\r' || description.back() == '\n' ||
                                  description.back() == ' '))
    description.pop_back();
  if (description.empty()) description = "Error " + std::to_string(error);
  return description;
}

bool IsOrdinaryFile(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                        FILE_ATTRIBUTE_DEVICE)) == 0;
}

std::string RuntimeServices::AppPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) throw ToolkitError(DescribeError(GetLastError()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return path;
  // A drive's root keeps its separator, as "C:\".
  return slash == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, slash);
}

std::string RuntimeServices::Command() {
  const char* line = GetCommandLineA();
  // Skip the program's own path, quoted or not.
  if (*line == '"') {
    ++line;
    while (*line && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

std::string RuntimeServices::Dir(const std::string& pathName) {
  WIN32_FIND_DATAA data;
  UniqueFind find(FindFirstFileA(pathName.c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES)
      return {};
    throw ToolkitError(DescribeError(error));
  }
  do {
    if (IsOrdinaryFile(data.dwFileAttributes)) return data.cFileName;
  } while (FindNextFileA(find.get(), &data));
  return {};
}

UniqueHandle* RuntimeServices::Slot(int fileNumber) {
  if (fileNumber < 1 || fileNumber >= static_cast<int>(files_.size())) return nullptr;
  return &files_[static_cast<size_t>(fileNumber)];
}

int RuntimeServices::FreeFile() {
  for (int number = 1; number < static_cast<int>(files_.size()); ++number)
    if (!*Slot(number)) return number;
  throw ToolkitError("Too many files");
}

void RuntimeServices::Open(int fileNumber, const std::string& path, DWORD access, DWORD share,
                           DWORD creation) {
  UniqueHandle* slot = Slot(fileNumber);
  if (!slot) throw ToolkitError("Bad file name or number");
  if (*slot) throw ToolkitError("File already open");
  HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw ToolkitError(DescribeError(GetLastError()));
  slot->reset(file);
}

void RuntimeServices::OpenForInput(int fileNumber, const std::string& path) {
  Open(fileNumber, path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
}

void RuntimeServices::OpenForOutput(int fileNumber, const std::string& path) {
  Open(fileNumber, path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

void RuntimeServices::Print(int fileNumber, const std::string& text) {
  UniqueHandle* slot = Slot(fileNumber);
  if (!slot || !*slot) throw ToolkitError("Bad file name or number");
  const std::string line = text + "\r\n";
  DWORD written = 0;
  if (!WriteFile(slot->get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
    throw ToolkitError(DescribeError(GetLastError()));
  if (written != line.size()) throw ToolkitError(DescribeError(ERROR_DISK_FULL));
}

void RuntimeServices::Close(int fileNumber) {
  if (UniqueHandle* slot = Slot(fileNumber)) slot->reset();
}

}  // namespace ravlin
