#include "sim-common/sim_server.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

namespace zelvor::sim {
namespace {

std::string HtmlPage(int status, std::string_view text) {
  return "<!DOCTYPE html>\n<html><head><title>" + std::to_string(status) +
         "</title></head><body><h1>" + std::to_string(status) + " " + std::string(text) +
         "</h1></body></html>\n";
}

std::string UrlHost(const std::string& host) {
  return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

constexpr int kDefaultLatencyMs = 1000;
constexpr int kDefaultTrickleMs = 1000;

// Milliseconds with three decimals.
std::string ServiceMs(std::chrono::nanoseconds time) {
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(time).count();
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(us / 1000),
                static_cast<long long>(us % 1000));
  return text;
}

std::string_view StatusText(int status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 502:
      return "Bad Gateway";
    case 503:
      return "Service Unavailable";
    case 504:
      return "Gateway Timeout";
    default:
      return "Error";
  }
}

}  // namespace

SimServer::SimServer(httplib::Server& http, SoapService& service, FaultPlan& faults,
                     ServerSettings settings, std::string scheme)
    : http_(http),
      service_(service),
      faults_(faults),
      settings_(std::move(settings)),
      scheme_(std::move(scheme)) {
  http_.Post(settings_.path,
             [this](const httplib::Request& req, httplib::Response& res) { HandleSoap(req, res); });
  http_.Post("/_sim/fault", [this](const httplib::Request& req, httplib::Response& res) {
    HandleFaultRequest(req, res);
  });
  http_.Post("/_sim/reset", [this](const httplib::Request&, httplib::Response& res) {
    faults_.Clear();
    {
      std::lock_guard lock(mutex_);
      connections_.clear();
      requests_ = 0;
      faultsInjected_ = 0;
      serviceTime_ = {};
    }
    res.set_content("ok\n", "text/plain");
  });
  http_.Get("/_sim/stats",
            [this](const httplib::Request&, httplib::Response& res) { HandleStats(res); });
  // The answer's head and body go out in separate writes; without this the second waits for
  // the client's delayed acknowledgement of the first, some 40 ms on every request.
  http_.set_tcp_nodelay(true);
  http_.set_keep_alive_max_count(100000);
  http_.set_keep_alive_timeout((settings_.keepAliveMs + 999) / 1000);
  // The server takes ownership of the queue it is handed.
  http_.new_task_queue = [threads = settings_.threads]() -> httplib::TaskQueue* {
    return std::make_unique<httplib::ThreadPool>(static_cast<std::size_t>(threads)).release();
  };
}

int SimServer::Run() {
  // Signals are taken by one waiting thread, so they must be blocked before any other starts.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  int port = settings_.port;
  if (port == 0) {
    port = http_.bind_to_any_port(settings_.host);
  } else if (!http_.bind_to_port(settings_.host, port)) {
    port = -1;
  }
  if (port <= 0) {
    std::fprintf(stderr, "cannot listen on %s:%d\n", settings_.host.c_str(), settings_.port);
    return 1;
  }
  std::promise<bool> served;
  std::future<bool> done = served.get_future();
  std::thread serving([this, &served] { served.set_value(http_.listen_after_bind()); });
  // A stop before the server runs would be lost, so the address is told only once it does.
  while (!http_.is_running() &&
         done.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
  }
  std::printf("listening on %s://%s:%d%s\n", scheme_.c_str(), UrlHost(settings_.host).c_str(), port,
              settings_.path.c_str());
  std::fflush(stdout);

  const timespec tick{0, 200 * 1000 * 1000};
  while (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    if (sigtimedwait(&signals, nullptr, &tick) > 0) break;
  }
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  http_.stop();
  // An idle keep-alive connection holds a worker until its time-out; do not wait for it.
  if (done.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
    std::fflush(nullptr);
    _exit(0);
  }
  serving.join();
  return 0;
}

void SimServer::Pause(int ms) {
  std::unique_lock lock(mutex_);
  stopped_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
}

bool SimServer::Stopping() {
  std::lock_guard lock(mutex_);
  return stopping_;
}

void SimServer::HandleSoap(const httplib::Request& req, httplib::Response& res) {
  {
    std::lock_guard lock(mutex_);
    maxInFlight_ = std::max(maxInFlight_, ++inFlight_);
  }
  const auto started = std::chrono::steady_clock::now();
  ServeSoap(req, res);
  const auto spent = std::chrono::steady_clock::now() - started;
  std::lock_guard lock(mutex_);
  --inFlight_;
  serviceTime_ += spent;
}

void SimServer::ServeSoap(const httplib::Request& req, httplib::Response& res) {
  {
    std::lock_guard lock(mutex_);
    connections_.insert(req.remote_addr + "|" + std::to_string(req.remote_port));
    ++requests_;
  }
  if (req.has_param("loop")) {
    Redirect(req, res, true);
    return;
  }
  std::string key;
  const std::string action = req.get_header_value("SOAPAction");
  const Answer answer =
      service_.Serve(req.body, req.has_header("SOAPAction") ? &action : nullptr, key);
  if (settings_.latencyMs > 0) Pause(settings_.latencyMs);

  // The second leg of a redirect is answered normally.
  const std::optional<Fault> fault = req.has_param("hop") ? std::nullopt : faults_.Next(key);
  if (!fault) {
    res.status = answer.status;
    res.set_content(answer.body, answer.contentType);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    ++faultsInjected_;
  }
  ApplyFault(*fault, answer, req, res);
}

