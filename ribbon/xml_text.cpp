#include "ribbon/xml_text.h"

namespace trelvo::ribbon {
namespace {

std::string AttributeText(std::string_view name, std::string_view value) {
  std::string text = " ";
  text.append(name).append("=\"").append(value).append("\"");
  return text;
}

}  // namespace

void XmlText::BeginLine() {
  text_.append(line_break_);
  text_.append(static_cast<size_t>(level_), '\t');
}

void XmlText::OpenElement(std::string_view name) {
  BeginLine();
  text_.append("<").append(name).append(">");
  line_break_ = "\r\n";
  ++level_;
}

void XmlText::AddAttribute(std::string_view name, std::string_view value) {
  // Inside the start tag just written: before its closing ">".
  text_.insert(text_.size() - 1, AttributeText(name, value));
}

void XmlText::WriteEmptyElement(std::string_view name, const Attributes& attributes) {
  BeginLine();
  text_.append("<").append(name);
  for (const auto& [attribute, value] : attributes) text_.append(AttributeText(attribute, value));
  text_.append(" />");
  line_break_ = "\r\n";
}

void XmlText::CloseElement(std::string_view name) {
  --level_;
  BeginLine();
  text_.append("</").append(name).append(">");
}

}  // namespace trelvo::ribbon
