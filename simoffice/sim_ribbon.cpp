#include "simoffice/sim_ribbon.h"

#include <msxml2.h>
#include <oleauto.h>
#include <olectl.h>

#include "platform/win32/gdi_objects.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace trelvo::simoffice {
namespace {

bool IsItemCallback(const std::string& attribute) {
  return attribute.starts_with("getItem") && attribute != "getItemCount" && attribute != "getItemHeight" &&
         attribute != "getItemWidth";
}

using Microsoft::WRL::ComPtr;
using Attributes = std::map<std::string, std::string>;

void Check(HRESULT hr, const char* step) {
  if (FAILED(hr))
    throw OfficeError(std::string("Der XML-Parser meldet einen Fehler bei ") + step + ": " + win32::SystemMessage(hr));
}

std::string Taken(BSTR text) {
  const std::string narrow = text ? win32::Narrow(std::wstring(text, SysStringLen(text))) : std::string();
  SysFreeString(text);
  return narrow;
}

Attributes AttributesOf(IXMLDOMNode& element) {
  Attributes attributes;
  ComPtr<IXMLDOMNamedNodeMap> list;
  long count = 0;
  Check(element.get_attributes(&list), "get_attributes");
  Check(list->get_length(&count), "get_length");
  for (long i = 0; i < count; ++i) {
    ComPtr<IXMLDOMNode> attribute;
    BSTR name = nullptr;
    Variant value;
    // Wine's parser cannot hand out a namespace declaration (xmlns) as a
    // node; the ribbon needs none of them.
    if (FAILED(list->get_item(i, &attribute))) continue;
    Check(attribute->get_nodeName(&name), "get_nodeName");
    Check(attribute->get_nodeValue(value.out()), "get_nodeValue");
    attributes[Taken(name)] = value.ToText();
  }
  return attributes;
}

// Every element below node, in document order, with its name and attributes.
void Walk(IXMLDOMNode& node, std::vector<std::pair<std::string, Attributes>>& elements) {
  ComPtr<IXMLDOMNodeList> children;
  long count = 0;
  Check(node.get_childNodes(&children), "get_childNodes");
  Check(children->get_length(&count), "get_length");
  for (long i = 0; i < count; ++i) {
    ComPtr<IXMLDOMNode> child;
    DOMNodeType type = NODE_INVALID;
    BSTR name = nullptr;
    Check(children->get_item(i, &child), "get_item");
    Check(child->get_nodeType(&type), "get_nodeType");
    if (type != NODE_ELEMENT) continue;
    Check(child->get_nodeName(&name), "get_nodeName");
    elements.emplace_back(Taken(name), AttributesOf(*child.Get()));
    Walk(*child.Get(), elements);
  }
}

// The markup's root element, parsed as Office parses it, with the system's parser.
ComPtr<IXMLDOMElement> Parse(const std::string& markup) {
  CLSID class_id{};
  ComPtr<IXMLDOMDocument> document;
  HRESULT hr = CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &class_id);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                          reinterpret_cast<void**>(document.GetAddressOf()));
  if (FAILED(hr)) throw OfficeError("Der XML-Parser fehlt: " + win32::SystemMessage(hr));
  Check(document->put_async(VARIANT_FALSE), "put_async");
  const std::wstring text = win32::Widen(markup);
  BSTR source = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  hr = document->loadXML(source, &loaded);
  SysFreeString(source);
  if (FAILED(hr) || loaded != VARIANT_TRUE) {
    ComPtr<IXMLDOMParseError> error;
    BSTR reason = nullptr;
    if (SUCCEEDED(document->get_parseError(&error))) error->get_reason(&reason);
    throw OfficeError(Taken(reason));
  }
  ComPtr<IXMLDOMElement> root;
  Check(document->get_documentElement(&root), "get_documentElement");
  if (!root) throw OfficeError("Das Markup hat kein Wurzelelement.");
  return root;
}

