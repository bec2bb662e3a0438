#include "cli/effective_settings.h"

#include <optional>

#include "platform/certificate_store.h"
#include "register/register_transport.h"
#include "vies/vat_port_type.h"
#include "workbook/file_system.h"

namespace zelvor::cli {
namespace {

Effective Resolve(const std::string& fallback, const std::optional<platform::SetValue>& fromFile,
                  const platform::SettingsFile& file,
                  const std::optional<std::string>& fromOption = std::nullopt,
                  const char* option = "") {
  if (fromOption) return {*fromOption, std::string("option --") + option};
  if (fromFile)
    return {fromFile->value,
            workbook::files::Utf8(file.path) + ":" + std::to_string(fromFile->line)};
  return {fallback, "default"};
}

}  // namespace

EffectiveSettings ResolveSettings(const CliOptions& options, const platform::SettingsFile& file) {
  const reg::RegisterTransportSettings transport = reg::DefaultRegisterTransportSettings();
  const platform::CertificateSelectors& selectors = transport.selectors;
  const std::optional<std::string> connections =
      options.connections ? std::optional(std::to_string(*options.connections)) : std::nullopt;
  EffectiveSettings settings;
  settings.registerUrl =
      Resolve(transport.url, file.registerUrl, file, options.registerUrl, "register");
  settings.connections = Resolve("1", file.connections, file, connections, "connections");
  settings.vatUrl = Resolve(vies::Endpoint(), file.vatUrl, file, options.vatUrl, "vat");
  settings.store = Resolve(workbook::files::Utf8(platform::DefaultCertificateStoreFolder()),
                           file.store, file, options.store, "store");
  settings.name = Resolve(selectors.displayName, file.name, file);
  settings.issuer = Resolve(selectors.issuer, file.issuer, file);
  settings.subject = Resolve(selectors.subject, file.subject, file);
  settings.serial = Resolve(selectors.serialNumber, file.serial, file);
  return settings;
}

std::vector<std::string> EffectiveSettings::Lines() const {
  const Effective* values[] = {&registerUrl, &connections, &vatUrl,  &store,
                               &name,        &issuer,      &subject, &serial};
  std::vector<std::string> lines;
  const std::vector<std::string>& keys = platform::SettingsKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    lines.push_back(keys[i] + " = " + values[i]->value + "  (" + values[i]->origin + ")");
  }
  return lines;
}

}  // namespace zelvor::cli
