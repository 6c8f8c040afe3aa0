#include "platform/Xml.h"

#include "platform/Utf16.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <array>
#include <climits>
#include <cstdio>

namespace orvo::platform {

namespace {

using CreateXmlReaderFunction = HRESULT(WINAPI *)(REFIID, void **, IMalloc *);

// MinGW has XmlLite's header but no import library; the DLL is part of
// every Windows since XP and is taken from the system folder only.
CreateXmlReaderFunction XmlLiteFactory() {
  static const CreateXmlReaderFunction factory = [] {
    HMODULE module = LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module)
      return CreateXmlReaderFunction(nullptr);
    return reinterpret_cast<CreateXmlReaderFunction>(
        reinterpret_cast<void *>(GetProcAddress(module, "CreateXmlReader")));
  }();
  return factory;
}

template <typename T> struct ComPtr {
  T *p = nullptr;
  ~ComPtr() {
    if (p)
      p->Release();
  }
};

// Namespace declarations are attributes to XmlLite; expat resolves them and
// does not report them, and neither does this layer.
constexpr std::wstring_view kXmlnsUri = L"http://www.w3.org/2000/xmlns/";

std::string Narrow(const WCHAR *text, UINT length) {
  return ToUtf8(std::wstring_view(text, length));
}

bool CurrentName(IXmlReader *reader, std::string &uri, std::string &local) {
  const WCHAR *text = nullptr;
  UINT length = 0;
  if (FAILED(reader->GetNamespaceUri(&text, &length)))
    return false;
  uri = Narrow(text, length);
  if (FAILED(reader->GetLocalName(&text, &length)))
    return false;
  local = Narrow(text, length);
  return true;
}

std::string Reason(IXmlReader *reader, HRESULT hr) {
  UINT line = 0;
  reader->GetLineNumber(&line);
  char code[16];
  std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(hr));
  return std::string("not well-formed XML or a document type declaration (XmlLite error 0x") +
         code + ") at line " + std::to_string(line);
}

} // namespace

XmlOutcome ParseXml(std::string_view document, XmlHandler &handler, std::string &error) {
  error.clear();
  const CreateXmlReaderFunction create = XmlLiteFactory();
  if (!create) {
    error = "the system's XML reader (xmllite.dll) is missing";
    return XmlOutcome::Malformed;
  }
  if (document.size() > UINT_MAX) {
    error = "the document is too large";
    return XmlOutcome::Malformed;
  }
  ComPtr<IStream> stream;
  stream.p = SHCreateMemStream(reinterpret_cast<const BYTE *>(document.data()),
                               static_cast<UINT>(document.size()));
  ComPtr<IXmlReader> reader;
  if (!stream.p || FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void **>(&reader.p),
                                 nullptr))) {
    error = "out of memory";
    return XmlOutcome::Malformed;
  }
  reader.p->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader.p->SetProperty(XmlReaderProperty_MaxElementDepth, 256);
  if (FAILED(reader.p->SetInput(stream.p))) {
    error = "out of memory";
    return XmlOutcome::Malformed;
  }
  std::string uri, local;
  std::vector<std::array<std::string, 3>> texts;
  std::vector<XmlAttribute> attributes;
  for (;;) {
    XmlNodeType type = XmlNodeType_None;
    const HRESULT hr = reader.p->Read(&type);
    if (hr == S_FALSE)
      return XmlOutcome::Complete;
    if (hr != S_OK) {
      error = Reason(reader.p, hr);
      return XmlOutcome::Malformed;
    }
    bool go = true;
    if (type == XmlNodeType_Element) {
      const bool empty = reader.p->IsEmptyElement();
      if (!CurrentName(reader.p, uri, local)) {
        error = "unreadable element name";
        return XmlOutcome::Malformed;
      }
      texts.clear();
      for (HRESULT a = reader.p->MoveToFirstAttribute(); a == S_OK;
           a = reader.p->MoveToNextAttribute()) {
        const WCHAR *text = nullptr;
        UINT length = 0;
        std::array<std::string, 3> attribute;
        reader.p->GetNamespaceUri(&text, &length);
        if (std::wstring_view(text, length) == kXmlnsUri)
          continue;
        attribute[0] = Narrow(text, length);
        reader.p->GetLocalName(&text, &length);
        attribute[1] = Narrow(text, length);
        reader.p->GetValue(&text, &length);
        attribute[2] = Narrow(text, length);
        texts.push_back(std::move(attribute));
      }
      attributes.clear();
      for (const auto &t : texts)
        attributes.push_back({t[0], t[1], t[2]});
      go = handler.StartElement(uri, local, attributes) && (!empty || handler.EndElement(uri, local));
    } else if (type == XmlNodeType_EndElement) {
      go = CurrentName(reader.p, uri, local) && handler.EndElement(uri, local);
    } else if (type == XmlNodeType_Text || type == XmlNodeType_CDATA ||
               type == XmlNodeType_Whitespace) {
      const WCHAR *text = nullptr;
      UINT length = 0;
      if (FAILED(reader.p->GetValue(&text, &length))) {
        error = "unreadable text";
        return XmlOutcome::Malformed;
      }
      go = handler.CharacterData(Narrow(text, length));
    }
    if (!go)
      return XmlOutcome::Stopped;
  }
}

} // namespace orvo::platform
