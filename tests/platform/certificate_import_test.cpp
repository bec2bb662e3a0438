#include "platform/certificate_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/certificate_folder.h"
#include "support/scratch_folder.h"
#include "support/test_pki.h"

namespace zelvor::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

constexpr fs::perms kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;

class CertificateImportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { pki = std::make_unique<test::TestPki>(); }
  static void TearDownTestSuite() { pki.reset(); }

  // Every file below the store folder, or none when it does not exist.
  std::vector<fs::path> StoreFiles() const {
    std::vector<fs::path> files;
    if (!fs::exists(storeFolder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(storeFolder)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    return files;
  }

  static inline std::unique_ptr<test::TestPki> pki;
  test::ScratchFolder scratch;
  const fs::path storeFolder = scratch / "store";
  const test::TestCertificate issued =
      pki->MakeClient({{"C", "PL"}, {"O", "Przewoźnik"}, {"CN", "KREPTD"}}, "1A2B3C");
};

TEST_F(CertificateImportTest, InstallsCertificateAndKeyPrivatelyAndReportsThem) {
  const fs::path p12 = scratch / "kreptd.p12";
  test::WritePkcs12(p12, issued, {&pki->gitdSub03}, "Hasło-1");

  const ImportedCertificate imported = ImportPkcs12(p12, "Hasło-1", storeFolder);

  EXPECT_EQ(imported.certificateFile, PersonalFolder(storeFolder) / "kreptd.crt");
  EXPECT_EQ(imported.keyFile, PersonalFolder(storeFolder) / "kreptd.key");
  EXPECT_EQ(imported.description.serialNumber, "1A2B3C");
  EXPECT_EQ(imported.description.displayName, "KREPTD");
  EXPECT_EQ(imported.description.issuer, "local;gitd;GITD SUB03 CA");
  EXPECT_EQ(imported.chainCertificates, 1U);
  for (const fs::path& file : {imported.certificateFile, imported.keyFile}) {
    EXPECT_EQ(fs::status(file).permissions(), kOwnerOnly) << file;
  }
  EXPECT_EQ(fs::status(PersonalFolder(storeFolder)).permissions(), fs::perms::owner_all);

  const CertificateStore store = LoadCertificateStore(storeFolder);
  ASSERT_EQ(store.personal.size(), 1U);
  EXPECT_EQ(X509_cmp(store.personal[0].certificate.get(), issued.Get()), 0);
  EXPECT_EQ(EVP_PKEY_eq(store.personal[0].privateKey.get(), issued.key.get()), 1);
  ASSERT_EQ(store.personal[0].chain.size(), 1U);
  EXPECT_EQ(X509_cmp(store.personal[0].chain[0].get(), pki->gitdSub03.Get()), 0);
}

TEST_F(CertificateImportTest, WindowsStyleLegacyEncryptionIsRead) {
  const fs::path pfx = scratch / "from-windows.pfx";
  test::WritePkcs12(pfx, issued, {}, "secret", test::Pkcs12Encryption::Legacy);
  EXPECT_EQ(ImportPkcs12(pfx, "secret", storeFolder).description.serialNumber, "1A2B3C");
}

TEST_F(CertificateImportTest, FailuresSayWhyAndWriteNothing) {
  const fs::path p12 = scratch / "kreptd.p12";
  test::WritePkcs12(p12, issued, {}, "right");
  const fs::path junk = scratch / "junk.pfx";
  std::ofstream(junk) << "not PKCS#12";
  const struct {
    const char* label;
    fs::path file;
    std::string password;
    std::string expected;
  } cases[] = {
      {"wrong password", p12, "wrong",
       "Hasło do pliku \"" + p12.string() +
           "\" jest nieprawidłowe. Wpisz hasło podane przez wystawcę certyfikatu; nic nie "
           "zaimportowano."},
      {"empty password", p12, "", "Hasło do pliku \"" + p12.string() + "\" jest nieprawidłowe."},
      {"not PKCS#12", junk, "right",
       "Plik \"" + junk.string() + "\" nie jest plikiem PKCS#12 (.p12, .pfx)."},
      {"missing file", scratch / "absent.p12", "right",
       "Nie można odczytać pliku certyfikatu \"" + (scratch / "absent.p12").string() +
           "\". Sprawdź, czy plik istnieje i czy masz prawo go czytać. (No such file"},
  };
  for (const auto& c : cases) {
    try {
      ImportPkcs12(c.file, c.password, storeFolder);
      ADD_FAILURE() << c.label << ": imported";
    } catch (const CertificateStoreError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.expected)) << c.label;
    }
    EXPECT_TRUE(StoreFiles().empty()) << c.label;
  }
}

TEST_F(CertificateImportTest, NeverReplacesAnInstalledCertificate) {
  const fs::path p12 = scratch / "kreptd.p12";
  test::WritePkcs12(p12, issued, {}, "pw");
  ImportPkcs12(p12, "pw", storeFolder);
  const std::string before = [&] {
    std::ifstream in(PersonalFolder(storeFolder) / "kreptd.key");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();

  const test::TestCertificate renewed = pki->MakeClient({{"CN", "KREPTD"}}, "4D5E");
  test::WritePkcs12(p12, renewed, {}, "pw");
  EXPECT_THAT(
      [&] { ImportPkcs12(p12, "pw", storeFolder); },
      ::testing::ThrowsMessage<CertificateStoreError>(AllOf(
          HasSubstr("Magazyn certyfikatów zawiera już plik"), HasSubstr("nic nie zaimportowano"))));

  std::ifstream in(PersonalFolder(storeFolder) / "kreptd.key");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
  EXPECT_EQ(StoreFiles().size(), 2U);
}

}  // namespace
}  // namespace zelvor::platform
