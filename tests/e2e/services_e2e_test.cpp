// Both services called through the real transports against the simulators, run as separate
// processes: the register over HTTPS with the store's client certificate, the VAT check
// service over HTTP, and every fault the simulators can inject.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "register-sim/synthetic_register.h"
#include "register/citizen_api.h"
#include "register/register_transport.h"
#include "soap/remote_errors.h"
#include "support/register_environment.h"
#include "support/sim_process.h"
#include "vies-sim/synthetic_traders.h"
#include "vies/vat_port_type.h"

namespace zelvor {
namespace {

using ::testing::StartsWith;
using namespace std::chrono_literals;

constexpr std::uint64_t kViesSeed = 11;

// What a call ended with: "ok", the fault's type and message, or the error's message.
std::string Outcome(const std::function<void()>& call) {
  try {
    call();
    return "ok";
  } catch (const reg::SzczegolyBledu& fault) {
    return "SzczegolyBledu: " + fault.Message();
  } catch (const soap::ERemotableException& fault) {
    return "ERemotableException: " + fault.Message();
  } catch (const std::exception& error) {
    return error.what();
  }
}

// Each fault the simulators inject and the start of what the caller then sees; {URL} is the
// endpoint.
struct InjectedFault {
  const char* kind;
  std::string outcome;
};

std::vector<InjectedFault> InjectedFaults(const char* serviceFault) {
  return {
      {"soap-fault", serviceFault},
      {"other-fault", "ERemotableException: "},
      {"http-503", "Service Unavailable (503) - '{URL}'"},
      {"empty", "Invalid HTTP Response: Length is 0"},
      {"html",
       "Received content of invalid Content-Type setting: text/html - SOAP expects "
       "\"text/xml\""},
      // Parsed all the same, and found not to be an envelope.
      {"html-charset",
       "DocumentElement http://schemas.xmlsoap.org/soap/envelope/:Envelope "
       "expected, :html found"},
      {"malformed", "XML parse error at line "},
      {"not-envelope",
       "DocumentElement http://schemas.xmlsoap.org/soap/envelope/:Envelope "
       "expected, :Blad found"},
      {"redirect", "ok"},
      {"redirect-loop", "Maximum number of redirections (5) exceeded"},
      {"stall:3000", "Error receiving data: (28) No data received for 500 ms"},
      {"latency:50", "ok"},
      {"truncated", "Error receiving data: (18) "},
  };
}

std::string Filled(std::string text, const std::string& url) {
  if (const size_t pos = text.find("{URL}"); pos != std::string::npos) text.replace(pos, 5, url);
  return text;
}

// A Polish sentence comes before an error's own text: that text is found within the message,
// and a success is exactly "ok".
::testing::Matcher<std::string> Shows(const std::string& outcome) {
  if (outcome == "ok") return ::testing::Eq(outcome);
  return ::testing::HasSubstr(outcome);
}

soap::HttpSettings ShortWaits() {
  soap::HttpSettings settings;
  settings.receiveTimeout = 500ms;
  return settings;
}

class RegisterEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    data_ = std::make_unique<sim::SyntheticRegister>(test::RegisterEnvironment::kSeed,
                                                     test::RegisterEnvironment::kSize);
    std::vector<std::string> args{"--stall-ms", "3000"};
    const auto faults = InjectedFaults("");
    for (size_t i = 0; i < faults.size(); ++i) {
      args.insert(args.end(), {"--fault", FaultedNip(i) + "=" + faults[i].kind});
    }
    env_ = std::make_unique<test::RegisterEnvironment>(args);
  }
  static void TearDownTestSuite() {
    env_.reset();
    data_.reset();
  }

  // Enterprise 0 answers normally; enterprise i + 1 carries fault i.
  static std::string FaultedNip(size_t i) { return data_->At(i + 1).NIP; }

  // The register transport as the window makes it, with short waits, pointed at the simulator.
  static std::unique_ptr<soap::HttpTransport> Transport(
      const std::function<void(reg::RegisterTransportSettings&)>& adjust = {}) {
    reg::RegisterTransportSettings settings = reg::DefaultRegisterTransportSettings();
    settings.url = env_->Url();
    settings.storeFolder = env_->StoreFolder();
    settings.http = ShortWaits();
    if (adjust) adjust(settings);
    return reg::MakeRegisterTransport(std::move(settings));
  }

  static reg::ListaPrzedsiebiorcowDaneWyszukaneTyp Search(soap::HttpTransport& transport,
                                                          const std::string& nip) {
    reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp params;
    params.SetNIP(nip);
    return transport.As<reg::CitizenApi>()->WyszukajPrzedsiebiorce(params);
  }

  static inline std::unique_ptr<sim::SyntheticRegister> data_;
  static inline std::unique_ptr<test::RegisterEnvironment> env_;
};

TEST_F(RegisterEndToEnd, SearchAndDetailsWithTheStoresCertificate) {
  reg::RegisterCitizenApi();
  auto transport = Transport();
  const auto& expected = data_->At(0);
  const auto hits = Search(*transport, expected.NIP);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0]->NumerReferencyjny(), expected.NumerReferencyjny());
  EXPECT_EQ(hits[0]->FirmaNazwa, expected.FirmaNazwa);

  const auto details =
      transport->As<reg::CitizenApi>()->PobierzPrzedsiebiorce(hits[0]->NumerReferencyjny());
  ASSERT_NE(details, nullptr);
  EXPECT_EQ(details->NIP, expected.NIP);
  EXPECT_EQ(details->FormaPrawna(), expected.FormaPrawna());
  EXPECT_EQ(details->ListaZarzadzajacyTransportemDaneWyszukane().size(),
            expected.ListaZarzadzajacyTransportemDaneWyszukane().size());
  EXPECT_EQ(details->ListaLicencjaWspolnotowaTyp().size(),
            expected.ListaLicencjaWspolnotowaTyp().size());
  EXPECT_EQ(details->ListaWypisowZLicencjiTyp().size(), expected.ListaWypisowZLicencjiTyp().size());
  EXPECT_EQ(details->ListaWypisowZzezwoleniaTyp().size(),
            expected.ListaWypisowZzezwoleniaTyp().size());
  ASSERT_EQ(details->Adres() != nullptr, expected.Adres() != nullptr);
  if (details->Adres()) {
    EXPECT_EQ(details->Adres()->Miejscowosc, expected.Adres()->Miejscowosc);
  }
}

