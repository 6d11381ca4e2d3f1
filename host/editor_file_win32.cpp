// Loading and saving the editor's file on Windows: the same rules as on posix (byte for
// byte; saved through a new file in the same folder that replaces the old one in one step).
#if defined(_WIN32)
#include <climits>
#include <cstdio>
#include <string>

#include "host/editor.h"
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace host {
namespace {

std::string LastErrorText() {
  char text[512] = {0};
  const unsigned long length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0,
      text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "system error " + std::to_string(GetLastError()) : message;
}

struct Handle {
  HANDLE value = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (value != INVALID_HANDLE_VALUE) CloseHandle(value);
  }
};

}  // namespace

bool LoadEditorFile(const std::string& path, EditorBuffer* editor, std::string* error) {
  Handle file;
  file.value = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file.value == INVALID_HANDLE_VALUE) {
    *error = path + ": " + LastErrorText();
    return false;
  }
  if (GetFileType(file.value) != FILE_TYPE_DISK) {
    *error = path + ": not a regular file";
    return false;
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    unsigned long got = 0;
    if (!ReadFile(file.value, buffer, sizeof buffer, &got, nullptr)) {
      *error = path + ": " + LastErrorText();
      return false;
    }
    if (got == 0) break;
    bytes.append(buffer, got);
    // Line lengths and counts are ints in the editor records.
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
      *error = path + ": too large for the editor";
      return false;
    }
  }
  editor->SetText(bytes);
  editor->fileName = path;
  return true;
}

bool SaveEditorFile(const EditorBuffer& editor, const std::string& path, std::string* error) {
  char resolved[kMaxPath];
  std::string target =
      platform::ResolveFilePath(path.c_str(), resolved, sizeof resolved) ? resolved : path;
  const unsigned long attributes = GetFileAttributesA(target.c_str());
  const std::size_t slash = target.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp;
  Handle file;
  for (unsigned attempt = 0; attempt < 100 && file.value == INVALID_HANDLE_VALUE; ++attempt) {
    temp = folder + "\\" + name + ".quarix-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(attempt);
    file.value = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file.value == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file.value == INVALID_HANDLE_VALUE) {
    *error = folder + ": cannot create a file to save into: " + LastErrorText();
    return false;
  }
  auto fail = [&](const char* what) {
    *error = path + ": " + what + ": " + LastErrorText() + "; the file is unchanged";
    CloseHandle(file.value);
    file.value = INVALID_HANDLE_VALUE;
    DeleteFileA(temp.c_str());
    return false;
  };
  const std::string bytes = editor.Text();
  for (std::size_t done = 0; done < bytes.size();) {
    unsigned long wrote = 0;
    const std::size_t chunk = bytes.size() - done < (1u << 30) ? bytes.size() - done : (1u << 30);
    if (!WriteFile(file.value, bytes.data() + done, static_cast<unsigned long>(chunk), &wrote,
                   nullptr) ||
        wrote == 0)
      return fail("cannot write");
    done += wrote;
  }
  if (!FlushFileBuffers(file.value)) return fail("cannot write");
  HANDLE written = file.value;
  file.value = INVALID_HANDLE_VALUE;
  if (!CloseHandle(written)) {
    *error = path + ": cannot write: " + LastErrorText() + "; the file is unchanged";
    DeleteFileA(temp.c_str());
    return false;
  }
  // The new version takes over the old one's attributes.
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    SetFileAttributesA(temp.c_str(), attributes & ~static_cast<unsigned long>(FILE_ATTRIBUTE_READONLY));
  if (!MoveFileExA(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    *error = path + ": cannot replace the file: " + LastErrorText() + "; it is unchanged";
    DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace host
#endif
