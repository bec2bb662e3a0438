#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "platform/certificate_folder.h"
#include "platform/x509_description.h"
#include "support/scratch_folder.h"
#include "support/test_pki.h"

namespace zelvor::platform {
namespace {

namespace fs = std::filesystem;
using test::TestCertificate;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class CertificateStoreTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { pki = std::make_unique<test::TestPki>(); }
  static void TearDownTestSuite() { pki.reset(); }

  TestCertificate Client(const std::string& serial) const {
    return pki->MakeClient({{"CN", "KREPTD"}}, serial);
  }
  fs::path Personal(const std::string& name) const { return PersonalFolder(store.Path()) / name; }

  static std::vector<std::string> Serials(const CertificateStore& loaded) {
    std::vector<std::string> serials;
    for (const CertificateDescription& d : DescribePersonalCertificates(loaded)) {
      serials.push_back(d.serialNumber);
    }
    return serials;
  }

  static inline std::unique_ptr<test::TestPki> pki;
  test::ScratchFolder store;
};

TEST_F(CertificateStoreTest, MissingFoldersMakeAnEmptyStore) {
  const CertificateStore loaded = LoadCertificateStore(store / "nothing-here");
  EXPECT_TRUE(loaded.personal.empty());
  EXPECT_TRUE(loaded.issuers.empty());
}

TEST_F(CertificateStoreTest, ACallNeedsTheStoreFolderToExist) {
  EXPECT_NO_THROW(CheckStoreFolder(store.Path()));
  std::ofstream(store / "a-file") << "x";
  for (const fs::path& missing : {store / "nothing-here", store / "a-file"}) {
    EXPECT_THAT([&] { CheckStoreFolder(missing); },
                ::testing::ThrowsMessage<CertificateStoreError>(::testing::StartsWith(
                    "Nie ma folderu magazynu certyfikatów \"" + missing.string() +
                    "\". Zaimportuj certyfikat przyciskiem „Importuj certyfikat…” albo umieść go "
                    "w podfolderze „personal” tego folderu.")))
        << missing;
  }
}

TEST_F(CertificateStoreTest, ListsEveryKindOfEntrySortedByFileName) {
  const TestCertificate c1 = Client("C1"), c2 = Client("C2"), c3 = Client("C3"), c4 = Client("C4");
  test::AddPersonalCertificate(store.Path(), "b-pair", c2, {&pki->gitdSub03});
  test::WritePkcs12(Personal("a-bundle.p12"), c1, {&pki->gitdSub03}, "");
  test::WritePkcs12(Personal("d-windows.PFX"), c4, {}, "");
  // Certificate and key in one file.
  test::WriteCertificatesPem(Personal("c-single.pem"), {&c3});
  test::WriteKeyPem(store / "key-part", *c3.key);
  {
    std::ifstream key(store / "key-part");
    std::ofstream(Personal("c-single.pem"), std::ios::app) << key.rdbuf();
    fs::permissions(Personal("c-single.pem"), fs::perms::owner_read | fs::perms::owner_write);
  }
  std::ofstream(Personal("notes.txt")) << "not a certificate";

  const CertificateStore loaded = LoadCertificateStore(store.Path());
  EXPECT_THAT(Serials(loaded), ElementsAre("C1", "C2", "C3", "C4"));
  ASSERT_EQ(loaded.personal.size(), 4U);
  for (const PersonalCertificate& entry : loaded.personal) {
    EXPECT_EQ(X509_check_private_key(entry.certificate.get(), entry.privateKey.get()), 1)
        << entry.file;
  }
  EXPECT_EQ(loaded.personal[0].chain.size(), 1U);
  EXPECT_EQ(loaded.personal[1].chain.size(), 1U);
  EXPECT_EQ(loaded.personal[0].file, Personal("a-bundle.p12"));
}

TEST_F(CertificateStoreTest, ReadsIssuersFromPemBundlesAndDer) {
  test::WriteCertificatesPem(IssuersFolder(store.Path()) / "bundle.pem",
                             {&pki->root, &pki->gitdSub03});
  const TestCertificate other = test::MakeRootCa({{"CN", "Other Root"}});
  unsigned char* der = nullptr;
  const int length = i2d_X509(other.Get(), &der);
  std::ofstream(IssuersFolder(store.Path()) / "other.cer", std::ios::binary)
      .write(reinterpret_cast<const char*>(der), length);
  OPENSSL_free(der);

  const CertificateStore loaded = LoadCertificateStore(store.Path());
  ASSERT_EQ(loaded.issuers.size(), 3U);
  EXPECT_EQ(NameValues(*X509_get_subject_name(loaded.issuers[1].get())),
            "local;gitd;GITD SUB03 CA");
  EXPECT_EQ(NameValues(*X509_get_subject_name(loaded.issuers[2].get())), "Other Root");
}

// A private key that others may read is refused wherever it is kept.
struct KeyModeCase {
  const char* keyFile;  // the file that holds the key
  fs::perms mode;
  bool refused;
};

class PrivateKeyModes : public CertificateStoreTest,
                        public ::testing::WithParamInterface<KeyModeCase> {};

TEST_P(PrivateKeyModes, KeysOthersCanReachAreRefusedWithTheFix) {
  const KeyModeCase& c = GetParam();
  const TestCertificate client = Client("0B");
  const fs::path keyFile = Personal(c.keyFile);
  if (keyFile.extension() == ".p12") {
    test::WritePkcs12(keyFile, client, {}, "");
  } else {
    test::AddPersonalCertificate(store.Path(), keyFile.stem().string(), client, {});
  }
  fs::permissions(keyFile, c.mode);

  if (!c.refused) {
    EXPECT_EQ(LoadCertificateStore(store.Path()).personal.size(), 1U);
    return;
  }
  try {
    LoadCertificateStore(store.Path());
    FAIL() << "the key was accepted";
  } catch (const CertificateStoreError& e) {
    EXPECT_THAT(e.what(),
                AllOf(HasSubstr("\"" + keyFile.string() + "\""),
                      HasSubstr("jest dostępny dla innych użytkowników"), HasSubstr("chmod 600")));
  }
}

constexpr fs::perms kOwner = fs::perms::owner_read | fs::perms::owner_write;
INSTANTIATE_TEST_SUITE_P(
    Modes, PrivateKeyModes,
    ::testing::Values(KeyModeCase{"pair.key",
                                  kOwner | fs::perms::group_read | fs::perms::others_read, true},
                      KeyModeCase{"pair.key", kOwner | fs::perms::group_read, true},
                      KeyModeCase{"pair.key", kOwner | fs::perms::others_read, true},
                      KeyModeCase{"pair.key", kOwner | fs::perms::group_write, true},
                      KeyModeCase{"bundle.p12", kOwner | fs::perms::others_read, true},
                      KeyModeCase{"pair.key", kOwner, false},
                      KeyModeCase{"pair.key", fs::perms::owner_read, false},
                      KeyModeCase{"bundle.p12", kOwner, false}));

TEST_F(CertificateStoreTest, UnusableEntriesAreRefusedWithWhatToDo) {
  const TestCertificate client = Client("0C");
  const TestCertificate stranger = Client("0D");
  const fs::path crt = Personal("entry.crt");
  const fs::path key = Personal("entry.key");
  const struct {
    const char* label;
    std::function<void()> make;
    std::string expected;
  } cases[] = {
      {"no key", [&] { test::WriteCertificatesPem(crt, {&client}); },
       "nie ma klucza prywatnego. Umieść klucz w tym samym pliku albo w pliku \"" + key.string() +
           "\"."},
      {"key of another certificate",
       [&] {
         test::WriteCertificatesPem(crt, {&client});
         test::WriteKeyPem(key, *stranger.key);
       },
       "Klucz prywatny pliku \"" + crt.string() + "\" nie należy do jego certyfikatu."},
      {"password-protected PKCS#12",
       [&] { test::WritePkcs12(Personal("entry.p12"), client, {}, "secret"); },
       "jest chroniony hasłem. Zaimportuj go przyciskiem „Importuj certyfikat…”"},
      {"not a certificate", [&] { std::ofstream(crt) << "garbage"; },
       "Plik \"" + crt.string() + "\" nie zawiera certyfikatu."},
  };
  for (const auto& c : cases) {
    fs::remove_all(PersonalFolder(store.Path()));
    fs::create_directories(PersonalFolder(store.Path()));
    c.make();
    try {
      LoadCertificateStore(store.Path());
      ADD_FAILURE() << c.label << ": accepted";
    } catch (const CertificateStoreError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.expected)) << c.label;
    }
  }
}