TEST_F(RegisterEndToEnd, AnUnknownReferenceIsTheRegistersFault) {
  auto transport = Transport();
  const std::string outcome =
      Outcome([&] { transport->As<reg::CitizenApi>()->PobierzPrzedsiebiorce("P/1999/99999999"); });
  EXPECT_THAT(outcome, StartsWith("SzczegolyBledu: "));
}

TEST_F(RegisterEndToEnd, EveryInjectedFaultReachesTheCallerAndTheTransportStaysUsable) {
  auto transport = Transport();
  const auto faults = InjectedFaults("SzczegolyBledu: ");
  for (size_t i = 0; i < faults.size(); ++i) {
    SCOPED_TRACE(faults[i].kind);
    EXPECT_THAT(Outcome([&] { Search(*transport, FaultedNip(i)); }),
                Shows(Filled(faults[i].outcome, env_->Url())));
    EXPECT_EQ(Search(*transport, data_->At(0).NIP).size(), 1u);
  }
}

TEST_F(RegisterEndToEnd, WithoutTheIssuerInTheStoreTheServerIsNotTrusted) {
  const test::ScratchFolder emptyStore;
  auto transport = Transport(
      [&](reg::RegisterTransportSettings& settings) { settings.storeFolder = emptyStore.Path(); });
  EXPECT_THAT(Outcome([&] { Search(*transport, data_->At(0).NIP); }),
              ::testing::AllOf(
                  StartsWith("Nie można potwierdzić tożsamości serwera "),
                  ::testing::HasSubstr(
                      "(Error sending data: (60) The server's certificate could not be verified")));
}

TEST_F(RegisterEndToEnd, WithoutAMatchingCertificateTheRegisterRefusesTheConnection) {
  auto transport = Transport(
      [](reg::RegisterTransportSettings& settings) { settings.selectors.serialNumber = "00"; });
  EXPECT_THAT(Outcome([&] { Search(*transport, data_->At(0).NIP); }),
              ::testing::AllOf(StartsWith("Rejestr wymaga certyfikatu klienta"),
                               ::testing::HasSubstr("(Error ")));
}

class ViesEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const sim::SyntheticTraders traders(kViesSeed);
    // The first registered number answers normally; each of the others carries one fault.
    faulted_ = traders.Numbers("PL", InjectedFaults("").size() + 1, true);
    valid_ = faulted_.front();
    faulted_.erase(faulted_.begin());
    trader_ = *traders.Lookup("PL", valid_);
    invalid_ = traders.Numbers("PL", 1, false).at(0);
    std::vector<std::string> args{"--seed", std::to_string(kViesSeed), "--stall-ms", "3000"};
    const auto faults = InjectedFaults("");
    for (size_t i = 0; i < faults.size(); ++i) {
      args.insert(args.end(), {"--fault", "PL" + faulted_[i] + "=" + faults[i].kind});
    }
    sim_ = std::make_unique<test::SimProcess>(test::ViesSimPath(), args);
  }
  static void TearDownTestSuite() { sim_.reset(); }

  static std::unique_ptr<vies::CheckVatApproxResponse> Check(soap::HttpTransport& transport,
                                                             const std::string& number) {
    vies::CheckVatApproxRequest request;
    request.countryCode = "PL";
    request.vatNumber = number;
    request.SetrequesterCountryCode("PL");
    request.SetrequesterVatNumber(valid_);
    return transport.As<vies::VatPortType>()->CheckApprox(request);
  }

  static inline std::string valid_;
  static inline std::string invalid_;
  static inline sim::Trader trader_;
  static inline std::vector<std::string> faulted_;
  static inline std::unique_ptr<test::SimProcess> sim_;
};

TEST_F(ViesEndToEnd, RegisteredAndUnregisteredNumbers) {
  soap::HttpTransport transport(sim_->Url(), ShortWaits());
  const auto registered = Check(transport, valid_);
  ASSERT_NE(registered, nullptr);
  EXPECT_TRUE(registered->valid);
  EXPECT_EQ(registered->traderName(), trader_.name);
  EXPECT_EQ(registered->traderCity(), trader_.city);
  ASSERT_NE(registered->requestDate, nullptr);

  const auto unregistered = Check(transport, invalid_);
  ASSERT_NE(unregistered, nullptr);
  EXPECT_FALSE(unregistered->valid);
}

TEST_F(ViesEndToEnd, EveryInjectedFaultReachesTheCallerAndTheTransportStaysUsable) {
  soap::HttpTransport transport(sim_->Url(), ShortWaits());
  // The VAT check service registers no fault record: its fault is a plain remote fault.
  const auto faults = InjectedFaults("ERemotableException: ");
  for (size_t i = 0; i < faults.size(); ++i) {
    SCOPED_TRACE(faults[i].kind);
    EXPECT_THAT(Outcome([&] { Check(transport, faulted_[i]); }),
                Shows(Filled(faults[i].outcome, sim_->Url())));
    EXPECT_TRUE(Check(transport, valid_)->valid);
  }
}

}  // namespace
}  // namespace zelvor
