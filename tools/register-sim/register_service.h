#pragma once
// The register's two operations over the synthetic register, answered with SOAP 1.1
// envelopes as the register writes them.

#include <libxml/tree.h>

#include <string>

#include "register-sim/synthetic_register.h"
#include "sim-common/sim_server.h"

namespace zelvor::sim {

class RegisterService : public SoapService {
 public:
  explicit RegisterService(const SyntheticRegister& data) : data_(data) {}

  // The key of a search is its tax number, else its reference number, else its first
  // certificate day ("yyyy-mm-dd"), else its firm name; of a fetch, the reference number.
  Answer Serve(const std::string& body, const std::string* soapAction, std::string& key) override;
  Answer ServiceFault() const override;
  Answer OtherFault() const override;

 private:
  Answer Search(const xmlNode* operation, std::string& key) const;
  Answer Fetch(const xmlNode* operation, std::string& key) const;

  const SyntheticRegister& data_;
};

}  // namespace zelvor::sim