void SimServer::ApplyFault(const Fault& fault, const Answer& answer, const httplib::Request& req,
                           httplib::Response& res) {
  const auto send = [&res](const Answer& a) {
    res.status = a.status;
    res.set_content(a.body, a.contentType);
  };
  switch (fault.kind) {
    case FaultKind::Latency:
      Pause(fault.param > 0 ? fault.param : kDefaultLatencyMs);
      send(answer);
      return;
    case FaultKind::Stall:
      Pause(fault.param > 0 ? fault.param : settings_.stallMs);
      send(answer);
      return;
    case FaultKind::ServiceFault:
      send(service_.ServiceFault());
      return;
    case FaultKind::OtherFault:
      send(service_.OtherFault());
      return;
    case FaultKind::HttpStatus:
      send({fault.param, "text/html", HtmlPage(fault.param, StatusText(fault.param))});
      return;
    case FaultKind::EmptyBody:
      send({200, std::string(kXmlContentType), ""});
      return;
    case FaultKind::Html:
      send({200, "text/html", HtmlPage(200, "Serwis chwilowo niedostępny")});
      return;
    case FaultKind::HtmlCharset:
      send({200, "text/html; charset=utf-8", HtmlPage(200, "Serwis chwilowo niedostępny")});
      return;
    case FaultKind::Malformed:
      send({200, std::string(kXmlContentType),
            answer.body.substr(0, answer.body.size() / 2) + "<Przerwane"});
      return;
    case FaultKind::NotEnvelope:
      send({200, std::string(kXmlContentType),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Blad><Opis>Serwis chwilowo "
            "niedostępny</Opis></Blad>\n"});
      return;
    case FaultKind::Redirect:
      Redirect(req, res, false);
      return;
    case FaultKind::RedirectLoop:
      Redirect(req, res, true);
      return;
    case FaultKind::Trickle: {
      // The whole answer, announced in full, one byte at a time: alive, yet never done in time.
      const auto body = std::make_shared<std::string>(answer.body);
      const int ms = fault.param > 0 ? fault.param : kDefaultTrickleMs;
      res.status = answer.status;
      res.set_content_provider(body->size(), answer.contentType,
                               [this, body, ms](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset > 0) Pause(ms);
                                 if (Stopping()) return false;
                                 return sink.write(body->data() + offset, 1);
                               });
      return;
    }
    case FaultKind::Truncated: {
      // The length announced is the whole answer's; the connection closes halfway.
      const auto body = std::make_shared<std::string>(answer.body);
      res.status = answer.status;
      res.set_content_provider(body->size(), answer.contentType,
                               [body](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset == 0) sink.write(body->data(), body->size() / 2);
                                 return false;
                               });
      return;
    }
  }
}

void SimServer::Redirect(const httplib::Request& req, httplib::Response& res, bool loop) {
  const int hop = req.has_param("hop") ? std::atoi(req.get_param_value("hop").c_str()) : 0;
  std::string url = scheme_ + "://" + req.get_header_value("Host") + settings_.path + "?";
  if (loop) url += "loop=1&";
  url += "hop=" + std::to_string(hop + 1);
  res.set_redirect(url, 307);
}

void SimServer::HandleFaultRequest(const httplib::Request& req, httplib::Response& res) {
  const auto fail = [&res](const std::string& why) {
    res.status = 400;
    res.set_content(why + "\n", "text/plain");
  };
  const auto fault = ParseFault(req.get_param_value("kind"));
  if (!fault) return fail("unknown kind; one of: " + std::string(FaultNames()));
  int count = 1;
  if (req.has_param("count")) {
    const std::string text = req.get_param_value("count");
    count = text == "always" ? FaultPlan::kAlways : std::atoi(text.c_str());
    if (count == 0 || count < FaultPlan::kAlways) {
      return fail("count wants a positive number or 'always'");
    }
  }
  if (req.has_param("key")) {
    faults_.AddKeyed(req.get_param_value("key"), *fault, count);
  } else {
    faults_.Queue(*fault, count);
  }
  res.set_content("ok\n", "text/plain");
}

void SimServer::HandleStats(httplib::Response& res) {
  std::lock_guard lock(mutex_);
  res.set_content("{\"requests\":" + std::to_string(requests_) +
                      ",\"connections\":" + std::to_string(connections_.size()) +
                      ",\"faults\":" + std::to_string(faultsInjected_) + ",\"maxInFlight\":" +
                      std::to_string(maxInFlight_) + ",\"inFlight\":" + std::to_string(inFlight_) +
                      ",\"serviceMs\":" + ServiceMs(serviceTime_) + "}\n",
                  "application/json");
}

}  // namespace zelvor::sim
