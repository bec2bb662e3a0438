#pragma once
// The main window on register-sim: its certificate store is the environment's, and its register
// transport goes to the simulator the way the program points it elsewhere (sBaza, ApplyServiceUrl).

#include <QDateTime>
#include <memory>
#include <string>

#include "app/form1.h"
#include "register/register_transport.h"
#include "support/register_environment.h"

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
  reg::ApplyServiceUrl(*form->State().registerTransport, form->State().sBaza);
  form->show();
  return form;
}

inline std::unique_ptr<app::TForm1> RegisterSimWindow(const RegisterEnvironment& env) {
  return RegisterSimWindow(env, env.Url());
}

}  // namespace zelvor::test
