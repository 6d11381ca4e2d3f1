#include "flavour/far3/module_info.h"

#include "flavour/far3/wide_strings.h"
#include "quarix_version.h"

namespace {

// "1.2.3" into its numbers; missing parts are 0.
far3::VersionInfo ParseVersion(const char* text) {
  DWORD parts[3] = {0, 0, 0};
  int at = 0;
  for (const char* c = text; *c && at < 3; ++c) {
    if (*c == '.')
      ++at;
    else if (*c >= '0' && *c <= '9')
      parts[at] = parts[at] * 10 + static_cast<DWORD>(*c - '0');
  }
  return {parts[0], parts[1], parts[2], 0, far3::VS_RELEASE};
}

}  // namespace

void DescribeModule(far3::GlobalInfo* info, const far3::Uuid& guid, const wchar_t* title,
                    const wchar_t* description) {
  info->StructSize = sizeof(*info);
  // The first Far 3 build whose API the records follow.
  info->MinFarVersion = {3, 0, 0, 1905, far3::VS_RELEASE};
  info->Version = ParseVersion(kQuarixVersion);
  info->Guid = guid;
  info->Title = title;
  info->Description = description;
  info->Author = L"Quarix";
}

void FillWideMenu(const char* const* strings, int count, WideMenu* menu) {
  if (!menu->texts.empty()) return;
  for (int i = 0; i < count; ++i) menu->texts.push_back(WideOf(strings[i]));
  for (const std::wstring& text : menu->texts) menu->pointers.push_back(text.c_str());
}

int FindMenuItem(const far3::Uuid* item, const far3::Uuid* guids, std::size_t count) {
  if (!item) return -1;
  for (std::size_t i = 0; i < count; ++i)
    if (guids[i] == *item) return static_cast<int>(i);
  return -1;
}
