#pragma once
// The settings a command runs with: the build's defaults, overridden by the settings file,
// overridden by the command line; each with where it came from.

#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "platform/certificate_selectors.h"
#include "platform/settings_file.h"

namespace zelvor::cli {

struct Effective {
  std::string value;
  std::string origin;  // "default", "<file>:<line>" or "option --<name>"
};

struct EffectiveSettings {
  Effective registerUrl, connections, vatUrl, store, name, issuer, subject, serial;

  int Connections() const { return std::stoi(connections.value); }
  platform::CertificateSelectors Selectors() const {
    return {name.value, subject.value, issuer.value, serial.value};
  }
  // "[section] key = value  (origin)" for each setting, in the file's order.
  std::vector<std::string> Lines() const;
};

EffectiveSettings ResolveSettings(const CliOptions& options, const platform::SettingsFile& file);

}  // namespace zelvor::cli
