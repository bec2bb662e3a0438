#pragma once
// A job run as the window runs it, with a scripted host and the real .xlsx component.

#include <memory>

#include "jobs/job_context.h"
#include "support/failing_factory.h"
#include "support/register_environment.h"
#include "support/scripted_host.h"

namespace zelvor::test {

struct JobHarness {
  explicit JobHarness(
      const RegisterEnvironment& env,
      FailingFactory::Rule failWhen = [](const auto&) { return false; })
      : spreadsheets(std::move(failWhen)) {
    state.registerTransport = env.MakeTransport();
    state.registerAddress = env.Url();
    host.documentsFolder = folder.Path().string();
    host.programFolder = folder.Path().string();
  }

  // Transient failures are tried again at once: the waits of a real run would only slow the
  // tests down.
  jobs::JobContext Context() {
    jobs::JobContext ctx{state, host, spreadsheets};
    ctx.retries.delays = {std::chrono::milliseconds(1), std::chrono::milliseconds(1)};
    return ctx;
  }

  ScratchFolder folder;
  jobs::RunState state;
  ScriptedHost host;
  FailingFactory spreadsheets;
};

}  // namespace zelvor::test
