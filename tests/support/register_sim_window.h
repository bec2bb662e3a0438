#pragma once
// The main window on register-sim: its certificate store is the environment's, and its register
// transport goes to the simulator the way the program points it elsewhere (registerAddress,
// ApplyServiceUrl).

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

// The window, or a test's window made from it, at 2024-03-31 09:30.
template <class Window = app::TForm1>
std::unique_ptr<Window> RegisterSimWindow(const RegisterEnvironment& env, const std::string& url) {
  auto form = std::make_unique<Window>(
      [] { return QDateTime(QDate(2024, 3, 31), QTime(9, 30, 0)); }, env.StoreFolder());
  form->State().registerAddress = url;
  reg::ApplyServiceUrl(*form->State().registerTransport, form->State().registerAddress);
  form->show();
  return form;
}

template <class Window = app::TForm1>
std::unique_ptr<Window> RegisterSimWindow(const RegisterEnvironment& env) {
  return RegisterSimWindow<Window>(env, env.Url());
}

}  // namespace zelvor::test
