// The HTTP exchange of a service transport against a loopback server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <set>

#include "soap/http_transport.h"
#include "soap/remote_errors.h"
#include "support/loopback_server.h"

namespace zelvor::soap {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace std::chrono_literals;

constexpr const char* kAnswer = "<answer/>";

// What the server saw of the requests.
struct Seen {
  std::mutex mutex;
  std::vector<httplib::Headers> headers;
  std::vector<std::string> bodies;
  std::vector<std::string> methods;
  std::set<int> clientPorts;

  void Add(const httplib::Request& req) {
    std::lock_guard lock(mutex);
    headers.push_back(req.headers);
    bodies.push_back(req.body);
    methods.push_back(req.method);
    clientPorts.insert(req.remote_port);
  }
};

class HttpExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    httplib::Server& http = server_.Http();
    http.set_keep_alive_max_count(1000);
    http.Post("/echo", [this](const httplib::Request& req, httplib::Response& res) {
      seen_.Add(req);
      res.set_content(kAnswer, "text/xml; charset=utf-8");
    });
    // /hop/N redirects N times in a row, cycling through the redirect codes.
    http.Post(R"(/hop/(\d+))", [this](const httplib::Request& req, httplib::Response& res) {
      const int left = std::stoi(req.matches[1]);
      if (left == 0) {
        seen_.Add(req);
        res.set_content(kAnswer, "text/xml");
        return;
      }
      static constexpr int kCodes[] = {301, 302, 303, 307, 308};
      res.set_redirect("/hop/" + std::to_string(left - 1), kCodes[left % 5]);
    });
    http.Post("/to-file", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("file:///etc/hostname", 307);
    });
    http.Post(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
      res.status = std::stoi(req.matches[1]);
      res.set_content(kAnswer, "text/xml");
    });
    http.Post("/empty", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("", "text/xml");
    });
    http.Post("/type", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(kAnswer, req.get_param_value("t").c_str());
    });
    http.Post("/stall", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(1500ms);
      res.set_content(kAnswer, "text/xml");
    });
    // /hold answers only once released, or after 10 s.
    http.Post("/hold", [this](const httplib::Request& req, httplib::Response& res) {
      seen_.Add(req);
      std::unique_lock lock(hold_.mutex);
      hold_.arrived = true;
      hold_.changed.notify_all();
      hold_.changed.wait_for(lock, 10s, [this] { return hold_.released; });
      res.set_content(kAnswer, "text/xml");
    });
    http.Post("/broken", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(1000, "text/xml", [](size_t, size_t, httplib::DataSink& sink) {
        sink.write("<answer>", 8);
        return false;
      });
    });
    http.Post(R"(/size/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(std::string(std::stoul(req.matches[1]), 'x'), "text/xml");
    });
    http.Post(R"(/chunked/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
      const size_t total = std::stoul(req.matches[1]);
      res.set_chunked_content_provider("text/xml", [total](size_t offset, httplib::DataSink& sink) {
        if (offset >= total) {
          sink.done();
          return true;
        }
        const std::string chunk(std::min<size_t>(512, total - offset), 'x');
        sink.write(chunk.data(), chunk.size());
        return true;
      });
    });
    http.Post("/cookie", [this](const httplib::Request& req, httplib::Response& res) {
      seen_.Add(req);
      res.set_header("Set-Cookie", "session=abc123; Path=/");
      res.set_content(kAnswer, "text/xml");
    });
    server_.Start();

    service_.name = "Probe";
    service_.ns = "urn:probe";
    service_.defaultSoapAction = "urn:probe/#%operationName%";
    operation_.name = "Ask";
    service_.operations = {operation_};
  }

  HttpSettings TestSettings() {
    HttpSettings settings;
    settings.receiveTimeout = 300ms;
    settings.sendTimeout = 300ms;
    settings.connectTimeout = 2000ms;
    settings.maxAnswerBytes = 4096;
    return settings;
  }

  std::string Call(HttpTransport& transport, const std::string& path,
                   const std::string& request = "<request/>") {
    transport.SetURL(server_.Url(path));
    return transport.Exchange(service_, operation_, request);
  }

  void TearDown() override { Release(); }

  void Release() {
    std::lock_guard lock(hold_.mutex);
    hold_.released = true;
    hold_.changed.notify_all();
  }

  struct Hold {
    std::mutex mutex;
    std::condition_variable changed;
    bool arrived = false;
    bool released = false;
  };
  Hold hold_;
  zelvor::test::LoopbackServer server_;
  Seen seen_;
  InterfaceInfo service_;
  OperationInfo operation_;
};

