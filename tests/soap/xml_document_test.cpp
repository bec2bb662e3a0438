#include "soap/xml_document.h"

#include <gtest/gtest.h>

#include <string>

namespace zelvor::soap {
namespace {

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
    if (c.taken) {
      EXPECT_NE(ParseXmlSafely(xml, kCap), nullptr);
      EXPECT_EQ(StreamXmlSafely(xml, kCap, [](xmlTextReader*) { return false; }), "");
    } else {
      EXPECT_THROW(ParseXmlSafely(xml, kCap), EXmlTooLarge);
      EXPECT_THROW(StreamXmlSafely(xml, kCap, [](xmlTextReader*) { return false; }), EXmlTooLarge);
    }
  }
}

TEST(SafeXmlParse, IllFormedDocumentsAreParseErrors) {
  for (const char* xml : {"", "   ", "<r>", "<a/><b/>", "text", "<?xml version=\"1.0\"?>"}) {
    SCOPED_TRACE(xml);
    EXPECT_THROW(ParseXmlSafely(xml, 1024), EXmlParseError);
    EXPECT_THROW(StreamXmlSafely(xml, 1024, [](xmlTextReader*) { return false; }), EXmlParseError);
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

TEST(SafeXmlParse, TheStreamGivesTheDeclaredEncoding) {
  EXPECT_EQ(StreamXmlSafely("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><r>\xb1</r>", 1024,
                            [](xmlTextReader*) { return false; }),
            "ISO-8859-2");
}

}  // namespace
}  // namespace zelvor::soap
