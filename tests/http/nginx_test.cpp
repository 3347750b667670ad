// The exchange against a real server: nginx, started by the test on a free loopback port with
// its own configuration in a temporary folder. Its access log names the connection of every
// request, so keep-alive is read from the server's side.

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "http/http_client.h"
#include "http/http_exceptions.h"

extern char** environ;

namespace pogoda {
namespace {

namespace fs = std::filesystem;

std::string NginxPath() {
    for (const char* path : {"/usr/sbin/nginx", "/usr/bin/nginx", "/usr/local/sbin/nginx"}) {
        if (::access(path, X_OK) == 0) return path;
    }
    return {};
}

int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len);
    ::close(s);
    return ntohs(sa.sin_port);
}

bool Accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    ::close(s);
    return ok;
}

// Bytes that no framing bug can reproduce by accident: a byte lost, doubled or moved shows.
std::string Noise(size_t size, uint32_t seed) {
    std::string out(size, '\0');
    for (char& c : out) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return out;
}

// One nginx in the foreground, single process, everything it writes inside its own folder.
class TNginx {
public:
    TNginx(const std::string& binary,
           const std::vector<std::pair<std::string, std::string>>& files) {
        std::string pattern = (fs::temp_directory_path() / "pogoda-nginx-XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
        fs::create_directories(m_dir / "www");
        for (const auto& [name, bytes] : files) {
            std::ofstream(m_dir / "www" / name, std::ios::binary) << bytes;
        }
        // The port is found free, then taken by nginx: another program may win it between.
        for (int attempt = 0; attempt < 5 && m_pid <= 0; ++attempt) Start(binary, FreePort());
    }
    ~TNginx() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    TNginx(const TNginx&) = delete;
    TNginx& operator=(const TNginx&) = delete;

    bool Running() const { return m_pid > 0; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    // One line per request: connection serial, request number on it, status, body bytes.
    std::vector<std::string> AccessLog() const {
        std::ifstream in(m_dir / "access.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string ErrorLog() const {
        std::ifstream in(m_dir / "error.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    void Start(const std::string& binary, int port) {
        const std::string d = m_dir.string();
        std::ofstream(m_dir / "nginx.conf")
            << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
            << "pid " << d << "/nginx.pid;\nerror_log " << d << "/error.log;\n"
            << "events { worker_connections 64; }\n"
            << "http {\n"
            << "  log_format serials '$connection $connection_requests $status $body_bytes_sent';\n"
            << "  access_log " << d << "/access.log serials;\n"
            << "  client_body_temp_path " << d << "/body;\n  proxy_temp_path " << d << "/proxy;\n"
            << "  fastcgi_temp_path " << d << "/fastcgi;\n  uwsgi_temp_path " << d << "/uwsgi;\n"
            << "  scgi_temp_path " << d << "/scgi;\n"
            << "  default_type application/octet-stream;\n  keepalive_requests 1000;\n"
            << "  server {\n    listen 127.0.0.1:" << port << ";\n    root " << d
            << "/www;\n"
            // Server-side includes drop the length, so these files travel chunked.
            << "    location ~ \\.shtml$ { ssi on; ssi_types *; }\n  }\n}\n";
        const std::string conf = (m_dir / "nginx.conf").string();
        const std::string errors = (m_dir / "error.log").string();
        std::vector<std::string> args = {binary, "-p", d, "-c", conf, "-e", errors};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (::posix_spawn(&pid, binary.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            return;
        for (int i = 0; i < 500; ++i) {
            if (Accepts(port)) {
                m_pid = pid;
                m_port = port;
                return;
            }
            if (::waitpid(pid, nullptr, WNOHANG) == pid) return;  // exited: port taken
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }

    fs::path m_dir;
    pid_t m_pid = -1;
    int m_port = 0;
};

// One access log line.
struct TLogged {
    long connection = 0;
    long request = 0;  // its number on that connection, from 1
    int status = 0;
    long bytes = 0;
};

std::vector<TLogged> Parse(const std::vector<std::string>& lines) {
    std::vector<TLogged> out;
    for (const std::string& line : lines) {
        TLogged l;
        std::istringstream(line) >> l.connection >> l.request >> l.status >> l.bytes;
        out.push_back(l);
    }
    return out;
}

class Nginx : public ::testing::Test {
protected:
    static constexpr size_t kLarge = 8u << 20;

    void SetUp() override {
        const std::string binary = NginxPath();
        if (binary.empty()) GTEST_SKIP() << "nginx is not installed";
        m_large = Noise(kLarge, 7);
        m_chunked = Noise(300000, 11);
        m_server = std::make_unique<TNginx>(
            binary, std::vector<std::pair<std::string, std::string>>{{"large.bin", m_large},
                                                                     {"small.txt", "small body\n"},
                                                                     {"page.shtml", m_chunked}});
        ASSERT_TRUE(m_server->Running()) << m_server->ErrorLog();
        http.Request().Accept = "text/html, */*";
        http.Request().UserAgent = "Mozilla/3.0 (compatible; Net Library)";
        http.OnWorkBegin = [this](TObject*, TWorkMode, int32_t max) { announced.push_back(max); };
        http.OnWork = [this](TObject*, TWorkMode, int32_t count) { lastCount = count; };
    }

    std::string Get(const std::string& path) {
        TMemoryStream body;
        http.Get(m_server->Url(path), &body);
        return std::string(reinterpret_cast<const char*>(body.Memory()), size_t(body.Size()));
    }

    std::string m_large;
    std::string m_chunked;
    std::unique_ptr<TNginx> m_server;
    TNetHTTP http{nullptr};
    std::vector<int32_t> announced;
    int32_t lastCount = 0;
};

TEST_F(Nginx, GetsReuseOneKeptConnectionAndBodiesArriveExactly) {
    const std::string large = Get("/large.bin");
    ASSERT_EQ(large.size(), kLarge);
    EXPECT_TRUE(large == m_large) << "the counted body differs from the file";
    EXPECT_EQ(announced, (std::vector<int32_t>{int32_t(kLarge)}));
    EXPECT_EQ(lastCount, int32_t(kLarge));

    EXPECT_EQ(Get("/small.txt"), "small body\n");
    EXPECT_TRUE(Get("/page.shtml") == m_chunked) << "the chunked body differs from the file";
    EXPECT_EQ(http.Response().HeaderLines().GetHeader("Transfer-Encoding"), "chunked");
    EXPECT_EQ(Get("/large.bin").size(), kLarge);

    const std::vector<TLogged> log = Parse(m_server->AccessLog());
    ASSERT_EQ(log.size(), 4u);
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].connection, log[0].connection)
            << "request " << i + 1 << " on a new connection";
        EXPECT_EQ(log[i].request, long(i + 1));
        EXPECT_EQ(log[i].status, 200);
    }
    EXPECT_EQ(log[0].bytes, long(kLarge));
}

TEST_F(Nginx, NotFoundRaisesTheStatusAndKeepsTheClientUsable) {
    EXPECT_EQ(Get("/small.txt"), "small body\n");
    try {
        Get("/missing.png");
        ADD_FAILURE() << "a 404 returned normally";
    } catch (const ENetHTTPProtocolException& e) {
        EXPECT_EQ(e.ReplyCode, 404);
        EXPECT_EQ(e.Message(), "HTTP/1.1 404 Not Found");
        EXPECT_NE(e.ErrorBody.find("404 Not Found"), std::string::npos) << e.ErrorBody;
    }
    EXPECT_EQ(Get("/large.bin").size(), kLarge);

    const std::vector<TLogged> log = Parse(m_server->AccessLog());
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].status, 404);
    EXPECT_EQ(log[2].connection, log[0].connection) << "the 404 cost the kept connection";
    EXPECT_EQ(log[2].request, 3);
}

}  // namespace
}  // namespace pogoda
