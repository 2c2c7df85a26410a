#include "helpers/librepgen/xml_writer.h"

#include "helpers/librepgen/report_file.h"
#include "helpers/librepgen/text_clean.h"

namespace tavrin::helpers {
namespace {

const xmlChar* X(const std::string& s) {
  return reinterpret_cast<const xmlChar*>(s.c_str());
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool IsPlainXmlName(std::string_view name) {
  if (name.empty() || !(IsAsciiLetter(name[0]) || name[0] == '_')) return false;
  for (char c : name)
    if (!(IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.'))
      return false;
  return true;
}

XmlWriter::XmlWriter(Unknown& owner, std::string baseFileName)
    : owner_(owner), base_(std::move(baseFileName)) {}

XmlWriter::~XmlWriter() {
  if (doc_) xmlFreeDoc(doc_);
}

void XmlWriter::BeginDocument() {
  if (doc_) xmlFreeDoc(doc_);
  doc_ = xmlNewDoc(X("1.0"));
  xmlNodePtr root = xmlNewDocNode(doc_, nullptr, X("report"), nullptr);
  xmlDocSetRootElement(doc_, root);
  open_.assign(1, root);
}

xmlNodePtr XmlWriter::NewChild(std::string_view name) {
  if (!doc_ || open_.empty() || !IsPlainXmlName(name)) return nullptr;
  xmlNodePtr node = xmlNewDocNode(doc_, nullptr, X(std::string(name)), nullptr);
  return node ? xmlAddChild(open_.back(), node) : nullptr;
}

bool XmlWriter::OpenElement(std::string_view name) {
  xmlNodePtr node = NewChild(name);
  if (!node) return false;
  open_.push_back(node);
  return true;
}

bool XmlWriter::CloseElement(std::string_view name) {
  // The document element stays open: it ends with the document.
  if (open_.size() < 2) return false;
  if (name != reinterpret_cast<const char*>(open_.back()->name)) return false;
  open_.pop_back();
  return true;
}

bool XmlWriter::WriteElement(std::string_view name, std::string_view text) {
  xmlNodePtr node = NewChild(name);
  if (!node) return false;
  const std::string clean = CleanReportText(text);
  // No text node for an empty text, so it serializes as <name/>.
  if (!clean.empty()) xmlAddChild(node, xmlNewDocText(doc_, X(clean)));
  return true;
}

std::string XmlWriter::Render() {
  if (!doc_) return {};
  xmlChar* bytes = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(doc_, &bytes, &size, "UTF-8", 1);
  std::string out(reinterpret_cast<const char*>(bytes), bytes ? static_cast<std::size_t>(size) : 0);
  xmlFree(bytes);
  return out;
}

ReportSaveResult XmlWriter::SaveAs(std::string_view fileName) {
  if (!doc_) return {false, std::string(fileName), "no report document was made"};
  return WriteFileAtomically(fileName, Render());
}

ReportSaveResult XmlWriter::Save() {
  return SaveAs(base_ + ".xml");
}

}  // namespace tavrin::helpers
