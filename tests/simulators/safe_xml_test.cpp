// The service answers, the workbook parts and the simulators' requests are parsed through one
// safe parse: a DTD's entities are never expanded, nor is anything fetched for them.
#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <functional>
#include <optional>
#include <string>

#include "sim-common/xml_doc.h"
#include "soap/xml_document.h"
#include "workbook/errors.h"
#include "workbook/xml_util.h"

namespace zelvor::test {
namespace {

// An amplifying internal entity, an external one naming a local file and one naming a network
// address, used in element text and in an attribute value.
const std::string kEntities =
    R"(<?xml version="1.0"?><!DOCTYPE r [)"
    R"(<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">)"
    R"(<!ENTITY file SYSTEM "file:///etc/passwd"><!ENTITY net SYSTEM "http://127.0.0.1:9/x">]>)"
    R"(<r v="[&b;]"><t>[&b;]</t><f>[&file;]</f><n>[&net;]</n></r>)";

std::string Content(const xmlNode* node) {
  xmlChar* text = xmlNodeGetContent(node);
  std::string out = text == nullptr ? "" : reinterpret_cast<const char*>(text);
  xmlFree(text);
  return out;
}

// Every text the tree gives, as a reader of the tree takes it.
std::string AllContent(const xmlDoc* doc) {
  const xmlNode* root = xmlDocGetRootElement(doc);
  std::string out = Content(reinterpret_cast<const xmlNode*>(root->properties)) + "|";
  for (const xmlNode* child = root->children; child != nullptr; child = child->next) {
    out += Content(child) + "|";
  }
  return out;
}

// A workbook refuses a part with a DTD outright: nullopt then.
std::optional<std::string> UnlessRefusedByWorkbook(const std::function<std::string()>& read) {
  try {
    return read();
  } catch (const workbook::EWorkbookError& e) {
    EXPECT_NE(std::string(e.what()).find("declares a DTD"), std::string::npos) << e.what();
    return std::nullopt;
  }
}

struct EntryPoint {
  const char* name;
  // Every text of the document as the entry point gives it, or nullopt when it refuses it.
  std::function<std::optional<std::string>(const std::string&)> contentOf;
  bool refuses;
};

TEST(SafeXml, NoEntryPointExpandsOrFetchesAnEntity) {
  const EntryPoint entryPoints[] = {
      {"service answer",
       [](const std::string& xml) -> std::optional<std::string> {
         return AllContent(soap::ParseAnswer(xml).get());
       },
       false},
      {"workbook part",
       [](const std::string& xml) {
         return UnlessRefusedByWorkbook(
             [&] { return AllContent(workbook::ParseXmlPart(xml, "xl/sharedStrings.xml").get()); });
       },
       true},
      {"streamed workbook part",
       [](const std::string& xml) {
         return UnlessRefusedByWorkbook([&] {
           std::string texts;
           workbook::StreamXmlPart(xml, "xl/worksheets/sheet1.xml", [&](xmlTextReader* reader) {
             const xmlChar* value = xmlTextReaderConstValue(reader);
             if (value != nullptr) texts += reinterpret_cast<const char*>(value);
             return false;
           });
           return texts;
         });
       },
       true},
      {"simulator request",
       [](const std::string& xml) -> std::optional<std::string> {
         std::string error;
         const sim::XmlDocPtr doc = sim::ParseXml(xml, error);
         if (!doc) return std::nullopt;
         return AllContent(doc.get());
       },
       false},
  };
  for (const EntryPoint& entry : entryPoints) {
    SCOPED_TRACE(entry.name);
    const std::optional<std::string> content = entry.contentOf(kEntities);
    if (entry.refuses) {
      EXPECT_FALSE(content.has_value()) << *content;
      continue;
    }
    ASSERT_TRUE(content.has_value());
    // The references are kept, their replacement text is gone: the brackets stay empty.
    EXPECT_EQ(*content, "[]|[]|[]|[]|");
  }
}

TEST(SafeXml, EntryPointsStillReadAPlainDocument) {
  const std::string plain = R"(<?xml version="1.0"?><r v="1 &amp; 2"><t>x &lt; y</t></r>)";
  EXPECT_EQ(AllContent(soap::ParseAnswer(plain).get()), "1 & 2|x < y|");
  EXPECT_EQ(AllContent(workbook::ParseXmlPart(plain, "xl/workbook.xml").get()), "1 & 2|x < y|");
  std::string error;
  const sim::XmlDocPtr doc = sim::ParseXml(plain, error);
  ASSERT_TRUE(doc) << error;
  EXPECT_EQ(AllContent(doc.get()), "1 & 2|x < y|");
}

}  // namespace
}  // namespace zelvor::test
