// The VAT number check: the request it sends, how it reads the answer, and the lines it shows.
#include "vies/vat_check.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zelvor::vies {
namespace {

using namespace std::chrono;

// Keeps the request it is given and answers with a prepared response.
class RecordingPort : public VatPortType {
 public:
  std::unique_ptr<CheckVatResponse> Check(const vies::CheckVatRequest&) override {
    throw std::logic_error("the check never calls the exact check");
  }
  std::unique_ptr<CheckVatApproxResponse> CheckApprox(
      const vies::CheckVatApproxRequest& request) override {
    sent.countryCode = request.countryCode;
    sent.vatNumber = request.vatNumber;
    flags = {request.traderName_Specified(),        request.traderCompanyType_Specified(),
             request.traderStreet_Specified(),      request.traderPostcode_Specified(),
             request.traderCity_Specified(),        request.requesterCountryCode_Specified(),
             request.requesterVatNumber_Specified()};
    sent.requesterCountryCode = request.requesterCountryCode();
    sent.requesterVatNumber = request.requesterVatNumber();
    if (failure) throw std::runtime_error(failure);
    return std::move(response);
  }

  std::unique_ptr<CheckVatApproxResponse> response = std::make_unique<CheckVatApproxResponse>();
  const char* failure = nullptr;
  VatQuery sent;
  std::vector<bool> flags;
};

const VatQuery kQuery{"PL", " 5754391636", "IT", ""};

TEST(CheckVat, SendsTheNumberAndTheRequesterAsTypedAndNoTraderFields) {
  RecordingPort port;
  CheckVat(port, kQuery);
  EXPECT_EQ(port.sent.countryCode, "PL");
  EXPECT_EQ(port.sent.vatNumber, " 5754391636");
  EXPECT_EQ(port.sent.requesterCountryCode, "IT");
  EXPECT_EQ(port.sent.requesterVatNumber, "");
  // Only the two requester fields are marked for sending, the empty one included.
  EXPECT_EQ(port.flags, (std::vector<bool>{false, false, false, false, false, true, true}));
}

TEST(CheckVat, ReadsTheAnswerAndLeavesWhatItLacksEmpty) {
  RecordingPort port;
  CheckVatApproxResponse& r = *port.response;
  r.valid = true;
  r.countryCode = "PL";
  r.vatNumber = "5754391636";
  r.requestDate = std::make_unique<soap::TXSDate>(soap::TXSDate::FromText("2024-12-04+01:00"));
  r.SettraderName("PRZEWOZY ŁÓDŹ SP. Z O.O.");
  r.SettraderCity("ŁÓDŹ");
  r.SettraderCompanyType("SPZOO");
  r.SettraderNameMatch(matchCode::_2);
  const VatAnswer a = CheckVat(port, kQuery);
  EXPECT_TRUE(a.valid);
  EXPECT_EQ(a.requestDate, std::optional<year_month_day>(year{2024} / December / 4));
  EXPECT_EQ(a.countryCode, "PL");
  EXPECT_EQ(a.vatNumber, "5754391636");
  EXPECT_EQ(a.traderName, "PRZEWOZY ŁÓDŹ SP. Z O.O.");
  EXPECT_EQ(a.traderCity, "ŁÓDŹ");
  EXPECT_EQ(a.traderCompanyType, "SPZOO");
  EXPECT_EQ(a.traderAddress, "");
  EXPECT_EQ(a.traderStreet, "");
  EXPECT_EQ(a.traderPostcode, "");

  RecordingPort undated;
  undated.response->valid = true;
  EXPECT_FALSE(CheckVat(undated, kQuery).requestDate.has_value());
}

TEST(CheckVat, AnAnswerWithoutAResultOrAFailedCallIsAnError) {
  RecordingPort empty;
  empty.response.reset();
  EXPECT_THROW(CheckVat(empty, kQuery), std::runtime_error);

  RecordingPort failing;
  failing.failure = "MS_UNAVAILABLE";
  try {
    CheckVat(failing, kQuery);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "MS_UNAVAILABLE");
  }
}

std::string Dotted(year_month_day d) {
  return std::to_string(unsigned(d.day())) + "." + std::to_string(unsigned(d.month())) + "." +
         std::to_string(int(d.year()));
}

VatAnswer Answer(bool valid, std::optional<year_month_day> requestDate) {
  VatAnswer a;
  a.valid = valid;
  a.requestDate = requestDate;
  a.countryCode = "PL";
  a.vatNumber = "5754391636";
  return a;
}

TEST(VatResultLines, ShowTheVerdictAndTheTrader) {
  const year_month_day day = year{2024} / December / 4;
  const std::vector<std::string> withoutTrader = {"Nazione: PL",
                                                  "Identificativo fiscale: 5754391636",
                                                  "Ragione Sociale: ",
                                                  "Indirizzo: ",
                                                  "",
                                                  "",
                                                  "",
                                                  ""};
  const auto with = [&](std::string first) {
    std::vector<std::string> lines{std::move(first)};
    lines.insert(lines.end(), withoutTrader.begin(), withoutTrader.end());
    return lines;
  };
  VatAnswer full = Answer(true, day);
  full.traderName = "PRZEWOZY ŁÓDŹ SP. Z O.O.";
  full.traderAddress = "UL. PIOTRKOWSKA 1\n90-001 ŁÓDŹ";
  full.traderStreet = "UL. PIOTRKOWSKA 1";
  full.traderPostcode = "90-001";
  full.traderCity = "ŁÓDŹ";
  full.traderCompanyType = "SPZOO";

  const struct {
    const char* name;
    VatAnswer answer;
    std::vector<std::string> lines;
  } cases[] = {
      {"not registered: the number as typed",
       Answer(false, day),
       {"La Partita IVA  5754391636 ricercata non è registrata come operatore Intracomunitario"}},
      {"registered without trader data", Answer(true, day),
       with("Data della richiesta: 4.12.2024")},
      {"registered without a request date", Answer(true, std::nullopt),
       with("Data della richiesta: ")},
      {"registered with trader data",
       full,
       {"Data della richiesta: 4.12.2024", "Nazione: PL", "Identificativo fiscale: 5754391636",
        "Ragione Sociale: PRZEWOZY ŁÓDŹ SP. Z O.O.", "Indirizzo: UL. PIOTRKOWSKA 1\n90-001 ŁÓDŹ",
        "UL. PIOTRKOWSKA 1", "90-001", "ŁÓDŹ", "SPZOO"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VatResultLines(c.answer, " 5754391636", Dotted), c.lines) << c.name;
  }
}

}  // namespace
}  // namespace zelvor::vies
