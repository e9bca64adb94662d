#include "machine/FileWriter.h"

#include <filesystem>
#include <fstream>
#include <system_error>

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string cannotCreate = "Cannot create file " + path;
  std::error_code ec;
  if (path.empty() || std::filesystem::is_directory(path, ec)) return cannotCreate;
  const std::string temporary = path + ".orvik-tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return cannotCreate;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    if (!file) {
      file.close();
      std::filesystem::remove(temporary, ec);
      return "Stream write error";
    }
  }
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return cannotCreate;
  }
  return "";
}