TEST_F(HttpExchange, PostsTheBodyWithTheSoapHeaders) {
  HttpTransport transport({}, TestSettings());
  EXPECT_EQ(Call(transport, "/echo", "<Zapytanie>ż</Zapytanie>"), kAnswer);
  service_.defaultSoapAction = "";
  Call(transport, "/echo");

  ASSERT_EQ(seen_.headers.size(), 2u);
  const httplib::Headers& first = seen_.headers[0];
  EXPECT_EQ(seen_.methods[0], "POST");
  EXPECT_EQ(seen_.bodies[0], "<Zapytanie>ż</Zapytanie>");
  EXPECT_EQ(first.find("Content-Type")->second, "text/xml; charset=utf-8");
  EXPECT_EQ(first.find("SOAPAction")->second, "urn:probe/#Ask");
  EXPECT_EQ(first.find("Accept")->second, "*/*");
  EXPECT_THAT(first.find("User-Agent")->second, ::testing::EndsWith("SOAP 1.4"));
  EXPECT_EQ(first.count("Expect"), 0u);
  // An empty action is sent as two double quotes.
  EXPECT_EQ(seen_.headers[1].find("SOAPAction")->second, "\"\"");
}

TEST_F(HttpExchange, CallsShareOneConnectionAndKeepCookies) {
  HttpTransport transport({}, TestSettings());
  for (int i = 0; i < 5; ++i) Call(transport, i == 0 ? "/cookie" : "/echo");
  EXPECT_EQ(seen_.clientPorts.size(), 1u);
  ASSERT_EQ(seen_.headers.size(), 5u);
  EXPECT_EQ(seen_.headers[0].count("Cookie"), 0u);
  const auto cookie = seen_.headers[4].find("Cookie");
  ASSERT_NE(cookie, seen_.headers[4].end());
  EXPECT_EQ(cookie->second, "session=abc123");
}

TEST_F(HttpExchange, FollowsFiveRedirectsPostingTheSameBody) {
  HttpTransport transport({}, TestSettings());
  EXPECT_EQ(Call(transport, "/hop/5", "<same/>"), kAnswer);
  ASSERT_EQ(seen_.bodies.size(), 1u);
  EXPECT_EQ(seen_.methods[0], "POST");
  EXPECT_EQ(seen_.bodies[0], "<same/>");
}

TEST_F(HttpExchange, AcceptsAnswersThatCanCarryAnEnvelope) {
  HttpTransport transport({}, TestSettings());
  // 500 carries SOAP faults; a charset parameter makes text/html acceptable.
  EXPECT_EQ(Call(transport, "/status/500"), kAnswer);
  EXPECT_EQ(Call(transport, "/status/202"), kAnswer);
  EXPECT_EQ(Call(transport, "/type?t=text/html;%20charset=utf-8"), kAnswer);
  EXPECT_EQ(Call(transport, "/type?t=application/soap%2Bxml"), kAnswer);
  EXPECT_EQ(Call(transport, "/size/4096"), std::string(4096, 'x'));
}

struct FailureCase {
  const char* name;
  const char* path;
  std::string message;  // the start of the message; {URL} is the endpoint
  bool transient;       // the same call may succeed a moment later
};

