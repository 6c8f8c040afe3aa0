#include "platform/Xml.h"

#include <expat.h>

#include <climits>

namespace orvo::platform {

namespace {

// Separates the namespace URI from the local name in the names expat hands
// over; no URI can contain it.
constexpr char kSeparator = '\x01';

struct SplitName {
  std::string_view uri, local;
};

SplitName Split(const XML_Char *name) {
  const std::string_view all(name);
  const auto at = all.find(kSeparator);
  if (at == std::string_view::npos)
    return {{}, all};
  return {all.substr(0, at), all.substr(at + 1)};
}

struct Context {
  XML_Parser parser;
  XmlHandler &handler;
  std::vector<XmlAttribute> attributes;
  bool stopped = false;
  bool doctype = false;
};

void Stop(Context &c) {
  c.stopped = true;
  XML_StopParser(c.parser, XML_FALSE);
}

void XMLCALL OnStart(void *data, const XML_Char *name, const XML_Char **atts) {
  auto &c = *static_cast<Context *>(data);
  if (c.stopped)
    return;
  c.attributes.clear();
  for (int i = 0; atts[i] && atts[i + 1]; i += 2) {
    const SplitName n = Split(atts[i]);
    c.attributes.push_back({n.uri, n.local, atts[i + 1]});
  }
  const SplitName n = Split(name);
  if (!c.handler.StartElement(n.uri, n.local, c.attributes))
    Stop(c);
}

void XMLCALL OnEnd(void *data, const XML_Char *name) {
  auto &c = *static_cast<Context *>(data);
  // Expat still closes an empty element whose start stopped the parse.
  if (c.stopped)
    return;
  const SplitName n = Split(name);
  if (!c.handler.EndElement(n.uri, n.local))
    Stop(c);
}

void XMLCALL OnText(void *data, const XML_Char *text, int length) {
  auto &c = *static_cast<Context *>(data);
  if (c.stopped)
    return;
  if (!c.handler.CharacterData({text, static_cast<std::size_t>(length)}))
    Stop(c);
}

void XMLCALL OnDoctype(void *data, const XML_Char *, const XML_Char *, const XML_Char *, int) {
  auto &c = *static_cast<Context *>(data);
  c.doctype = true;
  XML_StopParser(c.parser, XML_FALSE);
}

} // namespace

XmlOutcome ParseXml(std::string_view document, XmlHandler &handler, std::string &error) {
  error.clear();
  if (document.size() > static_cast<std::size_t>(INT_MAX)) {
    error = "the document is too large";
    return XmlOutcome::Malformed;
  }
  XML_Parser parser = XML_ParserCreateNS(nullptr, kSeparator);
  if (!parser) {
    error = "out of memory";
    return XmlOutcome::Malformed;
  }
  Context c{parser, handler, {}};
  XML_SetUserData(parser, &c);
  XML_SetElementHandler(parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser, OnText);
  XML_SetStartDoctypeDeclHandler(parser, OnDoctype);
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
  const XML_Status status =
      XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE);
  XmlOutcome outcome = XmlOutcome::Complete;
  if (c.doctype) {
    error = "the document has a document type declaration";
    outcome = XmlOutcome::Malformed;
  } else if (c.stopped) {
    outcome = XmlOutcome::Stopped;
  } else if (status != XML_STATUS_OK) {
    error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
            std::to_string(XML_GetCurrentLineNumber(parser));
    outcome = XmlOutcome::Malformed;
  }
  XML_ParserFree(parser);
  return outcome;
}

} // namespace orvo::platform
