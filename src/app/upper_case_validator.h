#pragma once
// Turns whatever is typed or pasted into a field into upper case.

#include <QValidator>

namespace zelvor::app {

class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*pos*/) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

}  // namespace zelvor::app
