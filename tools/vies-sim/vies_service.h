#pragma once
// The VAT check service's two operations over the synthetic traders.

#include <libxml/tree.h>

#include <string>

#include "sim-common/sim_server.h"
#include "vies-sim/synthetic_traders.h"

namespace zelvor::sim {

// The namespace of the service's records, from the build settings.
const std::string& ViesTypesNamespace();

class ViesService : public SoapService {
 public:
  // requestDate is sent verbatim in every answer.
  ViesService(const SyntheticTraders& traders, std::string requestDate)
      : traders_(traders), requestDate_(std::move(requestDate)) {}

  // The key of a request is its country code followed by its VAT number ("DE123456789").
  Answer Serve(const std::string& body, const std::string* soapAction, std::string& key) override;
  Answer ServiceFault() const override;
  Answer OtherFault() const override;

 private:
  const SyntheticTraders& traders_;
  std::string requestDate_;
};

}  // namespace zelvor::sim
