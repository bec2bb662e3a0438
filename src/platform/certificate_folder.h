#pragma once
// The certificate store on Linux: a folder of personal certificates with their private keys, and a
// folder of extra issuer certificates that the program trusts besides the system's.
//
// Layout (the default root is $XDG_DATA_HOME/zelvor/certificates, else
// ~/.local/share/zelvor/certificates):
//   <root>/personal/<name>.p12 or <name>.pfx   PKCS#12 without a password (certificate, key, chain)
//   <root>/personal/<name>.pem, .crt or .cer   PEM: the certificate first, then its chain; the
//                                              private key in the same file or in <name>.key
//   <root>/issuers/*.pem, *.crt, *.cer         issuer certificates, PEM (several a file) or DER
// Files holding a private key must be private to their owner (chmod 600). Files of other kinds are
// ignored, as are missing folders when the store is only listed; a call to the register wants the
// root folder to exist (CheckStoreFolder).
// Messages are Polish: one sentence saying what is wrong and what to do, then any library text in
// parentheses.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/certificate_store.h"
#include "platform/openssl_handles.h"

namespace zelvor::platform {

struct PersonalCertificate {
  std::filesystem::path file;  // the file the certificate was read from
  X509Ptr certificate;
  EvpPkeyPtr privateKey;
  std::vector<X509Ptr> chain;  // issuer certificates stored with it, nearest first
};

struct CertificateStore {
  std::vector<PersonalCertificate> personal;  // in store order: sorted by file name
  std::vector<X509Ptr> issuers;               // trusted besides the system's issuers
};

// Reads the whole store; throws CertificateStoreError for the first file that cannot be used.
// Given a list of problems (the certificate viewer does), it skips such files instead and adds
// their messages to the list; a folder that cannot be read still throws.
CertificateStore LoadCertificateStore(const std::filesystem::path& storeFolder,
                                      std::vector<std::string>* problems = nullptr);

// The personal certificates as the certificate viewer lists them, in store order.
std::vector<CertificateDescription> DescribePersonalCertificates(const CertificateStore& store);

}  // namespace zelvor::platform
