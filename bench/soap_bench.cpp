// Throughput of the SOAP layer: writing a search request, reading a details answer, and whole
// calls over one loopback connection.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <mutex>
#include <set>

#include "register/citizen_api.h"
#include "register/citizen_api_messages.h"
#include "support/loopback_server.h"
#include "support/test_pki.h"

namespace zelvor::reg {
namespace {

std::string Repeat(int count, const std::string& item) {
  std::string out;
  for (int i = 0; i < count; ++i) out += item;
  return out;
}

// A details answer with ten items in each list.
std::string DetailsAnswer() {
  const std::string tns = TypesNamespace();
  return R"(<?xml version="1.0" encoding="utf-8"?><s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"><s:Body>)"
         R"(<PobierzPrzedsiebiorceResponse xmlns=")" +
         InterfaceNamespace() + R"("><przedsiebiorcaSzczegoloweDaneWyszukane xmlns=")" + tns +
         R"(">)"
         R"(<NumerReferencyjny>P/2019/00012345</NumerReferencyjny><FirmaNazwa>Przedsiębiorstwo Transportowe Żuraw Sp. z o.o.</FirmaNazwa>)"
         R"(<NIP>5260250274</NIP><FormaPrawna>spółka z ograniczoną odpowiedzialnością</FormaPrawna>)"
         R"(<ListaZarzadzajacyTransportemDaneWyszukane>)" +
         Repeat(
             10,
             R"(<ZarzadzajacyTransportemDaneWyszukane><Imiona>Jan Maria</Imiona><Nazwisko>Kowalski</Nazwisko>)"
             R"(<NumerCertyfikatu>CKZ/2019/123456</NumerCertyfikatu><RodzajCertyfikatu>międzynarodowy transport drogowy rzeczy</RodzajCertyfikatu>)"
             R"(<DataWydaniaCertyfikatu>2019-05-17</DataWydaniaCertyfikatu><KrajWydajacyCertyfikat>PL</KrajWydajacyCertyfikat>)"
             R"(</ZarzadzajacyTransportemDaneWyszukane>)") +
         R"(</ListaZarzadzajacyTransportemDaneWyszukane><ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>)" +
         Repeat(
             10,
             R"(<ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp><Zakres>Rzeczy</Zakres><Numer>ZEZW/2019/1234</Numer>)"
             R"(<StatusZezwolenia>Ważne</StatusZezwolenia><OrganWydajacy>Główny Inspektor Transportu Drogowego</OrganWydajacy>)"
             R"(<DataWydania>2019-06-01</DataWydania><LiczbaPojazdow>12</LiczbaPojazdow><DataWygasniecia>2029-06-01</DataWygasniecia>)"
             R"(</ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>)") +
         R"(</ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp><ListaLicencjaWspolnotowaTyp>)" +
         Repeat(
             10,
             R"(<LicencjaWspolnotowaTyp><Zakres>RzeczyPowyzejTrzyIPolTony</Zakres><Numer>LW/2019/5678</Numer>)"
             R"(<StatusLicencji>Ważność wygasła</StatusLicencji><PoczatekWaznosci>2019-06-01</PoczatekWaznosci>)"
             R"(<KoniecWaznosci>2029-06-01</KoniecWaznosci><LiczbaPojazdow>12</LiczbaPojazdow></LicencjaWspolnotowaTyp>)") +
         R"(</ListaLicencjaWspolnotowaTyp><ListaWypisowZLicencjiTyp>)" +
         Repeat(
             10,
             R"(<Wypis><NumerWypisu>000123</NumerWypisu><Rodzaj>PowyzejTrzyIPolTony</Rodzaj><Status>Aktualny</Status>)"
             R"(<ZakresLicencji>RzeczyPowyzejTrzyIPolTony</ZakresLicencji></Wypis>)") +
         R"(</ListaWypisowZLicencjiTyp><ListaWypisowZzezwoleniaTyp>)" +
         Repeat(
             10,
             R"(<Wypis><ZakresZezwolenia>Rzeczy</ZakresZezwolenia><NumerWypisu>000456</NumerWypisu><Status>Cofniety</Status></Wypis>)") +
         R"(</ListaWypisowZzezwoleniaTyp><ListaPrzedstawicieliPrawnychTyp>)" +
         Repeat(
             10,
             R"(<PrzedstawicielPrawny><Imiona>Anna</Imiona><Nazwisko>Zięba-Wróbel</Nazwisko></PrzedstawicielPrawny>)") +
         R"(</ListaPrzedstawicieliPrawnychTyp><Adres><Kraj>PL</Kraj><Wojewodztwo>mazowieckie</Wojewodztwo>)"
         R"(<Powiat>warszawski</Powiat><Gmina>Warszawa</Gmina><KodPocztowy>00-001</KodPocztowy><Miejscowosc>Warszawa</Miejscowosc>)"
         R"(<Ulica>Nowy Świat</Ulica><Budynek>12</Budynek><Lokal>3</Lokal></Adres>)"
         R"(</przedsiebiorcaSzczegoloweDaneWyszukane></PobierzPrzedsiebiorceResponse></s:Body></s:Envelope>)";
}