class HttpExchangeFails : public HttpExchange, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(HttpExchangeFails, WithItsMessageAndTheTransportStaysUsable) {
  HttpTransport transport({}, TestSettings());
  const std::string url = server_.Url(GetParam().path);
  std::string expected = GetParam().message;
  if (const size_t pos = expected.find("{URL}"); pos != std::string::npos) {
    expected.replace(pos, 5, url);
  }
  try {
    Call(transport, GetParam().path);
    FAIL() << "no error";
  } catch (const std::exception& error) {
    EXPECT_THAT(error.what(), HasSubstr(" (" + expected));
    EXPECT_EQ(IsTransientFailure(error), GetParam().transient);
  }
  EXPECT_EQ(Call(transport, "/echo"), kAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HttpExchangeFails,
    ::testing::Values(
        FailureCase{"SixRedirects", "/hop/6", "Maximum number of redirections (5) exceeded", false},
        FailureCase{"RedirectToAFile", "/to-file", "Error sending data: (1) ", false},
        FailureCase{"NotFound", "/status/404", "Not Found (404) - '{URL}'", false},
        FailureCase{"Status300", "/status/300", "Multiple Choice (300) - '{URL}'", false},
        FailureCase{"Status501", "/status/501", "Not Implemented (501) - '{URL}'", false},
        FailureCase{"EmptyBody", "/empty", "Invalid HTTP Response: Length is 0", false},
        FailureCase{"Html", "/type?t=text/html",
                    "Received content of invalid Content-Type setting: text/html - SOAP expects "
                    "\"text/xml\"",
                    false},
        FailureCase{"PlainTextAnyCase", "/type?t=Text/Plain",
                    "Received content of invalid Content-Type setting: Text/Plain - SOAP expects "
                    "\"text/xml\"",
                    false},
        FailureCase{"Stalled", "/stall", "Error receiving data: (28) No data received for 300 ms",
                    true},
        FailureCase{"BrokenOff", "/broken", "Error receiving data: (18) ", true},
        FailureCase{"OverLimitWithLength", "/size/4097",
                    "Error receiving data: (23) The answer is larger than the limit of 4096 bytes",
                    false},
        FailureCase{"OverLimitChunked", "/chunked/100000",
                    "Error receiving data: (23) The answer is larger than the limit of 4096 bytes",
                    false}),
    [](const auto& test) { return std::string(test.param.name); });

// A stop ends the call the server is still holding, is not worth another try, and sends nothing
// more until it is taken back.
TEST_F(HttpExchange, AStopEndsTheCallInFlightAndSendsNothingMore) {
  std::atomic<bool> stop = false;
  HttpSettings settings = TestSettings();
  settings.receiveTimeout = 60s;
  settings.aborted = [&stop] { return stop.load(); };
  HttpTransport transport({}, settings);
  auto call = std::async(std::launch::async, [&] { return Call(transport, "/hold"); });
  {
    std::unique_lock lock(hold_.mutex);
    ASSERT_TRUE(hold_.changed.wait_for(lock, 10s, [this] { return hold_.arrived; }));
  }
  stop = true;
  try {
    call.get();
    FAIL() << "no error";
  } catch (const ECallAborted& error) {
    EXPECT_STREQ(error.what(), "PRZERWANE PRZEZ UŻYTKOWNIKA");
    EXPECT_FALSE(IsTransientFailure(error));
  }
  {
    std::lock_guard lock(hold_.mutex);
    EXPECT_FALSE(hold_.released) << "the call waited for the answer";
  }
  EXPECT_THROW(Call(transport, "/echo"), ECallAborted);
  EXPECT_EQ(seen_.bodies.size(), 1u);
  stop = false;
  EXPECT_EQ(Call(transport, "/echo"), kAnswer);
}

TEST_F(HttpExchange, NoServerIsASendingError) {
  HttpTransport transport({}, TestSettings());
  const int port = server_.Port();
  server_.Stop();
  transport.SetURL("http://127.0.0.1:" + std::to_string(port) + "/echo");
  try {
    transport.Exchange(service_, operation_, "<request/>");
    FAIL() << "no error";
  } catch (const ETransportError& error) {
    EXPECT_THAT(error.what(), HasSubstr(" (Error sending data: (7) "));
    EXPECT_TRUE(error.Transient());
  }
}

TEST(HttpStatus, ErrorCarriesStatusTextCodeAndUrl) {
  HttpAnswer answer;
  answer.status = 404;
  answer.statusText = "Not Found";
  answer.body = "x";
  try {
    CheckAnswer(answer, "http://h/p");
    FAIL() << "no error";
  } catch (const ESOAPHTTPException& error) {
    EXPECT_THAT(error.what(), ::testing::EndsWith(" (Not Found (404) - 'http://h/p')"));
    EXPECT_EQ(error.StatusCode(), 404);
    EXPECT_EQ(error.StatusText(), "Not Found");
    EXPECT_EQ(error.URL(), "http://h/p");
  }
}

}  // namespace
}  // namespace zelvor::soap
