// The game's page served by the server itself: types the browser insists
// on, gzip when asked, revalidation, the invite links, and nothing outside
// the site's folder.
#include <zlib.h>

#include <fstream>

#include "tests/server/server_fixture.h"

namespace server_tests {
namespace {

std::string gunzip(const std::string& bytes) {
  z_stream z{};
  inflateInit2(&z, 15 + 16);
  std::string out(1 << 20, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int done = inflate(&z, Z_FINISH);
  out.resize(z.total_out);
  inflateEnd(&z);
  return done == Z_STREAM_END ? out : "not gzip";
}

TEST_F(ServerTest, ServesTheGamesPage) {
  const auto site = scratch.path() / "site";
  std::filesystem::create_directories(site);
  const std::string page = "<!doctype html>" + std::string(2000, 'x');
  std::ofstream(site / "index.html") << page;
  std::ofstream(site / "vermix.wasm") << std::string(1000, '\0');
  std::ofstream(site / "vermix.3fa9c2d1e0.js") << "let a = 1;";
  std::ofstream(scratch.path() / "secret.txt") << "not for the web";
  start({"--site", site.string()});
  const auto port = server->tcp_port();

  const HttpAnswer index = http_get(port, "/");
  EXPECT_EQ(index.status, 200);
  EXPECT_EQ(index.body, page);
  EXPECT_EQ(index.headers.at("content-type"), "text/html; charset=utf-8");
  EXPECT_EQ(index.headers.at("cache-control"), "no-cache");
  const HttpAnswer zipped =
      http_get(port, "/index.html", {{"Accept-Encoding", "gzip, br"}});
  EXPECT_EQ(zipped.headers.at("content-encoding"), "gzip");
  EXPECT_LT(zipped.body.size(), page.size() / 4);
  EXPECT_EQ(gunzip(zipped.body), page);
  EXPECT_EQ(
      http_get(port, "/", {{"If-None-Match", index.headers.at("etag")}}).status,
      304);

  EXPECT_EQ(http_get(port, "/vermix.wasm").headers.at("content-type"),
            "application/wasm");
  EXPECT_EQ(http_get(port, "/vermix.3fa9c2d1e0.js").headers.at("cache-control"),
            "public, max-age=31536000, immutable");

  const HttpAnswer invite = http_get(port, "/join/ABCD2345");
  EXPECT_EQ(invite.status, 302);
  EXPECT_EQ(invite.headers.at("location"), "/#join=ABCD2345");

  for (const char* outside :
       {"/../secret.txt", "/%2e%2e/secret.txt", "/.hidden", "/nothing.html"}) {
    EXPECT_EQ(http_get(port, outside).status, 404) << outside;
  }
  // The server's own pages stand beside the site.
  EXPECT_EQ(http_get(port, "/health").status, 200);
}

}  // namespace
}  // namespace server_tests
