#include <gtest/gtest.h>

#include "platform/x509_description.h"
#include "support/test_pki.h"

namespace zelvor::platform {
namespace {

using test::NameAttributes;
using test::TestPki;

struct NameCase {
  const char* label;
  NameAttributes subject;
  std::string expectedSubject;
  std::string expectedDisplayName;
};

class DescribedNames : public ::testing::TestWithParam<NameCase> {
 protected:
  static void SetUpTestSuite() { pki = std::make_unique<TestPki>(); }
  static void TearDownTestSuite() { pki.reset(); }
  static inline std::unique_ptr<TestPki> pki;
};

TEST_P(DescribedNames, ValuesInCertificateOrderAndSimpleDisplayName) {
  const NameCase& c = GetParam();
  const test::TestCertificate client = pki->MakeClient(c.subject, "01");
  const CertificateDescription description = DescribeCertificate(*client.Get());
  EXPECT_EQ(description.subject, c.expectedSubject);
  EXPECT_EQ(description.displayName, c.expectedDisplayName);
  EXPECT_EQ(description.issuer, "local;gitd;GITD SUB03 CA");
}

INSTANTIATE_TEST_SUITE_P(
    Names, DescribedNames,
    ::testing::Values(NameCase{"FiveValues",
                               {{"C", "PL"},
                                {"ST", "mazowieckie"},
                                {"L", "Warszawa"},
                                {"O", "Przewóz Sp. z o.o."},
                                {"CN", "KREPTD"}},
                               "PL;mazowieckie;Warszawa;Przewóz Sp. z o.o.;KREPTD",
                               "KREPTD"},
                      NameCase{"CommonNameFirstOfTwo",
                               {{"CN", "Pierwszy"}, {"O", "Firma"}, {"CN", "Drugi"}},
                               "Pierwszy;Firma;Drugi",
                               "Pierwszy"},
                      NameCase{"UnitBeforeOrganization",
                               {{"O", "Firma"}, {"OU", "Dział Łączności"}},
                               "Firma;Dział Łączności",
                               "Dział Łączności"},
                      NameCase{"OrganizationBeforeMail",
                               {{"emailAddress", "biuro@example.pl"}, {"O", "Firma"}},
                               "biuro@example.pl;Firma",
                               "Firma"},
                      NameCase{"MailWhenNothingElse",
                               {{"C", "PL"}, {"emailAddress", "biuro@example.pl"}},
                               "PL;biuro@example.pl",
                               "biuro@example.pl"}),
    [](const ::testing::TestParamInfo<NameCase>& param) { return std::string(param.param.label); });

TEST(SerialNumberText, UpperCaseTwoDigitsPerByteMostSignificantFirst) {
  const TestPki pki;
  const struct {
    std::string configured;
    std::string expected;
  } cases[] = {
      {"0A1B", "0A1B"},
      {"a1b2c3", "A1B2C3"},
      {"ABC", "0ABC"},
      {"1F2E3D4C5B6A79880796A5B4C3D2E1F0011223", "1F2E3D4C5B6A79880796A5B4C3D2E1F0011223"},
      {"FFEE", "FFEE"},  // high bit set: DER adds a sign byte that is no part of the number
  };
  for (const auto& c : cases) {
    const test::TestCertificate client = pki.MakeClient({{"CN", "KREPTD"}}, c.configured);
    EXPECT_EQ(DescribeCertificate(*client.Get()).serialNumber, c.expected) << c.configured;
  }
}

TEST(ValidityText, IsUtcDateAndTime) {
  using namespace std::chrono;
  EXPECT_EQ(FormatValidityTime(sys_days{2024y / 9 / 24} + 13h + 5min + 7s),
            "2024-09-24 13:05:07 UTC");
  const TestPki pki;
  const CertificateDescription root = DescribeCertificate(*pki.root.Get());
  const auto now = time_point_cast<seconds>(system_clock::now());
  EXPECT_LT(root.notBefore, now);
  EXPECT_GT(root.notAfter, now + days{300});
}

}  // namespace
}  // namespace zelvor::platform
