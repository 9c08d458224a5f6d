#include "text/translation_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace mokuren {

PoBytes ReadPoBytes(const std::filesystem::path& file) {
  PoBytes r;
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status)) {
    r.fault = ec && ec != std::errc::no_such_file_or_directory ? PoFault::Unreadable : PoFault::Missing;
    r.detail = ec ? ec.message() : std::string();
    return r;
  }
  if (!std::filesystem::is_regular_file(status)) {
    r.fault = PoFault::Folder;
    return r;
  }
  const uint64_t size = std::filesystem::file_size(file, ec);
  if (!ec && size > kMaxPoFileBytes) {
    r.fault = PoFault::TooLarge;
    r.detail = std::to_string(size);
    return r;
  }
  std::ifstream in(file, std::ios::binary);
  std::string bytes;
  if (in) {
    bytes.resize(static_cast<size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // A file that shrank while it was read is taken as far as it went.
    bytes.resize(static_cast<size_t>(in.gcount()));
  }
  if (!in && !in.eof()) {
    r.fault = PoFault::Unreadable;
    r.detail = std::strerror(errno ? errno : EIO);
    return r;
  }
  r.bytes = std::move(bytes);
  return r;
}

std::string DescribePoFault(PoFault fault, std::string_view detail) {
  switch (fault) {
    case PoFault::None: return {};
    case PoFault::Missing: return "there is no such file";
    case PoFault::Folder: return "it is a folder, not a file";
    case PoFault::Unreadable: return "cannot be read (" + std::string(detail) + ")";
    case PoFault::TooLarge:
      return "the file takes " + std::string(detail) + " bytes, more than the " + std::to_string(kMaxPoFileBytes) +
             " a translation may";
    case PoFault::Malformed: return "it is malformed (" + std::string(detail) + ")";
    case PoFault::NoFace: return "no installed font covers the language \"" + std::string(detail) + "\"";
  }
  return {};
}

}  // namespace mokuren
