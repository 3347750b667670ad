// The exchange against a scripted loopback peer: request bytes, bodies and their work
// events, kept and dropped connections, statuses, and a peer that vanishes at every byte.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "http/http_client.h"
#include "http/http_exceptions.h"
#include "http/socket_exceptions.h"
#include "tests/http/script_server.h"

namespace pogoda {
namespace {

using test::Close;
using test::Pause;
using test::ReadHead;
using test::Reset;
using test::Send;
using test::TScriptServer;

std::string Head(int port, const std::string& path = "/x.png") {
    return "GET " + path + " HTTP/1.1\r\nContent-Type: text/html\r\nHost: 127.0.0.1:" +
           std::to_string(port) +
           "\r\nAccept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Net Library)\r\n\r\n";
}

// A client set up as the main window stores it, with every event written to a trace.
struct TClient {
    TClient() {
        http.MaxLineAction = maException;
        http.ReadTimeout = 0;
        http.Request().ContentType = "text/html";
        http.Request().Accept = "text/html, */*";
        http.Request().UserAgent = "Mozilla/3.0 (compatible; Net Library)";
        http.OnStatus = [this](TObject*, TNetStatus s, const std::string& text) {
            trace.push_back(std::string(NetStatusName(s)) + " " + text);
        };
        http.OnWorkBegin = [this](TObject*, TWorkMode m, int32_t max) {
            trace.push_back(std::string(m == wmRead ? "begin r " : "begin w ") + std::to_string(max));
        };
        http.OnWork = [this](TObject*, TWorkMode m, int32_t count) {
            trace.push_back(std::string(m == wmRead ? "work r " : "work w ") + std::to_string(count));
        };
        http.OnWorkEnd = [this](TObject*, TWorkMode m) {
            trace.push_back(m == wmRead ? "end r" : "end w");
        };
    }
    std::string Get(const std::string& url) {
        TMemoryStream body;
        http.Get(url, &body);
        return std::string(reinterpret_cast<const char*>(body.Memory()), size_t(body.Size()));
    }
    // The trace without connection statuses, which depend on timing of nothing here but
    // would clutter every expectation.
    std::vector<std::string> Work() const {
        std::vector<std::string> out;
        for (const auto& t : trace) {
            if (t.rfind("begin", 0) == 0 || t.rfind("work", 0) == 0 || t.rfind("end", 0) == 0 ||
                t.rfind("hsStatusText", 0) == 0) {
                out.push_back(t);
            }
        }
        return out;
    }
    TNetHTTP http{nullptr};
    std::vector<std::string> trace;
};

TEST(HttpExchange, FirstRequestHeadAndCountedBodyOnAKeptConnection) {
    const std::string body(5000, 'b');
    TScriptServer server({{ReadHead(), Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nSet-Cookie: a=1; path=/\r\n\r\n" + body),
                           ReadHead(), Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")}});
    TClient c;
    EXPECT_EQ(c.Get(server.Url("/x.png")), body);
    EXPECT_EQ(c.Work().front(), "begin r 5000");
    EXPECT_EQ(c.Work().back(), "end r");
    EXPECT_EQ(c.Work()[c.Work().size() - 2], "work r 5000");
    EXPECT_TRUE(c.http.IsConnected());
    EXPECT_EQ(c.Get(server.Url("/y")), "ok");
    EXPECT_EQ(server.Connections(), 1);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], Head(server.Port()));
    const std::string second = Head(server.Port(), "/y");
    EXPECT_EQ(requests[1], second.substr(0, second.size() - 2) + "Cookie: a=1\r\n\r\n");
    // Connection statuses come once, in order.
    EXPECT_EQ(c.trace[0], "hsDisconnecting Disconnecting.");
    EXPECT_EQ(c.trace[2], "hsConnecting Connecting to 127.0.0.1.");
    EXPECT_EQ(c.trace[3], "hsConnected Connected.");
}

TEST(HttpExchange, BodyFramings) {
    struct Case {
        const char* name;
        std::string reply;
        std::string body;
        std::vector<std::string> work;
        bool kept;
    };
    const std::string k1024(1024, 'k');
    const Case cases[] = {
        {"chunked with extension, trailer and upper-case coding",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: CHUNKED\r\n\r\n400;ext=1\r\n" + k1024 +
             "\r\n10\r\n0123456789abcdef\r\n0\r\nX-Trailer: 1\r\n\r\n",
         k1024 + "0123456789abcdef",
         {"hsStatusText Chunk Started", "begin r 1024", "work r 1024", "end r", "begin r 16",
          "work r 16", "end r"},
         true},
        {"until close", "HTTP/1.0 200 OK\r\n\r\nhello", "hello", {"begin r 0", "work r 5", "end r"}, false},
        {"length wins over chunked", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nTransfer-Encoding: chunked\r\n\r\n0123456789",
         "0123456789", {"begin r 10", "work r 10", "end r"}, true},
        {"204", "HTTP/1.1 204 No Content\r\n\r\n", "", {}, true},
        {"100 then 200", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nz", "z",
         {"begin r 1", "work r 1", "end r"}, true},
        {"counted body cut short", "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nabc", "abc",
         {"begin r 5000", "work r 3", "end r"}, false},
        {"connection close", "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nConnection: close\r\n\r\nz", "z",
         {"begin r 1", "work r 1", "end r"}, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const bool closes = !k.kept;
        std::vector<test::TStep> script{ReadHead(), Send(k.reply)};
        if (closes) script.push_back(Close());
        TScriptServer server({script});
        TClient c;
        EXPECT_EQ(c.Get(server.Url("/x.png")), k.body);
        EXPECT_EQ(c.Work(), k.work);
        EXPECT_EQ(c.http.IsConnected(), k.kept);
    }
}

TEST(HttpExchange, UnsuccessfulStatuses) {
    struct Case {
        std::string reply;
        int code;
        std::string errorBody;
    };
    const Case cases[] = {
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found", 404, "not found"},
        {"HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\n\r\n", 302, ""},
        {"HTTP/1.1 200 OK\r\nLocation: /elsewhere\r\nContent-Length: 2\r\n\r\nhi", 200, "hi"},
        {"HTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n\r\n", 401, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.reply);
        TScriptServer server({{ReadHead(), Send(k.reply), ReadHead(),
                               Send("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nz")}});
        TClient c;
        try {
            c.Get(server.Url("/x.png"));
            ADD_FAILURE() << "no exception";
        } catch (const ENetHTTPProtocolException& e) {
            EXPECT_EQ(e.ReplyCode, k.code);
            EXPECT_EQ(e.Message(), k.reply.substr(0, k.reply.find('\r')));
            EXPECT_EQ(e.ErrorBody, k.errorBody);
        }
        // The error body was read to its end, so the connection carries the next request.
        EXPECT_EQ(c.Get(server.Url("/x.png")), "z");
        EXPECT_EQ(server.Connections(), 1);
    }
}

TEST(HttpExchange, BasicChallengeAttachesAuthorizationToLaterRequests) {
    TScriptServer server({{ReadHead(),
                           Send("HTTP/1.1 401 No\r\nWWW-Authenticate: Basic realm=\"r\"\r\nContent-Length: 0\r\n\r\n"),
                           ReadHead(), Send("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n")}});
    TClient c;
    EXPECT_THROW(c.Get(server.Url("/x.png")), ENetHTTPProtocolException);
    c.Get(server.Url("/x.png"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].find("Authorization"), std::string::npos);
    EXPECT_NE(requests[1].find("Authorization: Basic Og==\r\n"), std::string::npos);
}

TEST(HttpExchange, Failures) {
    TClient c;
    {
        TScriptServer server({{ReadHead(), Send("HTTP/1.1 200 OK\r\nServer: x\r\n"), Close()}});
        try {
            c.Get(server.Url("/x.png"));
            ADD_FAILURE();
        } catch (const ENetException& e) {
            EXPECT_STREQ(e.ClassName(), "ENetException");
            EXPECT_EQ(e.Message(), "Undefined situation");
        }
    }
    {
        TScriptServer server({{ReadHead(), Send("HTTP/1.1 200 " + std::string(16384, 'a') + "\r\n\r\n")}});
        EXPECT_THROW(c.Get(server.Url("/x.png")), ENetReadLnMaxLineLengthExceeded);
        EXPECT_FALSE(c.http.IsConnected());
    }
    EXPECT_THROW(c.Get("https://127.0.0.1/"), ENetIOHandlerPropInvalid);
    EXPECT_THROW(c.Get("http://127.0.0.1:8x/"), EConvertError);
    try {
        c.Get("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/");
        ADD_FAILURE();
    } catch (const ENetSocketError& e) {
        EXPECT_EQ(e.SocketErrorCode, 10061);
        EXPECT_EQ(e.Message(), "Socket Error # 10061\r\nConnection refused.");
    }
    try {
        c.Get("http://no-such-host.invalid/");
        ADD_FAILURE();
    } catch (const ENetSocketError& e) {
        EXPECT_EQ(e.SocketErrorCode, 11001);
        EXPECT_EQ(e.Message(), "Socket Error # 11001\r\nHost not found.");
    }
}

TEST(HttpExchange, KeptConnectionClosedOrResetByTheServerIsReplaced) {
    for (const bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "close");
        TScriptServer server({{ReadHead(), Send("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\na"),
                               reset ? Reset() : Close()},
                              {ReadHead(), Send("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nb")}});
        TClient c;
        EXPECT_EQ(c.Get(server.Url("/x.png")), "a");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(c.Get(server.Url("/x.png")), "b");
        EXPECT_EQ(server.Connections(), 2);
    }
}

// The peer closes, or resets, after every byte offset of a realistic answer: every run
// ends in a normal return or a named exception of the client, and leaves the connection
// closed unless the answer was complete.
TEST(HttpExchange, PeerVanishesAtEveryByte) {
    const std::string replies[] = {
        "HTTP/1.1 200 OK\r\nContent-Length: 12\r\nSet-Cookie: s=1\r\n\r\nhello world!",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n7;x\r\n world!\r\n0\r\n\r\n",
        "HTTP/1.1 404 Nope\r\nContent-Length: 4\r\n\r\nnope",
    };
    for (const std::string& reply : replies) {
        for (const bool reset : {false, true}) {
            for (size_t cut = 0; cut <= reply.size(); ++cut) {
                SCOPED_TRACE(reply.substr(0, 20) + " cut at " + std::to_string(cut) + (reset ? " reset" : ""));
                TScriptServer server({{ReadHead(), Send(reply.substr(0, cut)), Pause(5), reset ? Reset() : Close()}});
                TClient c;
                try {
                    c.Get(server.Url("/x.png"));
                } catch (const ENetException&) {
                }
                if (cut < reply.size()) {
                    EXPECT_FALSE(c.http.IsConnected());
                }
            }
        }
    }
}

}  // namespace
}  // namespace pogoda
