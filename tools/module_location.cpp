#include <filesystem>

#include "tools/module_location.h"

std::string default_module_path() {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  const fs::path folder = error ? fs::path(".") : program.parent_path();
  const fs::path beside = folder / ZDI_MODULE_NAME;
  if (fs::exists(beside, error)) return beside.string();
  return (folder / ZDI_MODULE_FROM_PROGRAM).lexically_normal().string();
}
