#pragma once

#include <string>
#include <string_view>
#include <vector>

// XML read as a stream of events by the system's parser (expat on POSIX,
// XmlLite on Windows). Names arrive as namespace URI and local name, so a
// document means the same whatever prefixes it picked. Documents with a
// document type declaration are refused: the formats read here have none,
// and entity definitions are the way to make a small file expand without
// end.
namespace orvo::platform {

struct XmlAttribute {
  std::string_view namespaceUri; // empty for an attribute without a prefix
  std::string_view localName;
  std::string_view value;
};

class XmlHandler {
public:
  virtual ~XmlHandler() = default;
  // Each returns false to stop the parse; the handler keeps its own reason.
  virtual bool StartElement(std::string_view namespaceUri, std::string_view localName,
                            const std::vector<XmlAttribute> &attributes) = 0;
  virtual bool EndElement(std::string_view namespaceUri, std::string_view localName) = 0;
  // Text in pieces: one run of text may arrive in several calls.
  virtual bool CharacterData(std::string_view text) = 0;
};

enum class XmlOutcome {
  Complete,   // the whole document was read
  Stopped,    // a handler call answered false
  Malformed,  // not well-formed XML, or a document type declaration
};

// Parses a whole document held in memory (UTF-8, UTF-16 with a byte-order
// mark, or what its declaration names). `error` receives the parser's reason
// for Malformed, with the line where the parser stopped.
XmlOutcome ParseXml(std::string_view document, XmlHandler &handler, std::string &error);

} // namespace orvo::platform
