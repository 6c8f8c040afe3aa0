#include "platform/Xml.h"

#include <gtest/gtest.h>

using namespace orvo::platform;

namespace {

struct Recorder : XmlHandler {
  std::string log;
  bool StartElement(std::string_view uri, std::string_view local,
                    const std::vector<XmlAttribute> &attributes) override {
    log.append("<").append(uri).append("|").append(local);
    for (const auto &a : attributes)
      log.append(" ").append(a.namespaceUri).append("|").append(a.localName).append("=").append(
          a.value);
    log.append(">");
    return local != "stop";
  }
  bool EndElement(std::string_view, std::string_view local) override {
    log.append("</").append(local).append(">");
    return true;
  }
  bool CharacterData(std::string_view text) override {
    log += text;
    return true;
  }
};

XmlOutcome Parse(std::string_view text, std::string &log) {
  Recorder r;
  std::string error;
  const XmlOutcome outcome = ParseXml(text, r, error);
  log = r.log;
  if (outcome == XmlOutcome::Malformed) {
    EXPECT_FALSE(error.empty());
  }
  return outcome;
}

} // namespace

// Both system parsers must give the same events: names resolved to their
// namespace whatever the prefix, empty elements closed, declarations hidden,
// and documents with a DTD refused before any entity is expanded.
TEST(Xml, EventsAndRefusals) {
  std::string log;
  EXPECT_EQ(Parse("<a xmlns='u' xmlns:p='v' k='1' p:m='2'><p:b/>x&amp;y</a>", log),
            XmlOutcome::Complete);
  EXPECT_EQ(log, "<u|a |k=1 v|m=2><v|b></b>x&y</a>");
  EXPECT_EQ(Parse("<a><stop/><b/></a>", log), XmlOutcome::Stopped);
  EXPECT_EQ(log, "<|a><|stop>");
  EXPECT_EQ(Parse("<a><b></a>", log), XmlOutcome::Malformed);
  EXPECT_EQ(Parse("<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", log), XmlOutcome::Malformed);
  EXPECT_EQ(log.find('x'), std::string::npos);
  EXPECT_EQ(Parse("", log), XmlOutcome::Malformed);
}
