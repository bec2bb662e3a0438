#pragma once
// The main window on register-sim: its certificate store is the environment's, and its register
// transport goes to the simulator the way the program points it elsewhere (sBaza, ApplyServiceUrl).

#include <QDateTime>
#include <memory>
#include <string>

#include "app/form1.h"
#include "e2e/register_environment.h"
#include "register/register_transport.h"
#include "tools/http_client.h"

namespace zelvor::test {

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

inline QDate ToQDate(soap::CalendarDate day) {
  return {day.year, day.month, day.day};
}

inline std::unique_ptr<app::TForm1> RegisterSimWindow(const RegisterEnvironment& env,
                                                      const std::string& url) {
  auto form = std::make_unique<app::TForm1>(
      [] { return QDateTime(QDate(2024, 3, 31), QTime(9, 30, 0)); }, env.StoreFolder());
  form->State().sBaza = url;
  reg::ApplyServiceUrl(*form->State().HTTPRIO3, form->State().sBaza);
  form->show();
  return form;
}

inline std::unique_ptr<app::TForm1> RegisterSimWindow(const RegisterEnvironment& env) {
  return RegisterSimWindow(env, env.Url());
}

// Asks the simulator for one fault of `kind` on the next request about `key`, speaking to it
// with the store's own certificate.
inline long InjectFault(const RegisterEnvironment& env, const std::string& kind,
                        const std::string& key) {
  const std::string personal = (env.StoreFolder() / "personal" / "kreptd.pem").string();
  HttpClient client;
  client.Tls({(env.StoreFolder() / "issuers" / "gitd.pem").string(), personal, personal});
  const std::string origin =
      env.Url().substr(0, env.Url().find('/', std::string("https://").size()));
  return client.PostForm(origin + "/_sim/fault", "kind=" + kind + "&key=" + key).status;
}

}  // namespace zelvor::test