void BM_WriteSearchRequest(benchmark::State& state) {
  RegisterCitizenApi();
  ParametryWyszukiwaniaPrzedsiebiorcowTyp params;
  params.SetNIP("5260250274");
  params.SetDataWydaniaCertyfikatuOd(std::make_unique<TXSDate>(soap::CalendarDate{2024, 1, 2}));
  params.SetDataWydaniaCertyfikatuDo(std::make_unique<TXSDate>(soap::CalendarDate{2024, 1, 2}));
  for (auto _ : state) {
    benchmark::DoNotOptimize(WriteWyszukajPrzedsiebiorce(params));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteSearchRequest);

void BM_ReadDetailsAnswer(benchmark::State& state) {
  RegisterCitizenApi();
  const std::string answer = DetailsAnswer();
  for (auto _ : state) {
    auto details = ReadPobierzPrzedsiebiorce(answer);
    if (!details || details->ListaWypisowZzezwoleniaTyp().size() != 10) {
      state.SkipWithError("details not read");
      break;
    }
    benchmark::DoNotOptimize(details);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(answer.size()));
}
BENCHMARK(BM_ReadDetailsAnswer);

// Whole details calls over one loopback connection; the server answers at once. With TLS the
// server's certificate is trusted through the certificate store's issuers folder.
void DetailsCalls(benchmark::State& state, bool tls) {
  RegisterCitizenApi();
  const std::string answer = DetailsAnswer();
  const test::TestCertificate identity = test::MakeSelfSigned(
      {.subject = {{"CN", "127.0.0.1"}}, .serialHex = "01", .hosts = {"127.0.0.1"}});
  const std::filesystem::path store =
      std::filesystem::temp_directory_path() / ("zelvor-bench-store-" + std::to_string(::getpid()));
  soap::HttpSettings settings;
  if (tls) {
    test::WriteCertificatesPem(store / "issuers" / "server.pem", {&identity});
    settings.clientTls = platform::ClientTlsSettings{store, {}, nullptr};
  }
  zelvor::test::LoopbackServer server(
      tls ? std::make_unique<httplib::SSLServer>(identity.Get(), identity.key.get()) : nullptr,
      tls);
  std::mutex mutex;
  std::set<int> ports;
  server.Http().set_keep_alive_max_count(1u << 30);
  server.Http().Post("/CitizenApi.svc", [&](const httplib::Request& req, httplib::Response& res) {
    {
      std::lock_guard lock(mutex);
      ports.insert(req.remote_port);
    }
    res.set_content(answer, "text/xml; charset=utf-8");
  });
  server.Start();
  soap::HttpTransport transport(server.Url("/CitizenApi.svc"), settings);
  for (auto _ : state) {
    auto details = transport.As<CitizenApi>()->PobierzPrzedsiebiorce("P/2019/00012345");
    benchmark::DoNotOptimize(details);
  }
  state.SetItemsProcessed(state.iterations());
  std::lock_guard lock(mutex);
  state.counters["connections"] = static_cast<double>(ports.size());
  std::filesystem::remove_all(store);
}

void BM_DetailsCallOverLoopback(benchmark::State& state) {
  DetailsCalls(state, false);
}
BENCHMARK(BM_DetailsCallOverLoopback)->UseRealTime();

void BM_DetailsCallOverLoopbackTls(benchmark::State& state) {
  DetailsCalls(state, true);
}
BENCHMARK(BM_DetailsCallOverLoopbackTls)->UseRealTime();

}  // namespace
}  // namespace zelvor::reg

BENCHMARK_MAIN();
