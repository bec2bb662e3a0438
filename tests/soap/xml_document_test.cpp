#include "soap/xml_document.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace zelvor::soap {
namespace {

// Writes down what a scan reports.
class Recorder final : public XmlEvents {
 public:
  bool Start(const XmlStart& element) override {
    log += "<" + std::string(element.LocalName());
    if (!element.Namespace().empty()) log += " ns=" + std::string(element.Namespace());
    if (element.UnboundPrefix()) log += " unbound";
    if (auto a = element.Attribute("a", "")) log += " a=" + std::string(*a);
    log += ">";
    return true;
  }
  bool End() override {
    log += "</>";
    return true;
  }
  bool Text(std::string_view text) override {
    log += text;
    return true;
  }
  bool Markup() override {
    log += "<!>";
    return true;
  }

  std::string log;
};

// A document of exactly `size` bytes: a root element padded with a comment.
std::string DocumentOf(std::size_t size) {
  const std::string open = "<r><!--";
  const std::string close = "--></r>";
  return open + std::string(size - open.size() - close.size(), 'x') + close;
}

TEST(SafeXmlParse, TheCallersCapIsTheLargestDocumentTaken) {
  constexpr std::size_t kCap = 4096;
  struct Case {
    std::size_t size;
    bool taken;
  };
  for (const Case c : {Case{kCap - 1, true}, Case{kCap, true}, Case{kCap + 1, false}}) {
    SCOPED_TRACE(c.size);
    const std::string xml = DocumentOf(c.size);
    Recorder events;
    if (c.taken) {
      EXPECT_NE(ParseXmlSafely(xml, kCap), nullptr);
      EXPECT_EQ(StreamXmlSafely(xml, kCap, [](xmlTextReader*) { return false; }), "");
      EXPECT_TRUE(ScanXmlSafely(xml, kCap, events));
    } else {
      EXPECT_THROW(ParseXmlSafely(xml, kCap), EXmlTooLarge);
      EXPECT_THROW(StreamXmlSafely(xml, kCap, [](xmlTextReader*) { return false; }), EXmlTooLarge);
      EXPECT_THROW(ScanXmlSafely(xml, kCap, events), EXmlTooLarge);
    }
  }
}

TEST(SafeXmlParse, IllFormedDocumentsAreParseErrors) {
  for (const char* xml : {"", "   ", "<r>", "<a/><b/>", "text", "<?xml version=\"1.0\"?>"}) {
    SCOPED_TRACE(xml);
    EXPECT_THROW(ParseXmlSafely(xml, 1024), EXmlParseError);
    EXPECT_THROW(StreamXmlSafely(xml, 1024, [](xmlTextReader*) { return false; }), EXmlParseError);
    Recorder events;
    EXPECT_FALSE(ScanXmlSafely(xml, 1024, events));
  }
}

TEST(SafeXmlParse, AStreamedDocumentWithADtdIsRefusedBeforeItsRoot) {
  int elements = 0;
  EXPECT_THROW(StreamXmlSafely(R"(<!DOCTYPE r [<!ENTITY a "aaaa">]><r>&a;</r>)", 1024,
                               [&](xmlTextReader* reader) {
                                 if (xmlTextReaderNodeType(reader) == XML_READER_TYPE_ELEMENT)
                                   ++elements;
                                 return false;
                               }),
               EXmlDtdRefused);
  EXPECT_EQ(elements, 0);
}

TEST(SafeXmlParse, AScanEndsAtADtdBeforeItsRoot) {
  Recorder events;
  EXPECT_FALSE(ScanXmlSafely(R"(<!DOCTYPE r [<!ENTITY a "aaaa">]><r>&a;</r>)", 1024, events));
  EXPECT_EQ(events.log, "");
}

TEST(SafeXmlParse, AScanReportsElementsAndDecodedText) {
  Recorder events;
  EXPECT_TRUE(ScanXmlSafely(
      R"(<?xml version="1.0" encoding="ISO-8859-2"?><r a="x&#60;)"
      "\xb1"
      R"("><p:e xmlns:p="urn:p">1 &amp; <![CDATA[<2>]]></p:e><?pi?><!--c--><u:f/></r>)",
      1024, events));
  EXPECT_EQ(events.log, "<r a=x<ą><e ns=urn:p>1 & <2></><!><!><f unbound></></>");
  // libxml2 keeps '&' in an attribute as a reference, so such a value ends the scan.
  Recorder withReference;
  EXPECT_FALSE(ScanXmlSafely(R"(<r><e a="x&amp;y"/></r>)", 1024, withReference));
}

TEST(SafeXmlParse, AScanStopsWhenTheEventsSaySo) {
  struct StopAtText final : XmlEvents {
    bool Start(const XmlStart&) override { return true; }
    bool End() override { return true; }
    bool Text(std::string_view) override { return false; }
    bool Markup() override { return true; }
  } events;
  EXPECT_FALSE(ScanXmlSafely("<r>text</r>", 1024, events));
}

// Scans on threads that end after them, as the window's worker ends after each action, with
// memory used and given back between: every scan, and the scans after, read whole.
TEST(SafeXmlParse, ScansOnThreadsThatEndLeaveLaterScansWhole) {
  const std::string document = R"(<r><e a="1">x</e><f/></r>)";
  const std::string expected = "<r><e a=1>x</><f></></>";
  for (int round = 0; round < 20; ++round) {
    std::string seen;
    std::thread worker([&] {
      Recorder events;
      if (ScanXmlSafely(document, 1024, events)) seen = events.log;
    });
    worker.join();
    ASSERT_EQ(seen, expected) << "round " << round;
    std::vector<std::string> churn(256, std::string(48, 'z'));
  }
  Recorder events;
  EXPECT_TRUE(ScanXmlSafely(document, 1024, events));
  EXPECT_EQ(events.log, expected);
}

// The encodings a server may declare, on every system: the same Polish text from each.
TEST(SafeXmlParse, EveryEncodingAServerMayDeclareIsRead) {
  const std::string expected = "Zażółć gęślą jaźń";
  const std::string utf16 = std::string("\xFF\xFE", 2) + [] {
    const std::u16string text =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>Zażółć gęślą jaźń</r>";
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  }();
  const struct {
    const char* name;
    std::string document;
  } cases[] = {
      {"UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>" + expected + "</r>"},
      {"UTF-16", utf16},
      {"ISO-8859-2",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><r>Za\xbf\xf3\xb3\xe6 g\xea\xb6l\xb1 "
       "ja\xbc\xf1</r>"},
      {"windows-1250",
       "<?xml version=\"1.0\" encoding=\"windows-1250\"?><r>Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 "
       "ja\x9f\xf1</r>"},
      {"CP1250",
       "<?xml version=\"1.0\" encoding=\"CP1250\"?><r>Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 "
       "ja\x9f\xf1</r>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder events;
    ASSERT_TRUE(ScanXmlSafely(c.document, 4096, events));
    EXPECT_EQ(events.log, "<r>" + expected + "</>");
    const XmlDocPtr doc = ParseXmlSafely(c.document, 4096);
    xmlChar* text = xmlNodeGetContent(xmlDocGetRootElement(doc.get()));
    EXPECT_EQ(reinterpret_cast<const char*>(text), expected);
    xmlFree(text);
  }
}

TEST(SafeXmlParse, TheStreamGivesTheDeclaredEncoding) {
  EXPECT_EQ(StreamXmlSafely("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><r>\xb1</r>", 1024,
                            [](xmlTextReader*) { return false; }),
            "ISO-8859-2");
}

}  // namespace
}  // namespace zelvor::soap
