#include "jobs/nip_validation.h"

#include <algorithm>

namespace zelvor::jobs {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

void TrimTrailingControlAndBlank(std::string& text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
}

void RemoveAll(std::string& text, std::string_view what) {
  for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos)) {
    text.erase(pos, what.size());
  }
}

}  // namespace

std::string KeepNipChars(std::string_view raw) {
  std::string kept;
  std::copy_if(raw.begin(), raw.end(), std::back_inserter(kept),
               [](char c) { return IsDigit(c) || c == '.'; });
  return kept;
}

bool IsValidNip(std::string_view text, NipDigits& NIP) {
  std::string nip(text);
  RemoveAll(nip, "-");
  TrimTrailingControlAndBlank(nip);
  if (nip.starts_with("PL")) {
    RemoveAll(nip, "PL");
    TrimTrailingControlAndBlank(nip);
  }
  if (nip.size() != NIP.size() || !std::all_of(nip.begin(), nip.end(), IsDigit)) return false;
  for (size_t i = 0; i < NIP.size(); ++i) NIP[i] = nip[i] - '0';
  return NipChecksumOk(NIP);
}

bool NipChecksumOk(const NipDigits& NIP) {
  static constexpr std::array<int, 9> kWeights{6, 5, 7, 2, 3, 4, 5, 6, 7};
  int sum = 0;
  for (size_t i = 0; i < kWeights.size(); ++i) sum += kWeights[i] * NIP[i];
  return sum % 11 == NIP[9];
}

}  // namespace zelvor::jobs