TEST_F(CertificateStoreTest, TheViewerGetsTheUsableEntriesAndTheProblems) {
  test::AddPersonalCertificate(store.Path(), "a-exposed", Client("0A"), {});
  test::AddPersonalCertificate(store.Path(), "b-good", Client("0B"), {});
  fs::create_directories(IssuersFolder(store.Path()));
  std::ofstream(IssuersFolder(store.Path()) / "empty.pem") << "";
  fs::permissions(Personal("a-exposed.key"), fs::perms::others_read, fs::perm_options::add);

  std::vector<std::string> problems;
  const CertificateStore loaded = LoadCertificateStore(store.Path(), &problems);
  EXPECT_THAT(Serials(loaded), ElementsAre("0B"));
  EXPECT_THAT(problems, ElementsAre(HasSubstr("a-exposed.key"), HasSubstr("empty.pem")));
  EXPECT_THROW(LoadCertificateStore(store.Path()), CertificateStoreError);
}

// Restores an environment variable when the test ends.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }

 private:
  void Set(const char* value) const {
    if (value) {
      ::setenv(name_, value, 1);
    } else {
      ::unsetenv(name_);
    }
  }

  const char* name_;
  std::optional<std::string> old_;
};

TEST(DefaultStoreLocation, FollowsXdgDataHomeElseHome) {
  const struct {
    const char* xdg;
    fs::path expected;
  } cases[] = {
      {"/data/user", "/data/user/zelvor/certificates"},
      {nullptr, "/home/tester/.local/share/zelvor/certificates"},
      {"relative/ignored", "/home/tester/.local/share/zelvor/certificates"},
  };
  const ScopedEnv home("HOME", "/home/tester");
  for (const auto& c : cases) {
    const ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
    EXPECT_EQ(DefaultCertificateStoreFolder(), c.expected) << (c.xdg ? c.xdg : "unset");
    EXPECT_EQ(ResolveStoreFolder({}), c.expected);
  }
  EXPECT_EQ(ResolveStoreFolder("/given"), fs::path("/given"));
  // The default folder is the one checked when none is given.
  const ScopedEnv xdg("XDG_DATA_HOME", "/nonexistent-zelvor-data");
  EXPECT_THAT([] { CheckStoreFolder({}); },
              ::testing::ThrowsMessage<CertificateStoreError>(
                  HasSubstr("\"/nonexistent-zelvor-data/zelvor/certificates\"")));
}

}  // namespace
}  // namespace zelvor::platform
