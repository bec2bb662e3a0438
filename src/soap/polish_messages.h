#pragma once
// The Polish sentences of the exchange: a person reads what happened and what to do first, and
// the text the error carried before, for support to search, follows in parentheses.

#include <string>
#include <string_view>

#include "soap/http_settings.h"

namespace zelvor::soap {

// "<sentence> (<message>)".
std::string PolishFirst(std::string_view sentence, std::string_view message);

// For a transport failure the service's own explanation did not cover.
std::string TransportSentence(const FailureReport& report);

// For an answer the HTTP tests refuse.
std::string HttpStatusSentence(long status);
std::string EmptyAnswerSentence();
std::string ContentTypeSentence();

// Rethrows the error being handled: an error of reading an answer (not XML, not a SOAP message
// of the expected shape, a value that cannot be read, a SOAP fault) as the same type with its
// message Polish first; any other error unchanged. Only inside a catch block.
[[noreturn]] void RethrowAnswerErrorInPolish();

}  // namespace zelvor::soap
