#include "server/http/site.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <regex>
#include <sstream>

#include "server/http/router.h"

namespace server::http {
namespace {

namespace fs = std::filesystem;

// Larger files are sent as they are: the page's biggest is a few MB.
constexpr std::uintmax_t max_file_bytes = 64u << 20;

std::string content_type(const fs::path& file) {
  static const std::map<std::string, std::string> types = {
      {".html", "text/html; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".mjs", "text/javascript; charset=utf-8"},
      {".wasm", "application/wasm"},
      {".data", "application/octet-stream"},
      {".png", "image/png"},
      {".css", "text/css; charset=utf-8"},
      {".json", "application/json"},
      {".txt", "text/plain; charset=utf-8"},
      {".ico", "image/x-icon"},
  };
  const auto it = types.find(file.extension().string());
  return it == types.end() ? "application/octet-stream" : it->second;
}

std::string header(const Request& request, std::string_view name) {
  for (const auto& [key, value] : request.headers) {
    if (key.size() == name.size() &&
        std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        })) {
      return value;
    }
  }
  return "";
}

std::string gzip(const std::string& bytes) {
  z_stream z{};
  if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    return "";
  }
  std::string out(deflateBound(&z, bytes.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int done = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return done == Z_STREAM_END ? out : "";
}

bool compressible(const std::string& type) {
  return type.starts_with("text/") || type == "application/wasm" ||
         type == "application/json" || type == "application/octet-stream";
}

// A file of the site as sent: its bytes, compressed once per version.
struct Cached {
  fs::file_time_type written;
  std::uintmax_t size = 0;
  std::string plain;
  std::string gzipped;
  std::string etag;
};

class Site {
 public:
  explicit Site(std::string folder) : root_(fs::path(std::move(folder))) {}

  std::optional<Response> answer(const Request& request) {
    std::string path = request.target.substr(0, request.target.find('?'));
    static const std::regex invite("^/(join|watch)/([A-Za-z0-9-]{1,12})/?$");
    std::smatch found;
    if (std::regex_match(path, found, invite)) {
      Response to_page = text_response(302, "");
      to_page.headers.emplace_back(
          "Location", "/#" + found[1].str() + "=" + found[2].str());
      return to_page;
    }
    if (path.ends_with("/")) path += "index.html";
    const std::optional<fs::path> file = inside(path);
    if (!file) return std::nullopt;
    if (request.method != "GET" && request.method != "HEAD") {
      return text_response(405, "GET only\n");
    }
    const std::optional<Cached> cached = load(*file);
    if (!cached) return std::nullopt;

    Response response;
    response.content_type = content_type(*file);
    response.headers.emplace_back("ETag", cached->etag);
    response.headers.emplace_back("Vary", "Accept-Encoding");
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    static const std::regex hashed(".*[.-][0-9a-f]{8,}\\.[a-z0-9]+$");
    response.headers.emplace_back(
        "Cache-Control", std::regex_match(file->filename().string(), hashed)
                             ? "public, max-age=31536000, immutable"
                             : "no-cache");
    if (header(request, "If-None-Match") == cached->etag) {
      response.status = 304;
      return response;
    }
    const bool gzip_ok =
        !cached->gzipped.empty() &&
        header(request, "Accept-Encoding").find("gzip") != std::string::npos;
    if (gzip_ok) response.headers.emplace_back("Content-Encoding", "gzip");
    response.body = gzip_ok ? cached->gzipped : cached->plain;
    return response;
  }

 private:
  // The file a path names within the folder, or nothing (outside it,
  // hidden, or not a regular file).
  std::optional<fs::path> inside(const std::string& path) const {
    if (path.empty() || path[0] != '/') return std::nullopt;
    const fs::path relative = fs::path(path.substr(1)).lexically_normal();
    for (const fs::path& part : relative) {
      const std::string name = part.string();
      if (name.empty() || name[0] == '.') return std::nullopt;
    }
    std::error_code error;
    const fs::path file = fs::weakly_canonical(root_ / relative, error);
    const fs::path root = fs::weakly_canonical(root_, error);
    if (error) return std::nullopt;
    const auto [end, rest] =
        std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    if (end != root.end() || !fs::is_regular_file(file, error)) {
      return std::nullopt;
    }
    return file;
  }

  std::optional<Cached> load(const fs::path& file) {
    std::error_code error;
    const auto written = fs::last_write_time(file, error);
    const auto size = fs::file_size(file, error);
    if (error || size > max_file_bytes) return std::nullopt;
    std::lock_guard lock(mutex_);
    Cached& cached = files_[file.string()];
    if (cached.etag.empty() || cached.written != written ||
        cached.size != size) {
      std::ifstream in(file, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)),
                        std::istreambuf_iterator<char>());
      if (!in && !in.eof()) return std::nullopt;
      cached.plain = std::move(bytes);
      cached.gzipped =
          compressible(content_type(file)) && cached.plain.size() > 256
              ? gzip(cached.plain)
              : "";
      cached.written = written;
      cached.size = size;
      std::ostringstream tag;
      tag << '"' << std::hex
          << crc32(0, reinterpret_cast<const Bytef*>(cached.plain.data()),
                   static_cast<uInt>(cached.plain.size()))
          << '-' << size << '"';
      cached.etag = tag.str();
    }
    return cached;
  }

  fs::path root_;
  std::mutex mutex_;
  std::map<std::string, Cached> files_;
};

}  // namespace

Handler site_files(std::string folder) {
  auto site = std::make_shared<Site>(std::move(folder));
  return [site](const Request& request) { return site->answer(request); };
}

}  // namespace server::http