// The picture's bitmap (an icon's colour bitmap) as a 32-bit bitmap file.
void SaveBitmapFile(const Variant& picture_value, const std::string& path) {
  Microsoft::WRL::ComPtr<IPicture> picture;
  if (picture_value.IsNothing() || picture_value.IsEmpty() || FAILED(picture_value.ToObject().As(&picture)))
    throw OfficeError("Das Steuerelement hat kein Bild.");
  short type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  picture->get_Type(&type);
  picture->get_Handle(&handle);
  // A picture's handle is 32 bits wide; a 64-bit process's GDI handles are its sign extension.
  const auto widened = static_cast<INT_PTR>(static_cast<LONG>(handle));
  HBITMAP bitmap = reinterpret_cast<HBITMAP>(widened);
  win32::UniqueBitmap icon_colour, icon_mask;
  if (type == PICTYPE_ICON) {
    ICONINFO info{};
    if (!GetIconInfo(reinterpret_cast<HICON>(widened), &info))
      throw OfficeError("Das Bild kann nicht gelesen werden.");
    icon_colour.reset(info.hbmColor);
    icon_mask.reset(info.hbmMask);
    bitmap = info.hbmColor;
  } else if (type != PICTYPE_BITMAP) {
    throw OfficeError("Das Bild ist keine Bitmap.");
  }
  BITMAP shape{};
  if (!GetObjectW(bitmap, sizeof shape, &shape)) throw OfficeError("Das Bild kann nicht gelesen werden.");
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = shape.bmWidth;
  info.biHeight = shape.bmHeight;  // bottom-up, as bitmap files are
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  std::vector<char> pixels(static_cast<size_t>(shape.bmWidth) * shape.bmHeight * 4);
  const int lines = GetDIBits(win32::ScreenDc().get(), bitmap, 0, static_cast<UINT>(shape.bmHeight), pixels.data(),
                              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  if (lines != shape.bmHeight) throw OfficeError("Das Bild kann nicht gelesen werden.");
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  const win32::UniqueHandle out(CreateFileW(win32::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  const bool ok = out && WriteFile(out.get(), &file, sizeof file, &written, nullptr) &&
                  WriteFile(out.get(), &info, sizeof info, &written, nullptr) &&
                  WriteFile(out.get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
  if (!ok) throw OfficeError("Die Datei '" + path + "' kann nicht geschrieben werden.");
}

}  // namespace

SimRibbon::SimRibbon(const std::string& source) : SimObject(source) {
  AddProperty("Failures", {}, [this](const CallArguments&) {
    std::string text;
    for (const std::string& failure : failures) text += failure + "\r\n";
    return Variant::Text(text);
  });
  AddProperty("Markup", {}, [this](const CallArguments&) {
    return Variant::Text(uis_.empty() ? std::string() : uis_.front()->markup);
  });
  AddMethod("Label", {"Id"},
            [this](const CallArguments& a) { return Variant::Text(Text(Fresh(a.Text(0)), "getLabel", "label")); });
  AddMethod("KeyTip", {"Id"},
            [this](const CallArguments& a) { return Variant::Text(Text(Fresh(a.Text(0)), "getKeytip", "keytip")); });
  AddMethod("Enabled", {"Id"},
            [this](const CallArguments& a) { return Variant::Bool(Flag(Fresh(a.Text(0)), "getEnabled", "enabled")); });
  AddMethod("Visible", {"Id"},
            [this](const CallArguments& a) { return Variant::Bool(Flag(Fresh(a.Text(0)), "getVisible", "visible")); });
  AddMethod("Size", {"Id"}, [this](const CallArguments& a) {
    const Control& control = Fresh(a.Text(0));
    const auto answer = control.answers.find("getSize");
    if (answer != control.answers.end()) return Variant::Int(answer->second.ToInt());
    const auto plain = control.attributes.find("size");
    return Variant::Int(plain != control.attributes.end() && plain->second == "large" ? 1 : 0);
  });
  AddMethod("Answer", {"Id", "Attribute"}, [this](const CallArguments& a) {
    const Control& control = Fresh(a.Text(0));
    const auto answer = control.answers.find(a.Text(1));
    return answer == control.answers.end() ? Variant() : answer->second;
  });
  AddMethod("ItemCount", {"Id"},
            [this](const CallArguments& a) { return Variant::Int(static_cast<long>(Fresh(a.Text(0)).items.size())); });
  AddMethod("ItemLabel", {"Id", "Index"}, [this](const CallArguments& a) {
    const Control& control = Fresh(a.Text(0));
    const long index = a.Int(1);
    if (index < 0 || static_cast<size_t>(index) >= control.items.size())
      throw OfficeError("Index außerhalb des gültigen Bereichs");
    const auto label = control.items[static_cast<size_t>(index)].find("getItemLabel");
    return Variant::Text(label == control.items[static_cast<size_t>(index)].end() ? "" : label->second.ToText());
  });
  AddMethod("SelectedIndex", {"Id"},
            [this](const CallArguments& a) { return Variant::Int(Fresh(a.Text(0)).selected); });
  AddMethod("Click", {"Id"}, [this](const CallArguments& a) {
    Control& control = Fresh(a.Text(0));
    const auto action = control.attributes.find("onAction");
    if (action == control.attributes.end()) throw OfficeError("Das Steuerelement hat keine Aktion.");
    if (!Flag(control, "getEnabled", "enabled")) return Variant();  // a disabled control cannot be clicked
    Call(*control.owner, action->second, {ControlArgument(control)}, true);
    return Variant();
  });
  AddMethod("Select", {"Id", "Index"}, [this](const CallArguments& a) {
    Control& control = Fresh(a.Text(0));
    const long index = a.Int(1);
    const auto action = control.attributes.find("onAction");
    if (index < 0 || static_cast<size_t>(index) >= control.items.size() || action == control.attributes.end())
      throw OfficeError("Index außerhalb des gültigen Bereichs");
    const auto item_id = control.items[static_cast<size_t>(index)].find("getItemID");
    control.selected = index;
    Call(*control.owner, action->second,
         {ControlArgument(control),
          Variant::Text(item_id == control.items[static_cast<size_t>(index)].end() ? "" : item_id->second.ToText()),
          Variant::Int(index)},
         true);
    return Variant();
  });
  AddMethod("SavePicture", {"Id", "Path"}, [this](const CallArguments& a) {
    const Control& control = Fresh(a.Text(0));
    const auto image = control.answers.find("getImage");
    SaveBitmapFile(image == control.answers.end() ? Variant() : image->second, a.Text(1));
    return Variant();
  });
}

SimRibbon::~SimRibbon() {
  for (auto& ui : uis_)
    if (ui->ui) ui->ui->on_invalidate = nullptr;
}

SimRibbon::AddInUI* SimRibbon::Of(IDispatch* add_in) {
  for (auto& ui : uis_)
    if (ui->add_in.Get() == add_in) return ui.get();
  return nullptr;
}

void SimRibbon::Load(IDispatch* add_in, const std::string& markup) {
  Unload(add_in);
  if (markup.empty()) return;
  auto ui = std::make_unique<AddInUI>();
  ui->add_in = add_in;
  ui->markup = markup;
  try {
    const ComPtr<IXMLDOMElement> root = Parse(markup);
    const Attributes root_attributes = AttributesOf(*root.Get());
    if (const auto on_load = root_attributes.find("onLoad"); on_load != root_attributes.end())
      ui->on_load = on_load->second;
    std::vector<std::pair<std::string, Attributes>> elements;
    Walk(*root.Get(), elements);
    for (auto& [element, attributes] : elements) {
      if (!attributes.contains("id")) continue;
      Control control;
      control.owner = ui.get();
      control.element = element;
      control.id = attributes["id"];
      control.attributes = std::move(attributes);
      ui->controls.push_back(std::move(control));
    }
  } catch (const std::exception& error) {
    failures.push_back("Markup: " + std::string(error.what()));
    return;
  }
  uis_.push_back(std::move(ui));
}

void SimRibbon::Show(IDispatch* add_in) {
  AddInUI* ui = Of(add_in);
  if (!ui || ui->ui) return;
  ui->ui = Make<SimRibbonUI>();
  ui->ui->on_invalidate = [ui](const std::string& id) {
    for (Control& control : ui->controls)
      if (id.empty() || control.id == id) control.stale = true;
  };
  if (!ui->on_load.empty()) Call(*ui, ui->on_load, {Variant::Object(ui->ui.Get())}, false);
  for (Control& control : ui->controls) Read(control);
}

void SimRibbon::Unload(IDispatch* add_in) {
  std::erase_if(uis_, [&](const auto& ui) {
    if (ui->add_in.Get() != add_in) return false;
    if (ui->ui) ui->ui->on_invalidate = nullptr;
    return true;
  });
}

SimRibbon::Control& SimRibbon::Find(const std::string& key) {
  for (auto& ui : uis_)
    for (Control& control : ui->controls)
      if (control.id == key) return control;
  // By label: buttons and lists before the tabs, groups and boxes that hold them.
  for (const bool container : {false, true})
    for (auto& ui : uis_)
      for (Control& control : ui->controls)
        if (ui->ui &&
            (control.element == "tab" || control.element == "group" || control.element == "box") == container &&
            Text(control, "getLabel", "label") == key)
          return control;
  throw OfficeError("Das Menüband hat kein Steuerelement '" + key + "'.");
}

SimRibbon::Control& SimRibbon::Fresh(const std::string& key) {
  Control& control = Find(key);
  if (control.stale) Read(control);
  return control;
}

Variant SimRibbon::ControlArgument(const Control& control) const {
  return Variant::Object(Make<SimRibbonControl>(control.id).Get());
}

void SimRibbon::Read(Control& control) {
  if (!control.owner->ui) return;  // not shown yet
  control.stale = false;
  control.answers.clear();
  control.items.clear();
  AddInUI& ui = *control.owner;
  for (const auto& [attribute, callback] : control.attributes)
    if (attribute.starts_with("get") && !IsItemCallback(attribute))
      control.answers[attribute] = Call(ui, callback, {ControlArgument(control)}, false);
  if (const auto count = control.answers.find("getItemCount"); count != control.answers.end()) {
    control.items.resize(static_cast<size_t>(std::max(0L, count->second.ToInt())));
    for (size_t i = 0; i < control.items.size(); ++i)
      for (const auto& [attribute, callback] : control.attributes)
        if (IsItemCallback(attribute))
          control.items[i][attribute] =
              Call(ui, callback, {ControlArgument(control), Variant::Int(static_cast<long>(i))}, false);
  }
  if (const auto index = control.answers.find("getSelectedItemIndex"); index != control.answers.end())
    control.selected = index->second.ToInt();
  if (const auto id = control.answers.find("getSelectedItemID"); id != control.answers.end())
    for (size_t i = 0; i < control.items.size(); ++i)
      if (control.items[i]["getItemID"].ToText() == id->second.ToText()) control.selected = static_cast<long>(i);
}

Variant SimRibbon::Call(AddInUI& ui, const std::string& callback, std::vector<Variant> arguments, bool raise) {
  ++callbacks;
  auto dispid = ui.dispids.find(callback);
  if (dispid == ui.dispids.end()) {
    const std::wstring name = win32::Widen(callback);
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = ui.add_in->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
      failures.push_back(callback + ": " + win32::SystemMessage(hr));
      if (raise) throw OfficeError(failures.back());
      return Variant();
    }
    dispid = ui.dispids.emplace(callback, id).first;
  }
  std::vector<VARIANT> reversed;
  for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument)
    reversed.push_back(argument->get());
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  Variant result;
  EXCEPINFO exception{};
  UINT argument_error = 0;
  const HRESULT hr = ui.add_in->Invoke(dispid->second, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                       result.out(), &exception, &argument_error);
  const std::string description = exception.bstrDescription ? win32::Narrow(exception.bstrDescription) : "";
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  if (FAILED(hr)) {
    failures.push_back(callback + ": " + (description.empty() ? win32::SystemMessage(hr) : description));
    if (raise) throw OfficeError(failures.back());
    return Variant();
  }
  return result;
}

std::string SimRibbon::Text(const Control& control, const std::string& callback, const std::string& plain) const {
  if (const auto answer = control.answers.find(callback); answer != control.answers.end())
    return answer->second.ToText();
  const auto value = control.attributes.find(plain);
  return value == control.attributes.end() ? "" : value->second;
}

bool SimRibbon::Flag(const Control& control, const std::string& callback, const std::string& plain) const {
  if (const auto answer = control.answers.find(callback); answer != control.answers.end())
    return answer->second.IsEmpty() || answer->second.ToBool();
  const auto value = control.attributes.find(plain);
  return value == control.attributes.end() || value->second != "false";
}

}  // namespace trelvo::simoffice
