#pragma once
// The text builder of the ribbon markup: one element per line, indented by one
// TAB per level, lines ended by CR LF, no declaration and no line break after
// the last end tag. Values are copied as they are: the markup's own values
// (ids, callback names, "true", "(Standard Zähler)") need no escaping.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trelvo::ribbon {

using Attribute = std::pair<std::string, std::string>;
using Attributes = std::vector<Attribute>;

class XmlText {
 public:
  void OpenElement(std::string_view name);
  // Adds an attribute to the start tag written last.
  void AddAttribute(std::string_view name, std::string_view value);
  void WriteEmptyElement(std::string_view name, const Attributes& attributes);
  void CloseElement(std::string_view name);

  const std::string& text() const { return text_; }

 private:
  void BeginLine();

  std::string text_;
  std::string_view line_break_;  // empty until the first element
  int level_ = 0;
};

}  // namespace trelvo::ribbon
