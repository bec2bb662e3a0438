// A record type's wire names are looked up once per thread; a binding that registers field
// attributes after a first read (the VAT binding after a register call) must still be obeyed.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "soap/field_table.h"
#include "soap/record_reader.h"
#include "soap/type_registry.h"
#include "soap/xml_document.h"

namespace zelvor::soap {
namespace {

class Probe final : public Remotable {
  ZELVOR_RECORD(Probe)
  std::string Name;
};

std::string NameRead(std::string_view xml) {
  Probe probe;
  const XmlDocPtr doc = ParseXmlSafely(xml, 1024);
  ReadRecord(xmlDocGetRootElement(doc.get()), probe);
  return probe.Name;
}

TEST(WireNames, AnExternalNameRegisteredAfterAReadIsReadNext) {
  constexpr std::string_view kXml = "<r><Name>by field name</Name><Nazwa>by external</Nazwa></r>";
  EXPECT_EQ(NameRead(kXml), "by field name");
  TypeRegistry::Instance().RegisterFieldAttributes(Probe::StaticType(), "Name",
                                                   R"([ExtName="Nazwa"])");
  EXPECT_EQ(NameRead(kXml), "by external");
}

}  // namespace

const RecordType& Probe::StaticType() {
  static const RecordType type =
      RecordTypeBuilder<Probe>("Probe").Required("Name", &Probe::Name).Build();
  return type;
}

}  // namespace zelvor::soap
