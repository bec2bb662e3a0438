#include "platform/certificate_selection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/test_pki.h"

namespace zelvor::platform {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Return;

CertificateDescription Candidate(std::string name, std::string subject, std::string serial) {
  return {.displayName = std::move(name),
          .subject = std::move(subject),
          .issuer = "local;gitd;GITD SUB03 CA",
          .serialNumber = std::move(serial)};
}

TEST(FindSelectedCertificate, FirstCandidateThatEveryNonEmptySelectorMatches) {
  const std::vector<CertificateDescription> candidates{
      Candidate("KREPTD", "PL;mazowieckie;Warszawa;Firma;KREPTD", "0A"),
      Candidate("KREPTD", "PL;mazowieckie;Warszawa;Firma;KREPTD", "0B"),
      Candidate("Inny", "PL;Inny", "0C"),
  };
  const struct {
    const char* label;
    CertificateSelectors selectors;
    std::optional<std::size_t> expected;
  } cases[] = {
      {"display name: first of two", {.displayName = "KREPTD"}, 0},
      {"serial decides between equals",
       {.displayName = "KREPTD", .issuer = "local;gitd;GITD SUB03 CA", .serialNumber = "0B"},
       1},
      {"subject alone", {.subject = "PL;Inny"}, 2},
      {"subject in other letter case", {.subject = "pl;mazowieckie;warszawa;firma;kreptd"}, {}},
      {"display name in other letter case", {.displayName = "kreptd"}, {}},
      {"serial in lower case", {.serialNumber = "0b"}, {}},
      {"all must hold", {.displayName = "KREPTD", .serialNumber = "0C"}, {}},
      {"issuer differs", {.issuer = "local;gitd;GITD SUB02 CA"}, {}},
      {"no selector at all", {}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindSelectedCertificate(candidates, c.selectors), c.expected) << c.label;
  }
}

class MockPicker : public CertificatePicker {
 public:
  MOCK_METHOD(std::optional<std::size_t>, PickCertificate,
              (const std::vector<CertificateDescription>&), (override));
};

class ChooseClientCertificateTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { pki = std::make_unique<test::TestPki>(); }
  static void TearDownTestSuite() { pki.reset(); }

  void Add(const test::TestCertificate& certificate, const test::TestCertificate* chainLink) {
    PersonalCertificate entry{
        "memory", ShareCertificate(certificate.Get()), ShareKey(certificate.key.get()), {}};
    if (chainLink) entry.chain.push_back(ShareCertificate(chainLink->Get()));
    store.personal.push_back(std::move(entry));
  }

  // Names as a server sends them; owns the stack.
  struct Names {
    std::unique_ptr<STACK_OF(X509_NAME), decltype([](STACK_OF(X509_NAME) * s) {
                      sk_X509_NAME_pop_free(s, X509_NAME_free);
                    })>
        stack{sk_X509_NAME_new_null()};
    explicit Names(std::initializer_list<const test::TestCertificate*> issuers) {
      for (const auto* issuer : issuers) {
        sk_X509_NAME_push(stack.get(), X509_NAME_dup(X509_get_subject_name(issuer->Get())));
      }
    }
  };

  static inline std::unique_ptr<test::TestPki> pki;
  CertificateStore store;
};

TEST_F(ChooseClientCertificateTest, CandidatesAreThoseWhoseChainInTheStoreLeadsToANamedIssuer) {
  const test::TestCertificate otherRoot = test::MakeRootCa({{"CN", "Other Root"}});
  const test::TestCertificate otherIssuer =
      test::MakeCertificate(otherRoot, {.subject = {{"CN", "Other Issuer"}}, .isCa = true});
  const test::TestCertificate unknownRoot = test::MakeRootCa({{"CN", "Unknown"}});
  Add(pki->MakeClient({{"CN", "KREPTD"}}, "01"), &pki->gitdSub03);  // chain stored with it
  Add(pki->MakeClient({{"CN", "KREPTD"}}, "02"), nullptr);          // issuer in the issuers folder
  Add(test::MakeCertificate(otherIssuer, {.subject = {{"CN", "KREPTD"}}}), nullptr);
  store.issuers.push_back(ShareCertificate(pki->gitdSub03.Get()));
  store.issuers.push_back(ShareCertificate(otherIssuer.Get()));

  EXPECT_THAT(CandidatesForIssuers(store, Names{&pki->gitdSub03}.stack.get()), ElementsAre(0, 1));
  EXPECT_THAT(CandidatesForIssuers(store, Names{&pki->root}.stack.get()), ElementsAre(0, 1));
  EXPECT_THAT(CandidatesForIssuers(store, Names{&otherRoot}.stack.get()), ElementsAre(2));
  EXPECT_THAT(CandidatesForIssuers(store, Names{&unknownRoot, &otherIssuer}.stack.get()),
              ElementsAre(2));
  EXPECT_THAT(CandidatesForIssuers(store, Names{&unknownRoot}.stack.get()), IsEmpty());
  EXPECT_THAT(CandidatesForIssuers(store, Names{}.stack.get()), ElementsAre(0, 1, 2));
  EXPECT_THAT(CandidatesForIssuers(store, nullptr), ElementsAre(0, 1, 2));
}

TEST_F(ChooseClientCertificateTest, PickerIsAskedOnlyWhenNothingMatches) {
  Add(pki->MakeClient({{"CN", "KREPTD"}}, "01"), &pki->gitdSub03);
  Add(pki->MakeClient({{"CN", "KREPTD"}}, "02"), &pki->gitdSub03);
  MockPicker picker;

  EXPECT_CALL(picker, PickCertificate(_)).Times(0);
  EXPECT_EQ(ChooseClientCertificate(store, nullptr, {.serialNumber = "02"}, &picker), 1U);
  ::testing::Mock::VerifyAndClearExpectations(&picker);

  EXPECT_CALL(picker, PickCertificate(_))
      .WillOnce(Return(std::nullopt))
      .WillOnce(Return(7))  // no such candidate
      .WillOnce(Return(0));
  const CertificateSelectors unmatched{.serialNumber = "FF"};
  EXPECT_EQ(ChooseClientCertificate(store, nullptr, unmatched, &picker), std::nullopt);
  EXPECT_EQ(ChooseClientCertificate(store, nullptr, unmatched, &picker), std::nullopt);
  EXPECT_EQ(ChooseClientCertificate(store, nullptr, unmatched, &picker), 0U);
  EXPECT_EQ(ChooseClientCertificate(store, nullptr, unmatched, nullptr), std::nullopt);
}

TEST_F(ChooseClientCertificateTest, NoCandidateMeansNoPickerAndNoCertificate) {
  Add(pki->MakeClient({{"CN", "KREPTD"}}, "01"), &pki->gitdSub03);
  const test::TestCertificate unknownRoot = test::MakeRootCa({{"CN", "Unknown"}});
  MockPicker picker;
  EXPECT_CALL(picker, PickCertificate(_)).Times(0);
  EXPECT_EQ(ChooseClientCertificate(store, Names{&unknownRoot}.stack.get(),
                                    {.displayName = "KREPTD"}, &picker),
            std::nullopt);
}

}  // namespace
}  // namespace zelvor::platform
